#include "app/PropsPromptForm.win.h"

#include "framework/Application.win.h"
#include "resources/resource.h"

TPropsPromptForm::TPropsPromptForm() : TForm(IDD_PROPSPROMPT) {}

int ShowPropsPrompt() {
    TPropsPromptForm prompt;
    SetForegroundWindow(Application.Handle());
    return prompt.ShowModal();
}
