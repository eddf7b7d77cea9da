// A small picture of a saved game, shown beside its slot in the load dialog and the menus.
#pragma once

#include <cstdint>
#include <vector>

namespace yv {

struct Thumbnail {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // top-down rows of red, green, blue; width * 3 bytes each
};

}  // namespace yv
