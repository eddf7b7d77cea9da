// The fast pixel loops: rectangles clipped once, then whole rows handled with memcpy or 16 bytes
// at a time (SSE2, which every x86-64 processor has); a scalar tail finishes each row.
#include "graphics/pixel_ops.h"

#include <array>
#include <cstdlib>

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/pixel_simd.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace yv::px {

Clip clipRect(int64_t x, int64_t y, int64_t w, int64_t h, int dw, int dh, int64_t sx, int64_t sy,
              int sw, int sh) {
    Clip c;
    if (w <= 0 || h <= 0) return c;
    // Left/top edges: move the start inward by whatever lies outside either screen.
    const int64_t cutX = std::max<int64_t>({0, -x, -sx});
    const int64_t cutY = std::max<int64_t>({0, -y, -sy});
    x += cutX, sx += cutX, w -= cutX;
    y += cutY, sy += cutY, h -= cutY;
    w = std::min<int64_t>({w, dw - x, sw - sx});
    h = std::min<int64_t>({h, dh - y, sh - sy});
    if (w <= 0 || h <= 0) return c;
    c.dx = static_cast<int>(x), c.dy = static_cast<int>(y), c.sx = static_cast<int>(sx), c.sy = static_cast<int>(sy);
    c.w = static_cast<int>(w), c.h = static_cast<int>(h);
    return c;
}

ScaleTable::ScaleTable() {
    for (int r = 0; r < 256; ++r)
        for (int c = 0; c < 256; ++c) v[r][c] = static_cast<uint8_t>((r * c) >> 8);
}

const ScaleTable& scaleTable() {
    static const ScaleTable table;
    return table;
}

namespace {

inline uint8_t* px(Screen& s, int x, int y) { return s.row(y) + static_cast<size_t>(x) * 3; }
inline const uint8_t* px(const Screen& s, int x, int y) { return s.row(y) + static_cast<size_t>(x) * 3; }

// Calls fn(j, pixels) for each row j of the clipped block, or once with j = the bottom row and
// all its pixels when the rows are whole rows of every screen involved: bottom-up storage then
// puts the block's rows one after another from its bottom row on.
template <class Fn>
void eachRun(const Clip& c, bool wholeRows, Fn fn) {
    if (wholeRows) {
        fn(c.h - 1, c.w * c.h);
        return;
    }
    for (int j = 0; j < c.h; ++j) fn(j, c.w);
}

// Clip against one screen only (the in-place operations).
Clip clipSelf(const Screen& s, int x, int y, int w, int h) {
    return clipRect(x, y, w, h, s.width, s.height, x, y, s.width, s.height);
}

// A private copy of the source when it is the destination itself, so that every pixel is read
// before any is written whatever the overlap.
const Screen& detached(const Screen& src, const Screen& dst, Screen& holder) {
    if (&src != &dst) return src;
    holder = src;
    return holder;
}

void addConstRow(uint8_t* d, const uint8_t* s, size_t n, int c) {
    size_t i = simd::haveAvx2() ? simd::addConst(d, s, n, std::clamp(c, -255, 255)) : 0;
#if defined(__SSE2__)
    const __m128i k = _mm_set1_epi8(static_cast<char>(std::min(std::abs(c), 255)));
    for (; i + 16 <= n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        v = c < 0 ? _mm_subs_epu8(v, k) : _mm_adds_epu8(v, k);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), v);
    }
#endif
    for (; i < n; ++i) d[i] = static_cast<uint8_t>(std::clamp(s[i] + c, 0, 255));
}

void keyRow(uint8_t* d, const uint8_t* s, int w, uint32_t key) {
    if (simd::available()) {
        const uint8_t k[3] = {static_cast<uint8_t>(key), static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key >> 16)};
        const int done = simd::keyRow(d, s, w, k);
        d += done * 3, s += done * 3, w -= done;
    }
    for (int i = 0; i < w; ++i, s += 3, d += 3) {
        const uint32_t v = s[0] | (uint32_t{s[1]} << 8) | (uint32_t{s[2]} << 16);
        if (v != key) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

}  // namespace

