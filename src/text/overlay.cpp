// Pixel loops of the text overlay; each fast loop has a per-pixel twin the tests compare.
#include "text/overlay.h"

#include <algorithm>
#include <cstring>

namespace yv::overlay {
namespace {

inline uint8_t toward(uint8_t from, uint8_t to, uint8_t a) {
    return static_cast<uint8_t>((from * (255 - a) + to * a + 127) / 255);
}

// Clips (x, y, w, h) to the picture; false when nothing is left.
bool clip(const Screen& s, int& x, int& y, int& w, int& h) {
    if (!s.exists()) return false;
    int x1 = x + w, y1 = y + h;
    x = std::max(x, 0);
    y = std::max(y, 0);
    x1 = std::min(x1, s.width);
    y1 = std::min(y1, s.height);
    w = x1 - x;
    h = y1 - y;
    return w > 0 && h > 0;
}

uint8_t* pixelAt(Screen& s, int x, int y) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height || !s.exists()) return nullptr;
    return s.row(y) + static_cast<size_t>(x) * 3;
}

const uint8_t* pixelAt(const Screen& s, int x, int y) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height || !s.exists()) return nullptr;
    return s.row(y) + static_cast<size_t>(x) * 3;
}

}  // namespace

void drawGlyph(Screen& s, int x, int y, const GlyphCell& g, Rgb c) {
    const int gx = x + g.left, gy = y + g.top;
    int cx = gx, cy = gy, cw = g.width, ch = g.height;
    if (g.coverage.empty() || !clip(s, cx, cy, cw, ch)) return;
    for (int row = cy; row < cy + ch; ++row) {
        uint8_t* d = s.row(row) + static_cast<size_t>(cx) * 3;
        const uint8_t* a = g.coverage.data() + static_cast<size_t>(row - gy) * g.width + (cx - gx);
        for (int i = 0; i < cw; ++i, d += 3) {
            const uint8_t k = a[i];
            if (k == 0) continue;
            if (k == 255) {
                d[0] = c.b;
                d[1] = c.g;
                d[2] = c.r;
            } else {
                d[0] = toward(d[0], c.b, k);
                d[1] = toward(d[1], c.g, k);
                d[2] = toward(d[2], c.r, k);
            }
        }
    }
}

void drawGlyphSlow(Screen& s, int x, int y, const GlyphCell& g, Rgb c) {
    for (int j = 0; j < g.height; ++j)
        for (int i = 0; i < g.width; ++i) {
            uint8_t* d = pixelAt(s, x + g.left + i, y + g.top + j);
            const uint8_t k = g.coverage[static_cast<size_t>(j) * g.width + i];
            if (!d) continue;
            d[0] = toward(d[0], c.b, k);
            d[1] = toward(d[1], c.g, k);
            d[2] = toward(d[2], c.r, k);
        }
}

void compose(Screen& s0, const Screen& mask, const Screen& image, int x, int y, int w, int h) {
    if (!clip(s0, x, y, w, h) || !clip(mask, x, y, w, h) || !clip(image, x, y, w, h)) return;
    const size_t n = static_cast<size_t>(w) * 3, off = static_cast<size_t>(x) * 3;
    for (int row = y; row < y + h; ++row) {
        uint8_t* d = s0.row(row) + off;
        const uint8_t* m = mask.row(row) + off;
        const uint8_t* im = image.row(row) + off;
        for (size_t i = 0; i < n; ++i) d[i] = static_cast<uint8_t>((d[i] & m[i]) | im[i]);
    }
}

void composeSlow(Screen& s0, const Screen& mask, const Screen& image, int x, int y, int w, int h) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) {
            uint8_t* d = pixelAt(s0, i, j);
            const uint8_t* m = pixelAt(mask, i, j);
            const uint8_t* im = pixelAt(image, i, j);
            if (!d || !m || !im) continue;
            for (int k = 0; k < 3; ++k) d[k] = static_cast<uint8_t>((d[k] & m[k]) | im[k]);
        }
}

void copyRect(Screen& dst, const Screen& src, int x, int y, int w, int h) {
    if (!clip(dst, x, y, w, h) || !clip(src, x, y, w, h)) return;
    for (int row = y; row < y + h; ++row)
        std::memcpy(dst.row(row) + static_cast<size_t>(x) * 3, src.row(row) + static_cast<size_t>(x) * 3,
                    static_cast<size_t>(w) * 3);
}

void maskedBlit(Screen& dst, int dx, int dy, int w, int h, const Screen& src, int sx, int sy,
                int mx, int my) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            uint8_t* d = pixelAt(dst, dx + i, dy + j);
            const uint8_t* p = pixelAt(src, sx + i, sy + j);
            const uint8_t* m = pixelAt(src, mx + i, my + j);
            if (!d || !p || !m) continue;
            for (int k = 0; k < 3; ++k) d[k] = static_cast<uint8_t>((d[k] & m[k]) | p[k]);
        }
}

void clear(Screen& image, Screen& mask) {
    std::fill(image.pixels.begin(), image.pixels.end(), uint8_t{0});
    std::fill(mask.pixels.begin(), mask.pixels.end(), uint8_t{255});
}

void clearRect(Screen& image, Screen& mask, int x, int y, int w, int h) {
    int ix = x, iy = y, iw = w, ih = h;
    if (clip(image, ix, iy, iw, ih))
        for (int row = iy; row < iy + ih; ++row)
            std::memset(image.row(row) + static_cast<size_t>(ix) * 3, 0, static_cast<size_t>(iw) * 3);
    if (clip(mask, x, y, w, h))
        for (int row = y; row < y + h; ++row)
            std::memset(mask.row(row) + static_cast<size_t>(x) * 3, 255, static_cast<size_t>(w) * 3);
}

}  // namespace yv::overlay
