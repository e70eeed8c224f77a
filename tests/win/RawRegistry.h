#pragma once
// The registry as the tests see it, through the plain registry functions and not through the
// program's registry class: raw typed values, names, and whole trees deleted.

#include <windows.h>

#include <string>
#include <vector>

struct RawValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::string data;  // the stored bytes, exactly
};

RawValue ReadRaw(HKEY root, const std::string& path, const std::string& name);
// Creates the key when missing.
void WriteRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const std::string& data);
void WriteRaw(HKEY root, const std::string& path, const std::string& name, const RawValue& value);
void DeleteRawValue(HKEY root, const std::string& path, const std::string& name);
bool RawKeyExists(HKEY root, const std::string& path);
std::vector<std::string> ValueNames(HKEY root, const std::string& path);
std::vector<std::string> SubKeyNames(HKEY root, const std::string& path);
void DeleteKeyTree(HKEY root, const std::string& path);

std::string DwordData(DWORD value);