void copyRect(Screen& dst, int x, int y, int w, int h, const Screen& srcIn, int sx, int sy, int mode,
              int contrast) {
    if ((mode != 0 && mode != 1) || !dst.exists() || !srcIn.exists()) return;
    const Clip c = clipRect(x, y, w, h, dst.width, dst.height, sx, sy, srcIn.width, srcIn.height);
    if (c.empty()) return;
    Screen holder;
    const Screen& src = detached(srcIn, dst, holder);
    const bool whole = c.w == dst.width && c.w == src.width;
    if (mode == 1) {
        const uint8_t* k = px(src, c.sx, c.sy + c.h - 1);
        const uint32_t key = k[0] | (uint32_t{k[1]} << 8) | (uint32_t{k[2]} << 16);
        eachRun(c, whole, [&](int j, int n) { keyRow(px(dst, c.dx, c.dy + j), px(src, c.sx, c.sy + j), n, key); });
        return;
    }
    eachRun(c, whole, [&](int j, int n) {
        uint8_t* d = px(dst, c.dx, c.dy + j);
        const uint8_t* sp = px(src, c.sx, c.sy + j);
        if (contrast == 0)
            std::memcpy(d, sp, static_cast<size_t>(n) * 3);
        else
            addConstRow(d, sp, static_cast<size_t>(n) * 3, contrast);
    });
}

namespace {

// One row of the blend without a global alpha: the scale table's S(a, b) is (a * b) >> 8,
// computed directly so the loop vectorises.
void alphaRowPlain(uint8_t* __restrict d, const uint8_t* __restrict s, const uint8_t* __restrict m, int w) {
    const int done = simd::available() ? simd::alphaRow(d, s, m, w, -1) : 0;
    for (int i = done; i < w; ++i) {
        const unsigned a = m[i * 3];
        for (int c = 0; c < 3; ++c) {
            const unsigned dv = d[i * 3 + c], sv = s[i * 3 + c];
            const unsigned blend = ((dv * a) >> 8) + ((sv * (255 - a)) >> 8);
            d[i * 3 + c] = static_cast<uint8_t>(a == 255 ? dv : a == 0 ? sv : blend);
        }
    }
}

void alphaRowGlobal(uint8_t* __restrict d, const uint8_t* __restrict s, const uint8_t* __restrict m, int w,
                    unsigned A) {
    const unsigned A2 = A >> 1, B2 = (255 - A) >> 1, B = 255 - A;
    const int done = simd::available() ? simd::alphaRow(d, s, m, w, static_cast<int>(A)) : 0;
    for (int i = done; i < w; ++i) {
        const unsigned a = m[i * 3];
        for (int c = 0; c < 3; ++c) {
            const unsigned dv = d[i * 3 + c], sv = s[i * 3 + c];
            const unsigned zero = ((sv * B) >> 8) + ((dv * A) >> 8);
            const unsigned mid = ((((dv * A) >> 8) * A2) >> 8) + ((sv * B2) >> 8);
            d[i * 3 + c] = static_cast<uint8_t>(a == 255 ? dv : a == 0 ? zero : mid);
        }
    }
}

}  // namespace

void alphaRect(Screen& dst, int x, int y, int w, int h, const Screen& srcIn, int sx, int sy,
               const Screen& maskIn, int alpha) {
    if (!dst.exists() || !srcIn.exists() || !maskIn.exists()) return;
    // The mask is read at the source's coordinates: clip the source to the mask first.
    Clip c = clipRect(x, y, w, h, dst.width, dst.height, sx, sy, std::min(srcIn.width, maskIn.width),
                      std::min(srcIn.height, maskIn.height));
    if (c.empty()) return;
    Screen holdS, holdM;
    const Screen& src = detached(srcIn, dst, holdS);
    const Screen& mask = detached(maskIn, dst, holdM);
    const int A = std::min(alpha, 255);
    const bool whole = c.w == dst.width && c.w == src.width && c.w == mask.width;
    eachRun(c, whole, [&](int j, int n) {
        uint8_t* d = px(dst, c.dx, c.dy + j);
        const uint8_t* s = px(src, c.sx, c.sy + j);
        const uint8_t* m = px(mask, c.sx, c.sy + j);
        if (A < 0)
            alphaRowPlain(d, s, m, n);
        else
            alphaRowGlobal(d, s, m, n, static_cast<unsigned>(A));
    });
}

