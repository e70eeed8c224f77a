#pragma once
// A key store in memory for the settings tests: keys by full path, typed values as raw bytes, and
// switches that make the store refuse what the registry may refuse.

#include "framework/KeyStore.h"
#include "framework/RegistryData.h"

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct MemoryRegistry {
    // The platform's type numbers, so that values decode as the registry's do.
    enum Type : std::uint32_t { Sz = kRegSz, ExpandSz = kRegExpandSz, Binary = 3, Dword = kRegDword };
    struct Value {
        Type type;
        std::string data;
    };
    using Values = std::map<std::string, Value>;

    std::map<std::string, Values> keys;  // by full path, "Software\Test\Mailbox"
    bool refuseOpen = false;
    bool refuseWrites = false;
    std::string refuseValue;          // the name of one value whose writes are refused
    std::vector<std::string> writes;  // names of the values written, in order
    int writesLeft = -1;              // when not negative: the writes allowed before all refused

    static Value Integer(std::int32_t v) {
        std::string data(4, '\0');
        std::memcpy(&data[0], &v, 4);
        return {Dword, data};
    }
};

class MemoryKeyStore : public TKeyStore {
public:
    explicit MemoryKeyStore(std::shared_ptr<MemoryRegistry> registry) : R(std::move(registry)) {}

    bool OpenKey(const std::string& path, bool canCreate) override {
        if (R->refuseOpen || (!R->keys.count(path) && !canCreate)) return false;
        R->keys[path];
        Opened = path;
        Entered.clear();
        return true;
    }
    void CloseKey() override {
        Opened.clear();
        Entered.clear();
    }
    bool EnterSubKey(const std::string& name) override {
        if (!KeyExists(name)) return false;
        Entered.push_back(Current() + "\\" + name);
        return true;
    }
    void LeaveSubKey() override { Entered.pop_back(); }
    bool KeyExists(const std::string& name) override {
        return !Current().empty() && R->keys.count(Current() + "\\" + name);
    }
    void CreateKey(const std::string& name) override {
        if (Current().empty()) throw ERegistryException(CreateKeyFailedMessage(name));
        R->keys[Current() + "\\" + name];
    }
    bool ValueExists(const std::string& name) override { return Find(name) != nullptr; }
    std::string ReadString(const std::string& name) override {
        const MemoryRegistry::Value* v = Find(name);
        if (!v) return {};
        const auto text = DecodeRegistryString(v->type, v->data);
        if (!text) throw ERegistryException(InvalidDataTypeMessage(name));
        return *text;
    }
    std::int32_t ReadInteger(const std::string& name) override {
        const MemoryRegistry::Value* v = Find(name);
        const auto value = v ? DecodeRegistryInteger(v->type, v->data) : std::nullopt;
        if (!value) throw ERegistryException(InvalidDataTypeMessage(name));
        return *value;
    }
    void WriteString(const std::string& name, const std::string& value) override {
        Write(name, {MemoryRegistry::Sz, EncodeRegistryString(value)});
    }
    void WriteInteger(const std::string& name, std::int32_t value) override {
        Write(name, MemoryRegistry::Integer(value));
    }
    void DeleteValue(const std::string& name) override {
        if (!Current().empty()) R->keys[Current()].erase(name);
    }
    void CopyValues(const std::string& from, const std::string& to) override {
        const MemoryRegistry::Values source = R->keys.at(Current() + "\\" + from);
        CreateKey(to);
        EnterSubKey(to);
        struct Leave {
            MemoryKeyStore* store;
            ~Leave() { store->LeaveSubKey(); }
        } leave{this};
        for (const auto& [name, value] : source) Write(name, value);
        MemoryRegistry::Values& target = R->keys[Current()];
        for (auto it = target.begin(); it != target.end();)
            it = source.count(it->first) ? std::next(it) : target.erase(it);
    }
    void DeleteKey(const std::string& name) override {
        if (R->refuseWrites) throw ERegistryException(DeleteKeyFailedMessage(name));
        R->keys.erase(Current() + "\\" + name);
    }

private:
    std::string Current() const { return Entered.empty() ? Opened : Entered.back(); }
    const MemoryRegistry::Value* Find(const std::string& name) const {
        auto key = R->keys.find(Current());
        if (Current().empty() || key == R->keys.end()) return nullptr;
        auto value = key->second.find(name);
        return value == key->second.end() ? nullptr : &value->second;
    }
    void Write(const std::string& name, MemoryRegistry::Value value) {
        if (R->refuseWrites || name == R->refuseValue || Current().empty() || R->writesLeft == 0)
            throw ERegistryException(SetDataFailedMessage(name));
        if (R->writesLeft > 0) --R->writesLeft;
        R->keys[Current()][name] = std::move(value);
        R->writes.push_back(name);
    }

    std::shared_ptr<MemoryRegistry> R;
    std::string Opened;
    std::vector<std::string> Entered;
};
