// Pictures for the pixel library's tests: plain buffers, so the tests need nothing above it.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "pixels/view.h"

namespace yv::pixels::test {

struct Bgr {
    uint8_t b, g, r;
    bool operator==(const Bgr&) const = default;
};

struct Pic {
    int w = 0, h = 0;
    std::vector<uint8_t> bytes;
    View view() { return View{bytes.data(), w, h}; }
    ConstView view() const { return ConstView{bytes.data(), w, h}; }
};

inline Pic solid(int w, int h, Bgr c) {
    Pic p{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h * 3)};
    for (size_t i = 0; i < p.bytes.size(); i += 3) p.bytes[i] = c.b, p.bytes[i + 1] = c.g, p.bytes[i + 2] = c.r;
    return p;
}
inline Pic randomPic(std::mt19937& rng, int w, int h) {
    Pic p{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h * 3)};
    for (auto& v : p.bytes) v = static_cast<uint8_t>(rng());
    return p;
}
inline Bgr at(const Pic& p, int x, int y) {
    const uint8_t* q = p.view().at(x, y);
    return {q[0], q[1], q[2]};
}
inline void set(Pic& p, int x, int y, Bgr c) {
    uint8_t* q = p.view().at(x, y);
    q[0] = c.b, q[1] = c.g, q[2] = c.r;
}

}  // namespace yv::pixels::test
