#include "tests/win/RawRegistry.h"

#include <cstring>

#include "framework/Registry.win.h"

namespace {

TRegKey Open(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    return TRegKey(key);
}

}  // namespace

RawValue ReadRaw(HKEY root, const std::string& path, const std::string& name) {
    RawValue value;
    TRegKey key = Open(root, path);
    DWORD size = 0;
    if (!key || RegQueryValueExA(key.Get(), name.c_str(), nullptr, &value.type, nullptr, &size) !=
                    ERROR_SUCCESS)
        return value;
    value.data.resize(size);
    value.exists =
        RegQueryValueExA(key.Get(), name.c_str(), nullptr, &value.type,
                         reinterpret_cast<BYTE*>(&value.data[0]), &size) == ERROR_SUCCESS;
    value.data.resize(size);
    return value;
}

void WriteRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const std::string& data) {
    HKEY created = nullptr;
    RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr);
    TRegKey key(created);
    RegSetValueExA(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
}

void WriteRaw(HKEY root, const std::string& path, const std::string& name, const RawValue& value) {
    WriteRaw(root, path, name, value.type, value.data);
}

void DeleteRawValue(HKEY root, const std::string& path, const std::string& name) {
    TRegKey key = Open(root, path);
    if (key) RegDeleteValueA(key.Get(), name.c_str());
}

bool RawKeyExists(HKEY root, const std::string& path) {
    return bool(Open(root, path));
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path) {
    std::vector<std::string> names;
    TRegKey key = Open(root, path);
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof(name);
        if (!key || RegEnumValueA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
                        ERROR_SUCCESS)
            return names;
        names.emplace_back(name, size);
    }
}

std::vector<std::string> SubKeyNames(HKEY root, const std::string& path) {
    std::vector<std::string> names;
    TRegKey key = Open(root, path);
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof(name);
        if (!key || RegEnumKeyExA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
                        ERROR_SUCCESS)
            return names;
        names.emplace_back(name, size);
    }
}

void DeleteKeyTree(HKEY root, const std::string& path) {
    for (const std::string& sub : SubKeyNames(root, path)) DeleteKeyTree(root, path + "\\" + sub);
    RegDeleteKeyA(root, path.c_str());
}

std::string DwordData(DWORD value) {
    std::string data(sizeof(value), '\0');
    std::memcpy(&data[0], &value, sizeof(value));
    return data;
}
