#pragma once
// The Wine desktop named "shell", the one with a taskbar and a notification area, as a user
// sees it: Larkspur's tray icon driven by the messages the shell would post, its tool tip read
// as the pointer rests on it, its menu, and screenshots. Windows are found by caption with
// RunningProgram::WaitForWindow. The tests run in that
// desktop themselves (scripts/test), beside the Larkspur.exe they start.

#include <windows.h>

#include <string>

#include "tests/support/TrayMessage.h"

// The tool tip that the notification area shows while the pointer rests on Larkspur's icon;
// empty when none shows within the time (no icon there).
std::string TrayIconTip(DWORD milliseconds = 5000);

// Rests the pointer just above Larkspur's icon, where it is after a click there but off the
// icon, so that its tip goes and what a click opens shows beside it.
void PointBesideTrayIcon();

// The open popup menu of the desktop, or null.
HWND OpenMenuWindow();

// Saves the screen, or the part of it inside area, as build/screenshots/<name>.png, once
// windows that have just appeared have had the time to paint.
bool Screenshot(const std::string& name, const RECT* area = nullptr);
