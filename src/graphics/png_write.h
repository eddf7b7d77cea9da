// Writing a 24-bit picture as a PNG file (screenshots).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace yv {

// pixels: bytes blue, green, red; rows of width*3 bytes, bottom-up.
bool writePng(const std::filesystem::path& file, const uint8_t* pixels, int width, int height);
// The same picture as the bytes of a PNG file; empty when it cannot be encoded.
std::string encodePng(const uint8_t* pixels, int width, int height);

}  // namespace yv
