#include "framework/Registry.win.h"

#include "framework/RegistryData.h"

#include <algorithm>

static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegDword == REG_DWORD,
              "the platform's value types");

namespace {

struct TRawValue {
    std::string Name;
    DWORD Type;
    std::string Data;
};

// Every value of the key with its type and bytes; false when they cannot be read whole (another
// writer may have enlarged one meanwhile).
bool ReadAllValues(HKEY key, std::vector<TRawValue>& values) {
    DWORD count = 0, nameMax = 0, dataMax = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &nameMax, &dataMax, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    for (DWORD i = 0; i < count; ++i) {
        TRawValue value{std::string(nameMax + 1, '\0'), REG_NONE, std::string(dataMax, '\0')};
        DWORD nameSize = nameMax + 1, dataSize = dataMax;
        if (RegEnumValueA(key, i, &value.Name[0], &nameSize, nullptr, &value.Type,
                          reinterpret_cast<BYTE*>(&value.Data[0]), &dataSize) != ERROR_SUCCESS)
            return false;
        value.Name.resize(nameSize);
        value.Data.resize(dataSize);
        values.push_back(std::move(value));
    }
    return true;
}

}  // namespace

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

void TRegistry::CopyValues(const std::string& from, const std::string& to) {
    HKEY key = nullptr;
    if (!Current() || RegOpenKeyExA(Current(), from.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        throw ERegistryException(SetDataFailedMessage(from));
    const TRegKey source(key);
    if (RegCreateKeyExA(Current(), to.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, Access,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw ERegistryException(CreateKeyFailedMessage(to));
    const TRegKey target(key);
    std::vector<TRawValue> values, old;
    if (!ReadAllValues(source.Get(), values) || !ReadAllValues(target.Get(), old))
        throw ERegistryException(SetDataFailedMessage(from));
    for (const TRawValue& value : values) {
        if (RegSetValueExA(target.Get(), value.Name.c_str(), 0, value.Type,
                           reinterpret_cast<const BYTE*>(value.Data.data()),
                           static_cast<DWORD>(value.Data.size())) != ERROR_SUCCESS)
            throw ERegistryException(SetDataFailedMessage(value.Name));
    }
    for (const TRawValue& stale : old) {
        const bool kept = std::any_of(values.begin(), values.end(),
                                      [&](const TRawValue& v) { return v.Name == stale.Name; });
        if (!kept && RegDeleteValueA(target.Get(), stale.Name.c_str()) != ERROR_SUCCESS)
            throw ERegistryException(SetDataFailedMessage(stale.Name));
    }
}

void TRegistry::DeleteKey(const std::string& name) {
    const LONG result = Current() ? RegDeleteKeyA(Current(), name.c_str()) : ERROR_INVALID_HANDLE;
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        throw ERegistryException(DeleteKeyFailedMessage(name));
}
