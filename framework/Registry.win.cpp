#include "framework/Registry.win.h"

#include "framework/RegistryData.h"

#include <algorithm>

static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegDword == REG_DWORD,
              "the platform's value types");

TRegistry::TRegistry(HKEY rootKey, REGSAM access) : RootKey(rootKey), Access(access) {}

HKEY TRegistry::Current() const {
    return FEntered.empty() ? FOpened.Get() : FEntered.back().Get();
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    HKEY key = nullptr;
    const LONG result =
        canCreate ? RegCreateKeyExA(RootKey, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    Access, nullptr, &key, nullptr)
                  : RegOpenKeyExA(RootKey, path.c_str(), 0, Access, &key);
    if (result != ERROR_SUCCESS) return false;
    FEntered.clear();
    FOpened.Reset(key);
    return true;
}

void TRegistry::CloseKey() {
    FEntered.clear();
    FOpened.Reset();
}

// Without a current key every relative operation fails, rather than falling back on the root
// key: a settings key that could not be opened must not scatter sections below the root.
bool TRegistry::EnterSubKey(const std::string& name) {
    if (!Current()) return false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(Current(), name.c_str(), 0, Access, &key) != ERROR_SUCCESS) return false;
    FEntered.emplace_back(key);
    return true;
}

void TRegistry::LeaveSubKey() {
    if (!FEntered.empty()) FEntered.pop_back();
}

bool TRegistry::KeyExists(const std::string& name) {
    if (!Current()) return false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(Current(), name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void TRegistry::CreateKey(const std::string& name) {
    HKEY key = nullptr;
    if (!Current() || RegCreateKeyExA(Current(), name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      Access, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw ERegistryException(CreateKeyFailedMessage(name));
    RegCloseKey(key);
}

bool TRegistry::ValueExists(const std::string& name) {
    return Current() && RegQueryValueExA(Current(), name.c_str(), nullptr, nullptr, nullptr,
                                         nullptr) == ERROR_SUCCESS;
}

bool TRegistry::QueryValue(const std::string& name, DWORD& type, std::string& data) {
    if (!Current()) return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(Current(), name.c_str(), nullptr, &type, nullptr, &size);
    // Another writer may enlarge the value between asking its size and reading it.
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        if (result == ERROR_SUCCESS && data.size() >= size) {
            data.resize(size);
            return true;
        }
        data.resize(size);
        result = RegQueryValueExA(Current(), name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(&data[0]), &size);
    }
    return false;
}

std::string TRegistry::ReadString(const std::string& name) {
    DWORD type = REG_NONE;
    std::string data;
    if (!QueryValue(name, type, data)) return {};
    const std::optional<std::string> text = DecodeRegistryString(type, data);
    if (!text) throw ERegistryException(InvalidDataTypeMessage(name));
    return *text;
}

std::int32_t TRegistry::ReadInteger(const std::string& name) {
    DWORD type = REG_NONE;
    std::string data;
    const std::optional<std::int32_t> value =
        QueryValue(name, type, data) ? DecodeRegistryInteger(type, data) : std::nullopt;
    if (!value) throw ERegistryException(InvalidDataTypeMessage(name));
    return *value;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    const std::string data = EncodeRegistryString(value);
    if (!Current() || RegSetValueExA(Current(), name.c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(data.data()),
                                     static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        throw ERegistryException(SetDataFailedMessage(name));
}

void TRegistry::DeleteValue(const std::string& name) {
    if (!Current()) return;
    const LONG result = RegDeleteValueA(Current(), name.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        throw ERegistryException(SetDataFailedMessage(name));
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
    const DWORD data = static_cast<DWORD>(value);
    if (!Current() ||
        RegSetValueExA(Current(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                       sizeof(data)) != ERROR_SUCCESS)
        throw ERegistryException(SetDataFailedMessage(name));
}

// The target is emptied first, then given the source's values one by one.
void TRegistry::CopyValues(const std::string& from, const std::string& to) {
    HKEY key = nullptr;
    if (!Current() || RegOpenKeyExA(Current(), from.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        throw ERegistryException(SetDataFailedMessage(from));
    const TRegKey source(key);
    if (RegCreateKeyExA(Current(), to.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, Access,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw ERegistryException(CreateKeyFailedMessage(to));
    const TRegKey target(key);
    DWORD nameMax = 0, dataMax = 0, targetNameMax = 0;
    if (RegQueryInfoKeyA(source.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &nameMax, &dataMax, nullptr, nullptr) != ERROR_SUCCESS ||
        RegQueryInfoKeyA(target.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &targetNameMax, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        throw ERegistryException(SetDataFailedMessage(from));
    std::string name(std::max(nameMax, targetNameMax) + 1, '\0'), data(dataMax + 1, '\0');
    for (;;) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        const LONG result =
            RegEnumValueA(target.Get(), 0, &name[0], &nameSize, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || RegDeleteValueA(target.Get(), name.c_str()) != ERROR_SUCCESS)
            throw ERegistryException(SetDataFailedMessage(to));
    }
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = dataMax, type = REG_NONE;
        const LONG result = RegEnumValueA(source.Get(), index, &name[0], &nameSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(&data[0]), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) return;
        // Another writer may have enlarged a value meanwhile: the copy fails rather than cut it.
        if (result != ERROR_SUCCESS ||
            RegSetValueExA(target.Get(), name.c_str(), 0, type,
                           reinterpret_cast<const BYTE*>(data.data()), dataSize) != ERROR_SUCCESS)
            throw ERegistryException(SetDataFailedMessage(name.c_str()));
    }
}

void TRegistry::DeleteKey(const std::string& name) {
    const LONG result = Current() ? RegDeleteKeyA(Current(), name.c_str()) : ERROR_INVALID_HANDLE;
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        throw ERegistryException(DeleteKeyFailedMessage(name));
}
