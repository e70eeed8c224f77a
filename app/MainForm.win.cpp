#include "app/MainForm.win.h"

#include "framework/Application.win.h"
#include "resources/resource.h"

TMainForm::TMainForm() : TForm(IDD_MAINFORM) {
    CreateHandle();
    Application.SetMainForm(this);
}

TMainForm::~TMainForm() { Application.SetMainForm(nullptr); }

void TMainForm::OnClose() { Application.Terminate(); }
