#pragma once
// The real program's dialogs as a user meets them: found by caption once shown, their controls
// (on the dialog or on one of its pages) pressed, read, and photographed for the help document;
// and the settings such a user would have left behind.

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/Program.h"

extern const char kMail[];
extern const char kError[];
extern const char kProperties[];
// The first mailbox's key; the others are beside it, with " 2", " 3", ... after its name.
extern const char kMailboxKey[];
// How long a window is waited for.
constexpr DWORD kWait = 20000;

std::string Larkspur();

// The visible windows of the program with this caption.
std::vector<HWND> Shown(RunningProgram& program, const std::string& caption);
HWND WaitShown(RunningProgram& program, const std::string& caption);
bool WaitGone(RunningProgram& program, const std::string& caption);

// A control of a dialog, on the dialog itself or on one of its pages.
HWND Control(HWND dialog, int id);
void Click(HWND dialog, int id);

// Properties as a first start leads to it, through OK in "Information Required"; null when
// either window does not come.
HWND PropertiesFromThePrompt(RunningProgram& program);

// The "Mail" window's sentence, then OK; empty when no window came.
std::string ReadAndCloseCountWindow(RunningProgram& program);

// Once the window's thread has answered, everything it was doing before has been done.
void RoundTrip(HWND window);
// Waits until the window and its children have painted what changed, before a picture.
void Repainted(HWND window);
// What a user sees of the window, as build/screenshots/<name>.png for the help document.
bool SaveScreenshot(HWND window, const std::string& name);

// The settings as the user left them: this account on a direct connection, and the "Mail"
// window after a check.
void SeedAccount(const std::string& user, const std::string& password);
void SeedMailboxString(const char* name, const std::string& value);
// A value of the Mailbox section as stored: a string's text, a number in decimal.
std::string StoredMailboxValue(const char* name);
