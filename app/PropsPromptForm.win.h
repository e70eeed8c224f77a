#pragma once
// "Information Required": asks the user to enter the mailbox settings now or later.

#include "framework/Form.win.h"

class TPropsPromptForm : public TForm {
public:
    TPropsPromptForm();
};

// Brings the program to the foreground, shows the prompt modally and returns its modal result:
// 1 for "&Enter now", 2 for "Enter &later", Esc or the close box.
int ShowPropsPrompt();
