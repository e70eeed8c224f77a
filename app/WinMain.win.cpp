// Larkspur's entry point: start-up, single instance, the help switch and the message loop.

#include <windows.h>

#include <cstdlib>
#include <memory>

#include "app/OpenDocument.win.h"
#include "app/Program.win.h"
#include "app/SingleInstance.win.h"
#include "app/StartupNames.h"
#include "dialup/RasBinding.win.h"
#include "framework/Application.win.h"
#include "framework/MessageBox.win.h"
#include "framework/SystemLibrary.win.h"
#include "mailbase/MailBase.win.h"
#include "settings/AppProperties.win.h"
#include "tray/TrayStatus.win.h"

namespace {

// The dial-up library is bound for the program's life; the poller, which calls into it, has
// been stopped with the program before it goes.
struct TRasLibrary {
    TRasLibrary() { BindRasLibrary(); }
    ~TRasLibrary() { UnbindRasLibrary(); }
};

void RunProgram(HINSTANCE instance) {
    Application.Initialize(instance);
    TRasLibrary rasLibrary;
    RegisterMailBaseMessages();
    LoadTrayPictures();
    auto program = std::make_unique<TProgram>(CreateAppProperties(RasAvailable));
    const TSingleInstance instanceClaim;
    if (__argc > 1) ProcessCommandLine(__argc, __argv);

    // A second copy ends here without a word and without touching the first one.
    if (instanceClaim.First()) {
        Application.SetTitle(kApplicationTitle);
        SetWindowPos(Application.Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW);
        // The process ends once this returns: the program ends here, threads and icon first.
        Application.OnEndSession = [&program] { program.reset(); };
        program->CreateMainForm();
        Application.Run();
    }
    program.reset();
    Application.Destroy();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RemoveCurrentFolderFromLibrarySearch();
    // The last barrier: what escapes start-up or the message loop ends the program with its
    // message, once the unwinding has stopped the background threads and taken the icon out of
    // the tray.
    try {
        RunProgram(instance);
        return 0;
    } catch (...) {
        ShowErrorMessage(ExceptionMessage(std::current_exception()));
        return 1;
    }
}
