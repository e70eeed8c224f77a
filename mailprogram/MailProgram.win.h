#pragma once
// The user's mail program: its default from the "mailto" handler, and opening the configured one
// by bringing forward the window of the copy started last or by starting a new copy.
//
// The remembered program and window are per process and unlocked; callers do not overlap.

#include <windows.h>

#include <string>

// The program of HKEY_CLASSES_ROOT "mailto\shell\open\command", or empty when there is none or
// it cannot be read.
std::string FindDefaultMailProgram();

// Whether a file (not a folder) exists at the path; an empty path names none.
bool MailProgramExists(const std::string& path);

// Brings the window of the copy of path started last to the top, or starts path with one blank
// followed by parameters as its command line. A path that names no file does nothing.
void OpenMailProgram(const std::string& path, const std::string& parameters);

// Starts path detached with this command line, waits up to 10 seconds for it to wait for input
// and remembers its first top-level window; true when one was found. Blocks the calling thread
// meanwhile.
bool LaunchMailProgram(const std::string& path, const std::string& commandLine);

// The window enumeration's callback: remembers the window when it belongs to the process started
// last and then stops the enumeration.
BOOL CALLBACK FindProcessWindow(HWND window, LPARAM);
