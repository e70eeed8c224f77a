#include "framework/ResourceString.win.h"

std::string ResourceString(UINT id) {
    char text[1024] = {};
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}
