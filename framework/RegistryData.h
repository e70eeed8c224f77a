#pragma once
// The bytes of registry values as the program writes and reads them. Nothing stored in the
// registry is trusted for its size or form: another program, or the user, may have put anything
// under the settings key.

#include <cstdint>
#include <optional>
#include <string>

// The platform's value types that the program reads and writes.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegDword = 4;

// The text of a plain or expandable string value (references are not expanded): the data up to
// its first zero byte, or all of it when there is none. Nothing for any other type.
std::optional<std::string> DecodeRegistryString(std::uint32_t type, const std::string& data);

// A value of four bytes of the 32-bit integer type, little-endian as the platform stores it.
// Nothing for any other type or size.
std::optional<std::int32_t> DecodeRegistryInteger(std::uint32_t type, const std::string& data);

// The data a string value is stored with: the text and its terminating zero, as the platform
// asks of every string value.
std::string EncodeRegistryString(const std::string& text);
