// Larkspur's entry point: start-up, single instance, the help switch and the message loop.

#include <windows.h>

#include <cstdlib>
#include <memory>

#include "app/MainForm.win.h"
#include "app/OpenDocument.win.h"
#include "app/Program.win.h"
#include "app/SingleInstance.win.h"
#include "app/StartupNames.h"
#include "framework/Application.win.h"
#include "framework/SystemLibrary.win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RemoveCurrentFolderFromLibrarySearch();
    Application.Initialize(instance);
    CreateGlobalObjects();
    const bool firstInstance = CheckForSingleInstance();
    if (__argc > 1) ProcessCommandLine(__argc, __argv);

    // A second copy ends here without a word and without touching the first one.
    std::unique_ptr<TMainForm> mainForm;
    if (firstInstance) {
        Application.SetTitle(kApplicationTitle);
        SetWindowPos(Application.Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW);
        Application.OnEndSession = ReleaseGlobalObjects;
        mainForm = std::make_unique<TMainForm>();
        Application.Run();
    }
    ReleaseGlobalObjects();
    mainForm.reset();
    Application.Destroy();
    return 0;
}
