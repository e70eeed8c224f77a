#include "framework/Secret.h"

void WipeBytes(void* data, std::size_t size) noexcept {
    // Stores through a volatile pointer are never dropped as dead.
    volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
    while (size--) *p++ = 0;
}

void TSecret::Wipe() noexcept {
    // The whole capacity: a shorter value may have followed a longer one in the same buffer.
    FValue.resize(FValue.capacity());
    WipeBytes(FValue.data(), FValue.size());
    FValue.clear();
}
