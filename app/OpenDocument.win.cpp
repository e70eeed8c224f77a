#include "app/OpenDocument.win.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "app/ShellErrors.h"
#include "app/SingleInstance.win.h"
#include "app/StartupNames.h"
#include "framework/Application.win.h"
#include "framework/MessageBox.win.h"
#include "framework/SystemLibrary.win.h"

void OpenDocument(const std::string& target) {
    static const auto shellExecute =
        SystemEntryPoint<decltype(&ShellExecuteA)>("shell32.dll", "ShellExecuteA");
    // Without the shell's library the shell's own answer for a missing library is shown.
    const auto result =
        shellExecute
            ? reinterpret_cast<INT_PTR>(shellExecute(Application.Handle(), nullptr, target.c_str(),
                                                     nullptr, nullptr, SW_SHOWNORMAL))
            : SE_ERR_DLLNOTFOUND;
    if (result > 32) return;
    ShowErrorMessage(OpenDocumentFailureMessage(static_cast<long>(result), target));
}

std::string ShortPathName(const std::string& path) {
    char buffer[512] = {};
    // A missing document has no short form; the long path then goes to the shell, which
    // reports it, and the message shows the path the user can recognise.
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, 511);
    if (length == 0 || length > 511) return path;
    return buffer;
}

void ProcessCommandLine(int argc, char** argv) {
    const std::vector<std::string> parameters(argv + 1, argv + argc);
    const int opens = HelpSwitchCount(parameters);
    for (int i = 0; i < opens; ++i) OpenDocument(ShortPathName(HelpDocumentPath(ModulePath())));
}
