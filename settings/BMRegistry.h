#pragma once
// The settings key with its sections: a section is a sub-key of the settings key, opened for one
// read or write and closed again at once. Reads take a default for whatever is absent.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/KeyStore.h"

// Sections and names are the program's own constants: plain C texts, so that each of the many
// calls does not build strings of its own.
class TBMRegistry {
public:
    // Opens the key at baseKeyPath, creating it when missing. When it can be neither opened nor
    // created, every value reads as its default and every write raises.
    TBMRegistry(std::unique_ptr<TKeyStore> store, std::string baseKeyPath);
    ~TBMRegistry();
    TBMRegistry(const TBMRegistry&) = delete;
    TBMRegistry& operator=(const TBMRegistry&) = delete;

    // A value of the wrong type raises ERegistryException "Invalid data type for '%s'".
    std::string ReadString(const char* section, const char* name, const char* defaultValue);
    // The same where a string of another type must not stop the program (the settings' load):
    // it reads as the default, and the next write of it stores a proper one.
    std::string ReadStringOrDefault(const char* section, const char* name,
                                    const char* defaultValue);
    // Raises "Failed to create key %s" when the section cannot be created and "Failed to set
    // data for '%s'" when the value is refused.
    void WriteString(const char* section, const char* name, const std::string& value);

    // A value of the wrong type or size reads as the default; a refused write is ignored, but
    // a section that cannot be created still raises.
    std::int32_t ReadInteger(const char* section, const char* name,
                             std::int32_t defaultValue);
    void WriteInteger(const char* section, const char* name, std::int32_t value);
    // The same where a refused write matters: it raises "Failed to set data for '%s'".
    void WriteIntegerOrRaise(const char* section, const char* name, std::int32_t value);
    // Removes the value, when the section and the value exist.
    void DeleteValue(const char* section, const char* name);
    bool ReadBool(const char* section, const char* name, bool defaultValue);
    void WriteBool(const char* section, const char* name, bool value);

    bool SectionExists(const char* section) { return Store->KeyExists(section); }
    // Raises "Failed to create key %s".
    void CreateSection(const char* section) { Store->CreateKey(section); }
    // The key store's CopyValues and DeleteKey, for sections.
    void CopySection(const char* from, const char* to) { Store->CopyValues(from, to); }
    void DeleteSection(const char* section) { Store->DeleteKey(section); }

    const std::string BaseKeyPath;

private:
    // Runs read inside the section when it and the value exist; otherwise the default.
    template <class T, class Read>
    T ReadValue(const char* section, const char* name, T defaultValue, Read read);
    // Runs write inside the section, creating the section first when it is missing.
    template <class Write>
    void WriteValue(const char* section, Write write);

    std::unique_ptr<TKeyStore> Store;
};
