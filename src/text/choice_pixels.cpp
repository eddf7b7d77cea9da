// The step toward a picture: a row loop and its per-pixel twin.
#include "text/choice_pixels.h"

#include <algorithm>

namespace yv::choicepx {
namespace {

uint8_t toward(int d, int s, int k) {
    if (d < s) return static_cast<uint8_t>(d + k > s ? s : d + k);
    return static_cast<uint8_t>(d - k < s ? s : d - k);
}

bool inside(const Screen& s, int x, int y) { return s.exists() && x >= 0 && y >= 0 && x < s.width && y < s.height; }

uint8_t* at(Screen& s, int x, int y) { return s.row(y) + static_cast<size_t>(x) * 3; }
const uint8_t* at(const Screen& s, int x, int y) { return s.row(y) + static_cast<size_t>(x) * 3; }

}  // namespace

Span clip(const Screen& dst, int dx, int dy, const Screen& src, int sx, int sy, int w, int h) {
    Span r;
    if (!dst.exists() || !src.exists() || w <= 0 || h <= 0) return r;
    int64_t x0 = 0, y0 = 0, x1 = w, y1 = h;  // offsets into the rectangle
    x0 = std::max<int64_t>({x0, -static_cast<int64_t>(dx), -static_cast<int64_t>(sx)});
    y0 = std::max<int64_t>({y0, -static_cast<int64_t>(dy), -static_cast<int64_t>(sy)});
    x1 = std::min<int64_t>({x1, static_cast<int64_t>(dst.width) - dx, static_cast<int64_t>(src.width) - sx});
    y1 = std::min<int64_t>({y1, static_cast<int64_t>(dst.height) - dy, static_cast<int64_t>(src.height) - sy});
    if (x1 <= x0 || y1 <= y0) return r;
    r.dx = static_cast<int>(dx + x0);
    r.dy = static_cast<int>(dy + y0);
    r.sx = static_cast<int>(sx + x0);
    r.sy = static_cast<int>(sy + y0);
    r.w = static_cast<int>(x1 - x0);
    r.h = static_cast<int>(y1 - y0);
    return r;
}

void stepToward(Screen& dst, int dx, int dy, int w, int h, const Screen& src, int sx, int sy, int k) {
    k &= 0xFFFF;
    const Span c = clip(dst, dx, dy, src, sx, sy, w, h);
    for (int j = 0; j < c.h; ++j) {
        uint8_t* d = at(dst, c.dx, c.dy + j);
        const uint8_t* s = at(src, c.sx, c.sy + j);
        for (int i = 0; i < c.w * 3; ++i) d[i] = toward(d[i], s[i], k);
    }
}

void stepTowardSlow(Screen& dst, int dx, int dy, int w, int h, const Screen& src, int sx, int sy, int k) {
    k &= 0xFFFF;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, dx + i, dy + j) || !inside(src, sx + i, sy + j)) continue;
            uint8_t* d = at(dst, dx + i, dy + j);
            const uint8_t* s = at(src, sx + i, sy + j);
            for (int ch = 0; ch < 3; ++ch) {
                const int dv = d[ch], sv = s[ch];
                d[ch] = static_cast<uint8_t>(dv < sv ? std::min(dv + k, sv) : std::max(dv - k, sv));
            }
        }
}

}  // namespace yv::choicepx
