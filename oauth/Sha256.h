#pragma once
// SHA-256 (FIPS 180-4), for the PKCE challenge only: a portable one keeps the check that the
// challenge is right in the native unit tests, and costs less than binding the system's.

#include <array>
#include <cstdint>
#include <string>

std::array<std::uint8_t, 32> Sha256(const std::string& data);
