// The fast pixel loops of the blits, fills and transitions: rectangles clipped once, then whole
// rows handled with memcpy or 16 bytes at a time (SSE2, which every x86-64 processor has), 32
// with AVX2 where the processor has it; a scalar tail finishes each row.
#include "pixels/pixel_ops.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pixels/fast_rows.h"
#include "pixels/pixel_simd.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace yv::pixels {

ScaleTable::ScaleTable() {
    for (int r = 0; r < 256; ++r)
        for (int c = 0; c < 256; ++c) v[r][c] = static_cast<uint8_t>((r * c) >> 8);
}

const ScaleTable& scaleTable() {
    static const ScaleTable table;
    return table;
}

namespace fast {
namespace {

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

void copyRect(View dst, int x, int y, int w, int h, ConstView srcIn, int sx, int sy, int mode, int contrast) {
    if (mode != 0 && mode != 1) return;
    const Block c = block(w, h, dst, x, y, srcIn, sx, sy);
    if (c.empty()) return;
    std::vector<uint8_t> holder;
    const ConstView src = detached(srcIn, dst, holder);
    const bool whole = c.w == dst.width && c.w == src.width;
    if (mode == 1) {
        const uint8_t* k = src.at(c.sx, c.sy + c.h - 1);
        const uint32_t key = k[0] | (uint32_t{k[1]} << 8) | (uint32_t{k[2]} << 16);
        eachRun(c, whole, [&](int j, int n) { keyRow(dst.at(c.dx, c.dy + j), src.at(c.sx, c.sy + j), n, key); });
        return;
    }
    eachRun(c, whole, [&](int j, int n) {
        uint8_t* d = dst.at(c.dx, c.dy + j);
        const uint8_t* sp = src.at(c.sx, c.sy + j);
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

void alphaRect(View dst, int x, int y, int w, int h, ConstView srcIn, int sx, int sy, ConstView maskIn, int alpha) {
    // The mask is read at the source's coordinates.
    const Span s = clip(w, h, {place(dst, x, y), place(srcIn, sx, sy), place(maskIn, sx, sy)});
    if (s.empty()) return;
    const Block c{x + s.i, y + s.j, sx + s.i, sy + s.j, s.w, s.h};
    std::vector<uint8_t> holdS, holdM;
    const ConstView src = detached(srcIn, dst, holdS);
    const ConstView mask = detached(maskIn, dst, holdM);
    const int A = std::min(alpha, 255);
    const bool whole = c.w == dst.width && c.w == src.width && c.w == mask.width;
    eachRun(c, whole, [&](int j, int n) {
        uint8_t* d = dst.at(c.dx, c.dy + j);
        const uint8_t* sp = src.at(c.sx, c.sy + j);
        const uint8_t* m = mask.at(c.sx, c.sy + j);
        if (A < 0)
            alphaRowPlain(d, sp, m, n);
        else
            alphaRowGlobal(d, sp, m, n, static_cast<unsigned>(A));
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

void stepToward(View dst, int x, int y, int w, int h, ConstView srcIn, int sx, int sy, int step) {
    const Block c = block(w, h, dst, x, y, srcIn, sx, sy);
    if (c.empty()) return;
    std::vector<uint8_t> holder;
    const ConstView src = detached(srcIn, dst, holder);
    const int k = std::min(step & 0xFFFF, 255);  // any step of 255 or more reaches the source at once
    eachRun(c, c.w == dst.width && c.w == src.width, [&](int j, int n) {
        stepRow(dst.at(c.dx, c.dy + j), src.at(c.sx, c.sy + j), static_cast<size_t>(n) * 3, k);
    });
}

void fadeDown(View dst, int x, int y, int w, int h, int amount) {
    const Block c = blockSelf(dst, x, y, w, h);
    if (c.empty()) return;
    eachRun(c, c.w == dst.width, [&](int j, int n) {
        uint8_t* d = dst.at(c.dx, c.dy + j);
        addConstRow(d, d, static_cast<size_t>(n) * 3, -std::clamp(amount, 0, 255));
    });
}

void fadeUp(View dst, int x, int y, int w, int h, ConstView src, int amount) {
    const Block c = block(w, h, dst, x, y, src, x, y);
    if (c.empty()) return;
    const int a = std::clamp(amount, 0, 255);
    eachRun(c, c.w == dst.width && c.w == src.width, [&](int j, int pixels) {
        uint8_t* d = dst.at(c.dx, c.dy + j);
        const uint8_t* s = src.at(c.dx, c.dy + j);
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

void fill(View dst, int x, int y, int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    const Block c = blockSelf(dst, x, y, w, h);
    if (c.empty()) return;
    std::vector<uint8_t> row;
    if (b != g || g != r) {
        row.resize(static_cast<size_t>(c.w) * 3);
        for (size_t i = 0; i < row.size(); i += 3) row[i] = b, row[i + 1] = g, row[i + 2] = r;
    }
    for (int j = 0; j < c.h; ++j) {
        uint8_t* d = dst.at(c.dx, c.dy + j);
        if (row.empty())
            std::memset(d, b, static_cast<size_t>(c.w) * 3);
        else
            std::memcpy(d, row.data(), row.size());
    }
}

namespace {

// The exact bit pattern the double formula works through, in units of 2^-56: every value it meets
// lies below 256 and is a multiple of 2^-56, so 64 bits hold it without loss.
constexpr int kUnitShift = 56;

// Rounds an exact value to the nearest double (ties to even), as each step of the formula does.
uint64_t roundToDouble(uint64_t v) {
    const int bits = 64 - __builtin_clzll(v | 1);
    if (bits <= 53) return v;
    const int cut = bits - 53;
    const uint64_t half = uint64_t{1} << (cut - 1), rest = v & ((half << 1) - 1);
    v -= rest;
    if (rest > half || (rest == half && (v >> cut) & 1)) v += half << 1;
    return v;
}

// The doubles 0.30, 0.59 and 0.11 as multiples of 2^-56 (their 53-bit mantissas shifted).
constexpr uint64_t kRed = 0x13333333333333ull << 2, kGreen = 0x12e147ae147ae1ull << 3, kBlue = 0x1c28f5c28f5c29ull;

// The double formula's value where it lands on a whole number: the rounding of each product and
// sum decides whether the truncation gives that number or one less.
int greyExact(int r, int g, int b) {
    const uint64_t sum = roundToDouble(roundToDouble(kRed * r) + roundToDouble(kGreen * g));
    return static_cast<int>(roundToDouble(sum + roundToDouble(kBlue * b)) >> kUnitShift);
}

// Given red and green, 30 R + 59 G + 11 B is a multiple of 100 for at most three blues, one in
// each hundred. Bit B / 100 of entry (R, G) says whether the doubles fall below that multiple
// there, so a picture that is grey already (every pixel such a case) costs a lookup per pixel.
struct BelowTable {
    uint8_t bits[256 * 256] = {};
    BelowTable() {
        for (int r = 0; r < 256; ++r)
            for (int g = 0; g < 256; ++g) {
                const int need = (100 - (30 * r + 59 * g) % 100) % 100;  // 11 B must leave this mod 100
                for (int b = need * 91 % 100; b < 256; b += 100)    // 91 = 1 / 11 mod 100
                    if (greyExact(r, g, b) * 100 < 30 * r + 59 * g + 11 * b) bits[r * 256 + g] |= 1 << (b / 100);
            }
        for (int i = 0; i < 256 * 256; ++i)
            for (int k = 0; k < 3; ++k)
                if (bits[i] >> k & 1) packed[(3 * i + k) / 8] |= static_cast<uint8_t>(1 << (3 * i + k) % 8);
    }
    // The same three bits to an entry, packed: a third of the size, so more of it stays in the
    // cache for the vector loops' lookups.
    uint8_t packed[256 * 256 * 3 / 8 + 1] = {};
};

const BelowTable& belowTable() {
    static const BelowTable table;
    return table;
}

// (30 R + 59 G + 11 B) / 100 is the formula without rounding; the doubles differ from it only
// where it divides evenly, and there only by being a hair below.
inline int greyOf(const BelowTable& below, unsigned r, unsigned g, unsigned b) {
    const unsigned t = 30 * r + 59 * g + 11 * b;
    const unsigned q = (t * 5243) >> 19;  // t / 100 for every t up to 25500
    if (t != q * 100) return static_cast<int>(q);
    return static_cast<int>(q) - ((below.bits[r * 256 + g] >> (b / 100)) & 1);
}

}  // namespace

int grey(int r, int g, int b) {
    return greyOf(belowTable(), static_cast<unsigned>(r) & 255, static_cast<unsigned>(g) & 255, static_cast<unsigned>(b) & 255);
}

void greyTone(View dst, int x, int y, int w, int h, int r, int g, int b) { greyToneLanes(dst, x, y, w, h, r, g, b, 64); }

void greyToneLanes(View dst, int x, int y, int w, int h, int r, int g, int b, int maxLanes) {
    const Block c = blockSelf(dst, x, y, w, h);
    if (c.empty()) return;
    const BelowTable& below = belowTable();
    const bool wide = simd::available();
    const int keep[3] = {b, g, r};
    simd::GreyRow lanes(below.packed, keep);
    lanes.lanes = std::min(lanes.lanes, maxLanes);
    for (int j = 0; j < c.h; ++j) {
        uint8_t* d = dst.at(c.dx, c.dy + j);
        const int done = wide ? lanes.run(d, c.w) : 0;
        d += 3 * done;
        for (int i = done; i < c.w; ++i, d += 3) {
            const int Y = greyOf(below, d[2], d[1], d[0]);
            d[2] = static_cast<uint8_t>(r != 0 ? r : Y);
            d[1] = static_cast<uint8_t>(g != 0 ? g : Y);
            d[0] = static_cast<uint8_t>(b != 0 ? b : Y);
        }
    }
}

void tint(View dst, int x, int y, int w, int h, int dr, int dg, int db) {
    const Block c = blockSelf(dst, x, y, w, h);
    if (c.empty()) return;
    // 48 bytes = 16 pixels: the channel pattern repeats with every such block of a row.
    alignas(32) uint8_t up[96], down[96];
    const int delta[3] = {db, dg, dr};
    for (int i = 0; i < 96; ++i) {
        const int v = delta[i % 3];
        up[i] = static_cast<uint8_t>(std::clamp(v, 0, 255));
        down[i] = static_cast<uint8_t>(std::clamp(-v, 0, 255));
    }
    eachRun(c, c.w == dst.width, [&](int j, int pixels) {
        uint8_t* d = dst.at(c.dx, c.dy + j);
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

void mosaic(View dst, ConstView srcIn, int n, bool noise, Rand& rnd) {
    if (n < 1 || !dst.exists() || !srcIn.exists()) return;
    std::vector<uint8_t> holder;
    const ConstView src = detached(srcIn, dst, holder);
    const int w = std::min(dst.width, src.width), h = std::min(dst.height, src.height);
    const int cols = w / n, rows = h / n;
    if (cols == 0 || rows == 0) return;
    std::vector<long> sums(static_cast<size_t>(cols) * 3);
    const long area = static_cast<long>(n) * n;
    for (int br = 0; br < rows; ++br) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int r = br * n; r < br * n + n; ++r) {
            const uint8_t* s = src.data + static_cast<size_t>(r) * src.width * 3;
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
            std::memcpy(dst.data + static_cast<size_t>(r) * dst.width * 3, line.data(), line.size());
    }
}

}  // namespace fast
}  // namespace yv::pixels
