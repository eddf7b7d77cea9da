// The fast masked loops of the text overlay and the sprites: AND with a mask then OR with a
// picture, 32 or 16 bytes at a time; and glyph coverage drawn toward a colour.
#include <algorithm>
#include <vector>

#include "pixels/fast_rows.h"
#include "pixels/pixel_ops.h"
#include "pixels/pixel_simd.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace yv::pixels::fast {
namespace {

// d = (d AND m) OR p over n bytes.
void composeRow(uint8_t* d, const uint8_t* m, const uint8_t* p, size_t n) {
    size_t i = simd::haveAvx2() ? simd::compose(d, m, p, n) : 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i mv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i));
        const __m128i pv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(_mm_and_si128(dv, mv), pv));
    }
#endif
    for (; i < n; ++i) d[i] = static_cast<uint8_t>((d[i] & m[i]) | p[i]);
}

inline uint8_t toward(uint8_t from, uint8_t to, uint8_t a) {
    return static_cast<uint8_t>((from * (255 - a) + to * a + 127) / 255);
}

}  // namespace

void maskedBlit(View dst, int x, int y, int w, int h, ConstView picIn, int px, int py, ConstView maskIn, int mx,
                int my) {
    const Span s = clip(w, h, {place(dst, x, y), place(picIn, px, py), place(maskIn, mx, my)});
    if (s.empty()) return;
    std::vector<uint8_t> holdP, holdM;
    const ConstView pic = detached(picIn, dst, holdP), mask = detached(maskIn, dst, holdM);
    for (int j = s.j; j < s.j + s.h; ++j)
        composeRow(dst.at(x + s.i, y + j), mask.at(mx + s.i, my + j), pic.at(px + s.i, py + j),
                   static_cast<size_t>(s.w) * 3);
}

void compose(View dst, ConstView mask, ConstView image, int x, int y, int w, int h) {
    // All three are read at the same place, so even one picture passed twice needs no copy.
    const Span s = clip(w, h, {place(dst, x, y), place(mask, x, y), place(image, x, y)});
    if (s.empty()) return;
    const Block c{x + s.i, y + s.j, x + s.i, y + s.j, s.w, s.h};
    eachRun(c, c.w == dst.width && c.w == mask.width && c.w == image.width, [&](int j, int n) {
        composeRow(dst.at(c.dx, c.dy + j), mask.at(c.dx, c.dy + j), image.at(c.dx, c.dy + j), static_cast<size_t>(n) * 3);
    });
}

void drawCoverage(View dst, int x, int y, const uint8_t* coverage, int cw, int ch, uint8_t b, uint8_t g, uint8_t r) {
    if (!coverage) return;
    const Span s = clip(cw, ch, {place(dst, x, y)});
    for (int j = s.j; j < s.j + s.h; ++j) {
        uint8_t* d = dst.at(x + s.i, y + j);
        const uint8_t* a = coverage + static_cast<size_t>(j) * cw + s.i;
        for (int i = 0; i < s.w; ++i, d += 3) {
            const uint8_t k = a[i];
            if (k == 0) continue;
            if (k == 255) {
                d[0] = b, d[1] = g, d[2] = r;
            } else {
                d[0] = toward(d[0], b, k), d[1] = toward(d[1], g, k), d[2] = toward(d[2], r, k);
            }
        }
    }
}

}  // namespace yv::pixels::fast