namespace {

void stepRow(uint8_t* d, const uint8_t* s, size_t n, int k) {
    size_t i = simd::haveAvx2() ? simd::stepToward(d, s, n, k) : 0;
#if defined(__SSE2__)
    const __m128i kv = _mm_set1_epi8(static_cast<char>(k));
    for (; i + 16 <= n; i += 16) {
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        // Below the source: min(d + k, s), which is s above it; above: max(d - k, s), which is s
        // below it. So the sum of both less s is the one that applies.
        const __m128i up = _mm_min_epu8(_mm_adds_epu8(dv, kv), sv);
        const __m128i down = _mm_max_epu8(_mm_subs_epu8(dv, kv), sv);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_sub_epi8(_mm_add_epi8(up, down), sv));
    }
#endif
    for (; i < n; ++i) d[i] = d[i] < s[i] ? static_cast<uint8_t>(std::min(d[i] + k, int{s[i]}))
                                          : static_cast<uint8_t>(std::max(d[i] - k, int{s[i]}));
}

}  // namespace

void stepToward(Screen& dst, int x, int y, int w, int h, const Screen& src, int step) {
    if (!dst.exists() || !src.exists()) return;
    // Source pixels are those of the same coordinates.
    const Clip c = clipRect(x, y, w, h, std::min(dst.width, src.width), std::min(dst.height, src.height), x, y,
                            src.width, src.height);
    if (c.empty()) return;
    const int k = std::min(step & 0xFFFF, 255);  // any step of 255 or more reaches the source at once
    eachRun(c, c.w == dst.width && c.w == src.width, [&](int j, int n) {
        stepRow(px(dst, c.dx, c.dy + j), px(src, c.dx, c.dy + j), static_cast<size_t>(n) * 3, k);
    });
}

void fadeDown(Screen& dst, int x, int y, int w, int h, int amount) {
    if (!dst.exists()) return;
    const Clip c = clipSelf(dst, x, y, w, h);
    eachRun(c, c.w == dst.width, [&](int j, int n) {
        uint8_t* d = px(dst, c.dx, c.dy + j);
        addConstRow(d, d, static_cast<size_t>(n) * 3, -std::clamp(amount, 0, 255));
    });
}

void fadeUp(Screen& dst, int x, int y, int w, int h, const Screen& src, int amount) {
    if (!dst.exists() || !src.exists()) return;
    const Clip c = clipRect(x, y, w, h, std::min(dst.width, src.width), std::min(dst.height, src.height), x, y,
                            src.width, src.height);
    const int a = std::clamp(amount, 0, 255);
    eachRun(c, c.w == dst.width && c.w == src.width, [&](int j, int pixels) {
        uint8_t* d = px(dst, c.dx, c.dy + j);
        const uint8_t* s = px(src, c.dx, c.dy + j);
        const size_t n = static_cast<size_t>(pixels) * 3;
        size_t i = simd::haveAvx2() ? simd::fadeUp(d, s, n, a) : 0;
#if defined(__SSE2__)
        const __m128i av = _mm_set1_epi8(static_cast<char>(a));
        for (; i + 16 <= n; i += 16) {
            const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_min_epu8(_mm_adds_epu8(dv, av), sv));
        }
#endif
        for (; i < n; ++i) d[i] = static_cast<uint8_t>(std::min(d[i] + a, int{s[i]}));
    });
}

void fill(Screen& dst, uint8_t b, uint8_t g, uint8_t r) {
    if (!dst.exists()) return;
    std::vector<uint8_t> row(static_cast<size_t>(dst.width) * 3);
    for (size_t i = 0; i < row.size(); i += 3) row[i] = b, row[i + 1] = g, row[i + 2] = r;
    for (int j = 0; j < dst.height; ++j) std::memcpy(dst.row(j), row.data(), row.size());
}

