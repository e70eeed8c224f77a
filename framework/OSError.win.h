#pragma once
// A failed platform call, raised instead of being ignored.

#include <windows.h>

#include "framework/Exception.h"

class EOSError : public Exception {
public:
    EOSError(const char* operation, DWORD code);
    DWORD Code;
};

// Raises EOSError for the calling thread's last error.
[[noreturn]] void RaiseLastOSError(const char* operation);
