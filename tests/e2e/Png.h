#pragma once
// A PNG file from 24-bit pixels, in stored (uncompressed) deflate blocks: every viewer reads it,
// and ImageMagick shrinks it when it goes into the help document.

#include <cstdint>
#include <string>
#include <vector>

// rgb holds width * height pixels, three bytes each, top row first.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);
