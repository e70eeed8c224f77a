#include "settings/BMRegistry.h"

namespace {

// A section made current for the life of the object; the settings key is current again after.
class TSectionScope {
public:
    TSectionScope(TKeyStore& store, const std::string& section)
        : Store(store), Entered(store.EnterSubKey(section)) {}
    ~TSectionScope() {
        if (Entered) Store.LeaveSubKey();
    }
    TSectionScope(const TSectionScope&) = delete;
    TSectionScope& operator=(const TSectionScope&) = delete;

    explicit operator bool() const { return Entered; }

private:
    TKeyStore& Store;
    const bool Entered;
};

}  // namespace

TBMRegistry::TBMRegistry(std::unique_ptr<TKeyStore> store, std::string baseKeyPath)
    : BaseKeyPath(std::move(baseKeyPath)), Store(std::move(store)) {
    // A key that cannot be opened leaves no key current, which the reads and writes handle.
    Store->OpenKey(BaseKeyPath, true);
}

TBMRegistry::~TBMRegistry() {
    Store->CloseKey();
}

template <class T, class Read>
T TBMRegistry::ReadValue(const char* section, const char* name, T defaultValue,
                         Read read) {
    TSectionScope scope(*Store, section);
    if (!scope || !Store->ValueExists(name)) return defaultValue;
    return read();
}

template <class Write>
void TBMRegistry::WriteValue(const char* section, Write write) {
    if (!Store->KeyExists(section)) Store->CreateKey(section);
    TSectionScope scope(*Store, section);
    if (scope) write();
}

std::string TBMRegistry::ReadString(const char* section, const char* name,
                                    const char* defaultValue) {
    return ReadValue(section, name, std::string(defaultValue),
                     [&] { return Store->ReadString(name); });
}

std::string TBMRegistry::ReadStringOrDefault(const char* section, const char* name,
                                             const char* defaultValue) {
    try {
        return ReadString(section, name, defaultValue);
    } catch (const ERegistryException&) {
        return defaultValue;
    }
}

void TBMRegistry::WriteString(const char* section, const char* name,
                              const std::string& value) {
    WriteValue(section, [&] { Store->WriteString(name, value); });
}

std::int32_t TBMRegistry::ReadInteger(const char* section, const char* name,
                                      std::int32_t defaultValue) {
    return ReadValue(section, name, defaultValue, [&] {
        try {
            return Store->ReadInteger(name);
        } catch (const ERegistryException&) {
            return defaultValue;
        }
    });
}

void TBMRegistry::WriteInteger(const char* section, const char* name,
                               std::int32_t value) {
    WriteValue(section, [&] {
        try {
            Store->WriteInteger(name, value);
        } catch (const ERegistryException&) {
            // A refused number leaves the stored one as it was; the caller's field keeps the new.
        }
    });
}

void TBMRegistry::WriteIntegerOrRaise(const char* section, const char* name,
                                      std::int32_t value) {
    WriteValue(section, [&] { Store->WriteInteger(name, value); });
}

void TBMRegistry::DeleteValue(const char* section, const char* name) {
    if (!Store->KeyExists(section)) return;
    TSectionScope scope(*Store, section);
    if (scope) Store->DeleteValue(name);
}

bool TBMRegistry::ReadBool(const char* section, const char* name, bool defaultValue) {
    return ReadValue(section, name, defaultValue, [&] {
        try {
            return Store->ReadBool(name);
        } catch (const ERegistryException&) {
            return defaultValue;
        }
    });
}

void TBMRegistry::WriteBool(const char* section, const char* name, bool value) {
    WriteValue(section, [&] {
        try {
            Store->WriteBool(name, value);
        } catch (const ERegistryException&) {
            // As for numbers: ignored.
        }
    });
}
