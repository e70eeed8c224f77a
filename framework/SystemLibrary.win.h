#pragma once
// Loading libraries of the system so that a file of the same name planted in the program's
// folder or the current folder (a download folder, say) is never taken instead.

#include <windows.h>

#include <string>

// The system folder, without a trailing backslash; empty when the platform does not tell.
std::string SystemFolder();

// Loads the library of this file name from the system folder only: with the search limited to
// that folder where the platform supports it, else by the folder's full path. Null when it is
// not there or does not load.
HMODULE LoadSystemLibrary(const char* fileName);

// Takes the current folder out of the search for every library loaded from now on. Early in
// start-up, before anything can load a library by its bare name. Does nothing on a platform
// that cannot do it.
void RemoveCurrentFolderFromLibrarySearch();
