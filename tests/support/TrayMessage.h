#pragma once
// What the shell posts to an icon's owner window when the mouse acts on the icon: the registered
// "Fen.TNotifyIconMsg" with the icon's identifier and the mouse message. Shared by the Win32
// tests and the end-to-end tests, which post it to Larkspur's main form (icon 0, its only one).

#include <windows.h>

inline void PostTrayMessage(HWND owner, UINT mouseMessage, UINT iconId = 0) {
    PostMessageA(owner, RegisterWindowMessageA("Fen.TNotifyIconMsg"), iconId, mouseMessage);
}
