#include "tray/MailSound.win.h"

#include <mmsystem.h>

#include "settings/AppProperties.h"

namespace {

class TPlatformSound : public TSoundOutput {
public:
    void Beep(UINT type) override { MessageBeep(type); }
    void Play(const std::string& path, HMODULE module, DWORD flags) override {
        PlaySoundA(path.c_str(), module, flags);
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
