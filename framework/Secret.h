#pragma once
// A secret held in memory (a password, a token): its bytes are overwritten when the holder goes,
// so a freed block does not keep it for the next allocation or a crash dump to find. Copies
// made by the string itself while it grows are not covered: build a secret at its final size.

#include <cstddef>
#include <string>
#include <utility>

class TSecret {
public:
    TSecret() = default;
    explicit TSecret(std::string value) : FValue(std::move(value)) {}
    TSecret(const TSecret&) = default;
    TSecret(TSecret&& other) noexcept : FValue(std::move(other.FValue)) { other.Wipe(); }
    TSecret& operator=(const TSecret& other) {
        if (this != &other) {
            Wipe();
            FValue = other.FValue;
        }
        return *this;
    }
    TSecret& operator=(TSecret&& other) noexcept {
        if (this != &other) {
            Wipe();
            FValue = std::move(other.FValue);
            other.Wipe();
        }
        return *this;
    }
    ~TSecret() { Wipe(); }

    const std::string& Value() const { return FValue; }
    bool Empty() const { return FValue.empty(); }

    // Overwrites the bytes and leaves the secret empty.
    void Wipe() noexcept;

private:
    std::string FValue;
};

// Overwrites the bytes of a buffer in a way the compiler may not leave out.
void WipeBytes(void* data, std::size_t size) noexcept;
