// Value types every layer shares: a rectangle, and a read-only view of a 24-bit picture.
#pragma once

#include <cstdint>

namespace yv {

// A 24-bit picture: bytes blue, green, red; rows of exactly width*3 bytes, stored bottom-up.
struct FrameView {
    const uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

}  // namespace yv
