// Plain per-pixel versions of the pixel loops: every pixel is bounds-checked on its own, every
// formula written as stated. Slow on purpose; the fast loops are tested against these.
#include <algorithm>
#include <vector>

#include "graphics/pixel_ops.h"

namespace yv::px::ref {
namespace {

bool inside(const Screen& s, int64_t x, int64_t y) {
    return s.exists() && x >= 0 && y >= 0 && x < s.width && y < s.height;
}
uint8_t* at(Screen& s, int x, int y) { return s.row(y) + static_cast<size_t>(x) * 3; }
const uint8_t* at(const Screen& s, int x, int y) { return s.row(y) + static_cast<size_t>(x) * 3; }
uint8_t clampByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }
uint8_t S(int a, int b) { return scaleTable().v[a][b]; }

}  // namespace

void copyRect(Screen& dst, int x, int y, int w, int h, const Screen& srcIn, int sx, int sy, int mode,
              int contrast) {
    if (mode != 0 && mode != 1) return;
    const Screen src = srcIn;  // read everything before writing: source and destination may be one
    auto both = [&](int i, int j) {
        return inside(dst, int64_t{x} + i, int64_t{y} + j) && inside(src, int64_t{sx} + i, int64_t{sy} + j);
    };
    uint8_t key[3] = {0, 0, 0};
    bool haveKey = false;
    for (int j = h - 1; j >= 0 && !haveKey; --j)
        for (int i = 0; i < w && !haveKey; ++i)
            if (both(i, j)) {
                std::copy_n(at(src, sx + i, sy + j), 3, key);
                haveKey = true;
            }
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!both(i, j)) continue;
            const uint8_t* s = at(src, sx + i, sy + j);
            uint8_t* d = at(dst, x + i, y + j);
            if (mode == 1) {
                if (s[0] == key[0] && s[1] == key[1] && s[2] == key[2]) continue;
                for (int c = 0; c < 3; ++c) d[c] = s[c];
            } else {
                for (int c = 0; c < 3; ++c) d[c] = contrast < 0 ? static_cast<uint8_t>(std::max(0, s[c] + contrast))
                                                                : static_cast<uint8_t>(std::min(255, s[c] + contrast));
            }
        }
}

void alphaRect(Screen& dst, int x, int y, int w, int h, const Screen& src, int sx, int sy,
               const Screen& mask, int alpha) {
    const int A = std::min(alpha, 255);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j) || !inside(src, int64_t{sx} + i, int64_t{sy} + j) ||
                !inside(mask, int64_t{sx} + i, int64_t{sy} + j))
                continue;
            const uint8_t* s = at(src, sx + i, sy + j);
            uint8_t* d = at(dst, x + i, y + j);
            const int m = at(mask, sx + i, sy + j)[0];
            if (m == 255) continue;
            if (A < 0) {
                for (int c = 0; c < 3; ++c) d[c] = m == 0 ? s[c] : static_cast<uint8_t>(S(d[c], m) + S(s[c], 255 - m));
            } else if (m == 0) {
                for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(S(s[c], 255 - A) + S(d[c], A));
            } else {
                for (int c = 0; c < 3; ++c) d[c] = S(d[c], A);
                for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(S(d[c], A >> 1) + S(s[c], (255 - A) >> 1));
            }
        }
}

void stepToward(Screen& dst, int x, int y, int w, int h, const Screen& src, int step) {
    const int k = step & 0xFFFF;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int64_t px = int64_t{x} + i, py = int64_t{y} + j;
            if (!inside(dst, px, py) || !inside(src, px, py)) continue;
            uint8_t* d = at(dst, x + i, y + j);
            const uint8_t* s = at(src, x + i, y + j);
            for (int c = 0; c < 3; ++c) {
                if (d[c] < s[c])
                    d[c] = d[c] + k > s[c] ? s[c] : static_cast<uint8_t>(d[c] + k);
                else
                    d[c] = d[c] - k < s[c] ? s[c] : static_cast<uint8_t>(d[c] - k);
            }
        }
}

