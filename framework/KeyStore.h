#pragma once
// A tree of keys holding named, typed values, the way the registry keeps them. The settings store
// works over this interface so that its logic stays portable; the registry class implements it.
//
// One key at a time is current; value operations act on it. A store on which no key could be
// opened finds no sub-keys and refuses every creation.

#include <cstdint>
#include <string>

#include "framework/Exception.h"

// A failure of the key store; the message is one of the texts below.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

std::string InvalidDataTypeMessage(const std::string& valueName);  // "Invalid data type for '%s'"
std::string CreateKeyFailedMessage(const std::string& keyName);    // "Failed to create key %s"
std::string SetDataFailedMessage(const std::string& valueName);    // "Failed to set data for '%s'"
std::string DeleteKeyFailedMessage(const std::string& keyName);    // "Failed to delete key %s"

class TKeyStore {
public:
    virtual ~TKeyStore() = default;

    // Makes the key at this path below the store's root current, creating it when canCreate
    // allows and it is missing; false when it can be neither opened nor created.
    virtual bool OpenKey(const std::string& path, bool canCreate) = 0;
    virtual void CloseKey() = 0;

    // Makes an existing sub-key of the current key current, with the store's access; false when
    // it cannot be opened. LeaveSubKey closes it and makes the previous key current again.
    virtual bool EnterSubKey(const std::string& name) = 0;
    virtual void LeaveSubKey() = 0;

    virtual bool KeyExists(const std::string& name) = 0;
    // Creates a sub-key of the current key; raises ERegistryException "Failed to create key %s".
    virtual void CreateKey(const std::string& name) = 0;

    virtual bool ValueExists(const std::string& name) = 0;
    // A plain or expandable string as stored (references are not expanded), up to its first zero
    // byte; a missing value reads as empty. Any other type raises "Invalid data type for '%s'".
    virtual std::string ReadString(const std::string& name) = 0;
    // A 4-byte integer value; anything else (or nothing) raises "Invalid data type for '%s'".
    virtual std::int32_t ReadInteger(const std::string& name) = 0;
    bool ReadBool(const std::string& name) { return ReadInteger(name) != 0; }

    // Stores a plain string: the text and its terminating zero. A refusal raises "Failed to set
    // data for '%s'", as does a refused integer.
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
    virtual void WriteInteger(const std::string& name, std::int32_t value) = 0;
    // Removes the value; nothing happens when there is none.
    virtual void DeleteValue(const std::string& name) = 0;
    void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

    // Gives the sub-key "to" of the current key exactly the values of the sub-key "from" (created
    // when missing; values that "from" lacks are removed). Raises "Failed to set data for '%s'"
    // for a value it cannot copy, "Failed to create key %s" when "to" cannot be made; a failure
    // leaves "to" partly copied.
    virtual void CopyValues(const std::string& from, const std::string& to) = 0;
    // Removes a sub-key that has no sub-keys; nothing happens when there is none. Raises
    // "Failed to delete key %s".
    virtual void DeleteKey(const std::string& name) = 0;
};
