#pragma once
// The base of the forms that show a taskbar button of their own while they are open: the
// application window is hidden, so only WS_EX_APPWINDOW puts an owned form on the taskbar.

#include "framework/Form.win.h"

class TFormEx : public TForm {
public:
    using TForm::TForm;

protected:
    void CreateParams(DWORD& style, DWORD& exStyle) override {
        TForm::CreateParams(style, exStyle);
        exStyle |= WS_EX_APPWINDOW;
    }
};
