#pragma once
// The framework's message boxes: one OK button, owned by the hidden application window.

#include <string>

void ShowErrorMessage(const std::string& text);
void ShowInformationMessage(const std::string& text);
