#include "framework/RegistryData.h"

std::optional<std::string> DecodeRegistryString(std::uint32_t type, const std::string& data) {
    if (type != kRegSz && type != kRegExpandSz) return std::nullopt;
    return data.substr(0, data.find('\0'));
}

std::optional<std::int32_t> DecodeRegistryInteger(std::uint32_t type, const std::string& data) {
    if (type != kRegDword || data.size() != 4) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(data[i]);
    return static_cast<std::int32_t>(value);
}

std::string EncodeRegistryString(const std::string& text) {
    return text + '\0';
}
