// What the pixel loops work on: plain views of 24-bit pictures, and the one rectangle clip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace yv::pixels {

// A 24-bit picture: bytes blue, green, red; rows of exactly width*3 bytes stored bottom-up, as
// the screens keep them. Row y counts from the top (stored row height-1-y). Without data or area
// the picture is absent: loops that need it do nothing.
struct View {
    uint8_t* data = nullptr;
    int width = 0, height = 0;

    bool exists() const { return data && width > 0 && height > 0; }
    uint8_t* row(int y) const { return data + static_cast<size_t>(height - 1 - y) * width * 3; }
    uint8_t* at(int x, int y) const { return row(y) + static_cast<size_t>(x) * 3; }
};

struct ConstView {
    const uint8_t* data = nullptr;
    int width = 0, height = 0;

    ConstView() = default;
    ConstView(const uint8_t* d, int w, int h) : data(d), width(w), height(h) {}
    ConstView(View v) : data(v.data), width(v.width), height(v.height) {}
    bool exists() const { return data && width > 0 && height > 0; }
    const uint8_t* row(int y) const { return data + static_cast<size_t>(height - 1 - y) * width * 3; }
    const uint8_t* at(int x, int y) const { return row(y) + static_cast<size_t>(x) * 3; }
};

// Where a rectangle's top-left corner falls in one picture, and that picture's size.
struct Place {
    int64_t x = 0, y = 0;
    int width = 0, height = 0;
};
inline Place place(ConstView v, int64_t x, int64_t y) {
    return v.exists() ? Place{x, y, v.width, v.height} : Place{x, y, 0, 0};
}

// The part of a rectangle that every picture holds, as offsets (i, j) from its top-left corner
// and a size. Worked in 64 bits: no coordinate a script passes can overflow it.
struct Span {
    int i = 0, j = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
};
Span clip(int64_t w, int64_t h, std::initializer_list<Place> places);

}  // namespace yv::pixels
