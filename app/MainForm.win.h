#pragma once
// The application's main form. It is never shown: it gives the program's tray icon and timers
// a window of their own, serves the requests that other threads hand to the user-interface
// thread, and lives as long as the program.

#include "framework/Form.win.h"

class TMainForm : public TForm {
public:
    TMainForm();
    ~TMainForm() override;

protected:
    // WM_CLOSE from outside ends the program.
    void OnClose() override;
};
