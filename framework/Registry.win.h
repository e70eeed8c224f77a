#pragma once
// The registry class: the key store over one root key of the Windows registry, through the ANSI
// registry functions. Every key handle it opens is owned and closed by a TRegKey.

#include <windows.h>

#include <vector>

#include "framework/KeyStore.h"

// Owns one open registry key.
class TRegKey {
public:
    TRegKey() = default;
    explicit TRegKey(HKEY key) : FKey(key) {}
    ~TRegKey() { Reset(); }
    TRegKey(TRegKey&& other) noexcept : FKey(other.Release()) {}
    TRegKey& operator=(TRegKey&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;

    HKEY Get() const { return FKey; }
    explicit operator bool() const { return FKey != nullptr; }
    HKEY Release() {
        HKEY key = FKey;
        FKey = nullptr;
        return key;
    }
    void Reset(HKEY key = nullptr) {
        if (FKey) RegCloseKey(FKey);
        FKey = key;
    }

private:
    HKEY FKey = nullptr;
};

class TRegistry : public TKeyStore {
public:
    // Keys are opened and created with the given access, no more than the store's uses need; a
    // store that only reads passes KEY_READ so that it also works on keys the user may not
    // change.
    TRegistry(HKEY rootKey, REGSAM access);

    bool OpenKey(const std::string& path, bool canCreate) override;
    void CloseKey() override;
    bool EnterSubKey(const std::string& name) override;
    void LeaveSubKey() override;
    bool KeyExists(const std::string& name) override;
    void CreateKey(const std::string& name) override;
    bool ValueExists(const std::string& name) override;
    std::string ReadString(const std::string& name) override;
    std::int32_t ReadInteger(const std::string& name) override;
    void WriteString(const std::string& name, const std::string& value) override;
    void WriteInteger(const std::string& name, std::int32_t value) override;
    void DeleteValue(const std::string& name) override;
    void CopyValues(const std::string& from, const std::string& to) override;
    void DeleteKey(const std::string& name) override;

private:
    // The whole value with its type; false when there is no current key or no such value.
    bool QueryValue(const std::string& name, DWORD& type, std::string& data);
    // The current key: the innermost entered sub-key, else the opened key; null when none.
    HKEY Current() const;

    HKEY RootKey;
    REGSAM Access;
    TRegKey FOpened;
    std::vector<TRegKey> FEntered;
};
