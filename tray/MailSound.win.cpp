#include "tray/MailSound.win.h"

#include <mmsystem.h>

#include "framework/SystemLibrary.win.h"
#include "settings/AppProperties.h"

namespace {

class TPlatformSound : public TSoundOutput {
public:
    void Beep(UINT type) override { MessageBeep(type); }
    void Play(const std::string& path, HMODULE module, DWORD flags) override {
        if (const auto playSound = PlaySoundEntryPoint()) playSound(path.c_str(), module, flags);
    }

private:
    // The multimedia library is bound from the system folder on the first wave file, never linked:
    // linked, a copy of it beside the program would be loaded at every start.
    static decltype(&PlaySoundA) PlaySoundEntryPoint() {
        static const auto entryPoint =
            SystemEntryPoint<decltype(&PlaySoundA)>("winmm.dll", "PlaySoundA");
        return entryPoint;
    }
};

TPlatformSound PlatformSound;
TSoundOutput* Output = &PlatformSound;

}  // namespace

void SetSoundOutput(TSoundOutput* output) {
    Output = output ? output : &PlatformSound;
}

void PlayMailSound(const TAppProperties& settings) {
    if (settings.UseDefaultSound())
        Output->Beep(MB_OK);
    else
        // Without SND_NODEFAULT a missing or unreadable file still gives a sound.
        Output->Play(settings.WaveFilePath(), nullptr, SND_FILENAME | SND_ASYNC);
}
