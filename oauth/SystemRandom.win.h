#pragma once
// Random bytes from the system's generator, for the sign-in's state and PKCE verifier.

#include <cstddef>
#include <cstdint>

// False when the generator cannot be bound or refuses; the buffer is then not to be used.
bool SystemRandom(std::uint8_t* buffer, std::size_t size);
