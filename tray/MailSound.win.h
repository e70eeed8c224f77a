#pragma once
// The sound of waiting mail. It reaches the speaker through one small output, which can be
// replaced where there is no audio device.

#include <windows.h>

#include <string>

class TAppProperties;

class TSoundOutput {
public:
    virtual ~TSoundOutput() = default;
    virtual void Beep(UINT type) = 0;                                             // MessageBeep
    virtual void Play(const std::string& path, HMODULE module, DWORD flags) = 0;  // PlaySoundA
};

// Replaces the platform's output; null puts it back.
void SetSoundOutput(TSoundOutput* output);

// Plays the configured sound and returns at once: the default sound, or the wave file in the
// background. A file that cannot be played gives the platform's default sound; nothing is
// reported.
void PlayMailSound(const TAppProperties& settings);
