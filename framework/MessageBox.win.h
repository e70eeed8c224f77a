#pragma once
// The framework's message boxes: one OK button, owned by the hidden application window unless a
// form of the program asks for one of its own.

#include <windows.h>

#include <string>

void ShowErrorMessage(const std::string& text);
void ShowInformationMessage(const std::string& text, HWND owner = nullptr);
