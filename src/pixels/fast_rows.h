// What the fast loops share: the clipped block in destination and source coordinates, runs of
// whole rows, and a private copy of a source that is the destination itself.
#pragma once

#include <cstdint>
#include <vector>

#include "pixels/view.h"

namespace yv::pixels::fast {

struct Block {
    int dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
};

// The w x h rectangle at (x, y) of dst and (sx, sy) of src, clipped to both.
inline Block block(int64_t w, int64_t h, ConstView dst, int64_t x, int64_t y, ConstView src, int64_t sx, int64_t sy) {
    const Span s = clip(w, h, {place(dst, x, y), place(src, sx, sy)});
    if (s.empty()) return Block{};
    return Block{static_cast<int>(x + s.i), static_cast<int>(y + s.j), static_cast<int>(sx + s.i),
                 static_cast<int>(sy + s.j), s.w, s.h};
}
inline Block blockSelf(ConstView dst, int x, int y, int w, int h) { return block(w, h, dst, x, y, dst, x, y); }

// Calls fn(j, pixels) for each row j of the block, or once with j = the bottom row and all its
// pixels when the rows are whole rows of every picture involved: bottom-up storage then puts the
// block's rows one after another from its bottom row on.
template <class Fn>
void eachRun(const Block& c, bool wholeRows, Fn fn) {
    if (wholeRows) {
        fn(c.h - 1, c.w * c.h);
        return;
    }
    for (int j = 0; j < c.h; ++j) fn(j, c.w);
}

inline size_t bytesOf(ConstView v) { return v.exists() ? static_cast<size_t>(v.width) * v.height * 3 : 0; }

// A private copy of the source when it shares bytes with the destination, so that every pixel is
// read before any is written whatever the overlap.
inline ConstView detached(ConstView src, ConstView dst, std::vector<uint8_t>& holder) {
    const auto s0 = reinterpret_cast<uintptr_t>(src.data), d0 = reinterpret_cast<uintptr_t>(dst.data);
    if (!src.exists() || !dst.exists() || s0 + bytesOf(src) <= d0 || d0 + bytesOf(dst) <= s0) return src;
    holder.assign(src.data, src.data + bytesOf(src));
    return ConstView{holder.data(), src.width, src.height};
}

}  // namespace yv::pixels::fast
