// Larkspur's entry point: start-up, single instance, the help switch and the message loop.

#include <windows.h>

#include <cstdlib>

#include "app/OpenDocument.win.h"
#include "app/Program.win.h"
#include "app/SingleInstance.win.h"
#include "app/StartupNames.h"
#include "framework/Application.win.h"
#include "framework/MessageBox.win.h"
#include "framework/SystemLibrary.win.h"

namespace {

void RunProgram(HINSTANCE instance) {
    Application.Initialize(instance);
    CreateGlobalObjects();
    const bool firstInstance = CheckForSingleInstance();
    if (__argc > 1) ProcessCommandLine(__argc, __argv);

    // A second copy ends here without a word and without touching the first one.
    if (firstInstance) {
        Application.SetTitle(kApplicationTitle);
        SetWindowPos(Application.Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW);
        Application.OnEndSession = EndProgram;
        CreateMainForm();
        Application.Run();
    }
    EndProgram();
    Application.Destroy();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RemoveCurrentFolderFromLibrarySearch();
    // The last barrier: what escapes start-up or the message loop ends the program with its
    // message, once the background threads are stopped and the icon has left the tray.
    try {
        RunProgram(instance);
        return 0;
    } catch (...) {
        const std::string message = ExceptionMessage(std::current_exception());
        try {
            EndProgram();
        } catch (...) {
            // The message below tells the first failure; a second one can only follow from it.
        }
        ShowErrorMessage(message);
        return 1;
    }
}
