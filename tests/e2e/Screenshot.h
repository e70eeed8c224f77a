#pragma once
// What a user sees of a window, saved as a picture for the help document.

#include <windows.h>

#include <string>

// Copies the window's rectangle of the screen into build/screenshots/<name>.bmp beside the test
// executable's folder; false when it could not be written.
bool SaveScreenshot(HWND window, const std::string& name);