void greyTone(Screen& dst, int x, int y, int w, int h, int r, int g, int b) {
    if (!dst.exists()) return;
    const Clip c = clipSelf(dst, x, y, w, h);
    // The three products are the ones the formula forms; summed in the same order they give
    // the same double, so the truncation matches.
    static const auto tables = [] {
        std::array<std::array<double, 256>, 3> t{};
        for (int v = 0; v < 256; ++v) t[0][v] = 0.30 * v, t[1][v] = 0.59 * v, t[2][v] = 0.11 * v;
        return t;
    }();
    for (int j = 0; j < c.h; ++j) {
        uint8_t* d = px(dst, c.dx, c.dy + j);
        for (int i = 0; i < c.w; ++i, d += 3) {
            const int Y = static_cast<int>(tables[0][d[2]] + tables[1][d[1]] + tables[2][d[0]]);
            d[2] = static_cast<uint8_t>(r != 0 ? r : Y);
            d[1] = static_cast<uint8_t>(g != 0 ? g : Y);
            d[0] = static_cast<uint8_t>(b != 0 ? b : Y);
        }
    }
}

void tint(Screen& dst, int x, int y, int w, int h, int dr, int dg, int db) {
    if (!dst.exists()) return;
    const Clip c = clipSelf(dst, x, y, w, h);
    // 48 bytes = 16 pixels: the channel pattern repeats with every such block of a row.
    alignas(32) uint8_t up[96], down[96];
    const int delta[3] = {db, dg, dr};
    for (int i = 0; i < 96; ++i) {
        const int v = delta[i % 3];
        up[i] = static_cast<uint8_t>(std::clamp(v, 0, 255));
        down[i] = static_cast<uint8_t>(std::clamp(-v, 0, 255));
    }
    eachRun(c, c.w == dst.width, [&](int j, int pixels) {
        uint8_t* d = px(dst, c.dx, c.dy + j);
        const size_t n = static_cast<size_t>(pixels) * 3;
        size_t i = simd::haveAvx2() ? simd::tint(d, n, up, down) : 0;  // a multiple of 96, so of 48
#if defined(__SSE2__)
        __m128i u[3], dn[3];
        for (int k = 0; k < 3; ++k) {
            u[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(up + 16 * k));
            dn[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(down + 16 * k));
        }
        for (; i + 48 <= n; i += 48)
            for (int k = 0; k < 3; ++k) {
                __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i + 16 * k));
                v = _mm_subs_epu8(_mm_adds_epu8(v, u[k]), dn[k]);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 16 * k), v);
            }
#endif
        for (; i < n; ++i) d[i] = static_cast<uint8_t>(std::clamp(d[i] + up[i % 48] - down[i % 48], 0, 255));
    });
}

void mosaic(Screen& dst, const Screen& srcIn, int n, bool noise, Rand& rnd) {
    if (n < 1 || !dst.exists() || !srcIn.exists()) return;
    Screen holder;
    const Screen& src = detached(srcIn, dst, holder);
    const int w = std::min(dst.width, src.width), h = std::min(dst.height, src.height);
    const int cols = w / n, rows = h / n;
    if (cols == 0 || rows == 0) return;
    std::vector<long> sums(static_cast<size_t>(cols) * 3);
    const long area = static_cast<long>(n) * n;
    for (int br = 0; br < rows; ++br) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int r = br * n; r < br * n + n; ++r) {
            const uint8_t* s = src.pixels.data() + static_cast<size_t>(r) * src.width * 3;
            for (int bc = 0; bc < cols; ++bc) {
                long* acc = &sums[static_cast<size_t>(bc) * 3];
                for (int k = 0; k < n; ++k, s += 3) acc[0] += s[0], acc[1] += s[1], acc[2] += s[2];
            }
        }
        std::vector<uint8_t> line(static_cast<size_t>(cols) * n * 3);
        for (int bc = 0; bc < cols; ++bc) {
            int avg[3];
            for (int k = 0; k < 3; ++k) avg[k] = static_cast<int>(sums[static_cast<size_t>(bc) * 3 + k] / area);
            if (noise)
                for (int k = 2; k >= 0; --k) avg[k] = std::clamp(avg[k] + rnd.next() % 96 - 48, 0, 255);
            uint8_t* o = line.data() + static_cast<size_t>(bc) * n * 3;
            for (int k = 0; k < n; ++k, o += 3)
                o[0] = static_cast<uint8_t>(avg[0]), o[1] = static_cast<uint8_t>(avg[1]), o[2] = static_cast<uint8_t>(avg[2]);
        }
        for (int r = br * n; r < br * n + n; ++r)
            std::memcpy(dst.pixels.data() + static_cast<size_t>(r) * dst.width * 3, line.data(), line.size());
    }
}

}  // namespace yv::px
