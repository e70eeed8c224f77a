#include "framework/KeyStore.h"

std::string InvalidDataTypeMessage(const std::string& valueName) {
    return "Invalid data type for '" + valueName + "'";
}

std::string CreateKeyFailedMessage(const std::string& keyName) {
    return "Failed to create key " + keyName;
}

std::string SetDataFailedMessage(const std::string& valueName) {
    return "Failed to set data for '" + valueName + "'";
}

std::string DeleteKeyFailedMessage(const std::string& keyName) {
    return "Failed to delete key " + keyName;
}
