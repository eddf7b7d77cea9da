// Reading Windows icon (.ico) and cursor (.cur) files: the largest picture they hold.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace yv {

struct IconImage {
    int width = 0, height = 0;
    int hotX = 0, hotY = 0;      // cursors: the point that clicks
    std::vector<uint8_t> rgba;   // rows top-down, 4 bytes a pixel (red, green, blue, alpha)
};

// The largest uncompressed picture of the file (1, 4, 8, 24 or 32 bits a pixel); nothing for
// a file that is not an icon or cursor, is cut short, or holds only PNG pictures.
std::optional<IconImage> decodeIconFile(std::string_view bytes);

}  // namespace yv