void fadeDown(Screen& dst, int x, int y, int w, int h, int amount) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j)) continue;
            uint8_t* d = at(dst, x + i, y + j);
            for (int c = 0; c < 3; ++c) d[c] = clampByte(d[c] - amount);
        }
}

void fadeUp(Screen& dst, int x, int y, int w, int h, const Screen& src, int amount) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int64_t px = int64_t{x} + i, py = int64_t{y} + j;
            if (!inside(dst, px, py) || !inside(src, px, py)) continue;
            uint8_t* d = at(dst, x + i, y + j);
            const uint8_t* s = at(src, x + i, y + j);
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(std::min<int64_t>(s[c], int64_t{d[c]} + amount));
        }
}

void fill(Screen& dst, uint8_t b, uint8_t g, uint8_t r) {
    for (int j = 0; j < dst.height; ++j)
        for (int i = 0; i < dst.width; ++i) {
            uint8_t* d = at(dst, i, j);
            d[0] = b;
            d[1] = g;
            d[2] = r;
        }
}

void greyTone(Screen& dst, int x, int y, int w, int h, int r, int g, int b) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j)) continue;
            uint8_t* d = at(dst, x + i, y + j);
            const int Y = static_cast<int>(0.30 * d[2] + 0.59 * d[1] + 0.11 * d[0]);
            d[2] = static_cast<uint8_t>(r != 0 ? r : Y);
            d[1] = static_cast<uint8_t>(g != 0 ? g : Y);
            d[0] = static_cast<uint8_t>(b != 0 ? b : Y);
        }
}

void tint(Screen& dst, int x, int y, int w, int h, int dr, int dg, int db) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j)) continue;
            uint8_t* d = at(dst, x + i, y + j);
            d[2] = static_cast<uint8_t>(std::clamp<int64_t>(int64_t{d[2]} + dr, 0, 255));
            d[1] = static_cast<uint8_t>(std::clamp<int64_t>(int64_t{d[1]} + dg, 0, 255));
            d[0] = static_cast<uint8_t>(std::clamp<int64_t>(int64_t{d[0]} + db, 0, 255));
        }
}

void mosaic(Screen& dst, const Screen& srcIn, int n, bool noise, Rand& rnd) {
    if (n < 1 || !dst.exists() || !srcIn.exists()) return;
    const Screen src = srcIn;
    const int w = std::min(dst.width, src.width), h = std::min(dst.height, src.height);
    // Storage order: stored row r is the script row height-1-r of each screen.
    auto spx = [&](int col, int r) { return src.pixels.data() + (static_cast<size_t>(r) * src.width + col) * 3; };
    auto dpx = [&](Screen& s, int col, int r) { return s.pixels.data() + (static_cast<size_t>(r) * s.width + col) * 3; };
    for (int br = 0; br < h / n; ++br)
        for (int bc = 0; bc < w / n; ++bc) {
            long sum[3] = {0, 0, 0};
            for (int r = br * n; r < br * n + n; ++r)
                for (int c = bc * n; c < bc * n + n; ++c)
                    for (int k = 0; k < 3; ++k) sum[k] += spx(c, r)[k];
            int avg[3];
            for (int k = 0; k < 3; ++k) avg[k] = static_cast<int>(sum[k] / (static_cast<long>(n) * n));
            if (noise)
                for (int k = 2; k >= 0; --k) avg[k] = std::clamp(avg[k] + rnd.next() % 96 - 48, 0, 255);
            for (int r = br * n; r < br * n + n; ++r)
                for (int c = bc * n; c < bc * n + n; ++c)
                    for (int k = 0; k < 3; ++k) dpx(dst, c, r)[k] = static_cast<uint8_t>(avg[k]);
        }
}

}  // namespace yv::px::ref
