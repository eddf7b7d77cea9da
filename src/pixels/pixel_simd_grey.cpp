// The grey tone 16, 32 or 64 pixels at a time: each pixel spread to a 32-bit lane so one
// multiply-add gives its weighted sum, one byte shuffle per block of output, the rare exact sums
// looked up.
#include "pixels/pixel_simd.h"

#include <algorithm>
#include <cstring>

namespace yv::pixels::simd {

GreyRow::GreyRow(const uint8_t* belowTable, const int keep[3]) : below(belowTable) {
    for (int j = 0; j < 192; ++j) {
        keepValue[j] = static_cast<uint8_t>(keep[j % 3]);
        keepMask[j] = keep[j % 3] != 0 ? 0xff : 0;
        keepsAny = keepsAny || keep[j % 3] != 0;
    }
#if defined(__x86_64__) && defined(__GNUC__)
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi"))
        lanes = 64;
    else if (haveAvx2())
        lanes = 32;
#endif
}

}  // namespace yv::pixels::simd

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

namespace yv::pixels::simd {
namespace {

#define YV_SSSE3 __attribute__((target("ssse3")))
#define YV_AVX2 __attribute__((target("avx2")))

// Byte shuffles are what bounds this loop (one or two ports do them all), so there are as few as
// the layout allows: four to spread pixels to 32-bit lanes, three to lay the greys back out.
struct Masks {
    alignas(16) int8_t spread[2][16];  // [from byte 0 / from byte 4]: pixel i's B G R to lane i
    alignas(16) int8_t weights[16];    // 11 B + 59 G, 30 R per lane
    alignas(16) int8_t out[3][16];     // output block k's bytes from the 16 greys
    constexpr Masks() : spread{}, weights{}, out{} {
        for (int lane = 0; lane < 4; ++lane)
            for (int c = 0; c < 4; ++c) {
                spread[0][4 * lane + c] = static_cast<int8_t>(c < 3 ? 3 * lane + c : -1);
                spread[1][4 * lane + c] = static_cast<int8_t>(c < 3 ? 4 + 3 * lane + c : -1);
                weights[4 * lane + c] = static_cast<int8_t>(c == 0 ? 11 : c == 1 ? 59 : c == 2 ? 30 : 0);
            }
        for (int k = 0; k < 3; ++k)
            for (int j = 0; j < 16; ++j) out[k][j] = static_cast<int8_t>((16 * k + j) / 3);
    }
};
constexpr Masks kMasks;

// (t * 41944) >> 22 is t / 100 for every t <= 25500: 41944 is 2^22 / 100 rounded up, so no
// multiple of 100 falls short, and the excess stays below 0.006, too little to carry any other
// t over.
constexpr short kInvHundred = static_cast<short>(41944);

// A row is done in chunks: the greys of a chunk go to a small buffer with the places of the
// exact sums beside them, those few are looked up in the table, then the chunk is written with
// the ones found below taken off. Correcting inside the vector loop cost a mispredicted branch
// in every fourth block; writing the corrections into the greys' bytes stalled the vector load
// that followed, so they go to a bit mask read with plain 64-bit loads.
constexpr int kChunk = 1024;
struct Chunk {
    alignas(64) uint8_t ys[kChunk];
    uint16_t exact[kChunk + 2];  // two slots past the count are written and ignored
    uint64_t less[kChunk / 64];  // bit i: grey byte i is one too high

    // Appends the set bits of m, lanes base.. of the chunk, and returns the new count; no branch
    // on how many there are unless there are more than two (one block in hundreds). The count is
    // the caller's local so it stays in a register across the vector stores.
    int note(int count, uint64_t m, int base) {
        const int n = __builtin_popcountll(m);
        const auto at = [&](uint64_t bits) { return static_cast<uint16_t>(base + __builtin_ctzll(bits | (uint64_t{1} << 63))); };
        exact[count] = at(m);
        m &= m - 1;
        exact[count + 1] = at(m);
        for (int k = 2; k < n; ++k) {
            m &= m - 1;
            exact[count + k] = at(m);
        }
        return count + n;
    }
    // Where the sum divides evenly the doubles may land a hair below it. Where a 64-pixel block's
    // mask lanes are not its pixels, toByte and toPixel map them to the grey's byte and pixel.
    void correct(int count, int n, const uint8_t* p, const uint8_t* below, const uint8_t* toByte = nullptr,
                 const uint8_t* toPixel = nullptr) {
        for (int k = 0; k < (n + 63) / 64; ++k) less[k] = 0;
        for (int k = 0; k < count; ++k) {
            const int lane = exact[k], block = lane & ~63;
            const int at = toByte ? block + toByte[lane & 63] : lane;
            const uint8_t* px = p + 3 * (toPixel ? block + toPixel[lane & 63] : lane);
            const unsigned bit = (px[2] * 256u + px[1]) * 3 + (px[0] >= 100) + (px[0] >= 200);
            uint16_t pair;
            std::memcpy(&pair, below + bit / 8, 2);
            less[at >> 6] |= static_cast<uint64_t>((pair >> (bit % 8)) & 1) << (at & 63);
        }
    }
};

YV_SSSE3 inline __m128i load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
YV_SSSE3 inline __m128i constant(const int8_t* m) { return _mm_load_si128(reinterpret_cast<const __m128i*>(m)); }
YV_SSSE3 inline __m128i constant(const uint8_t* m) { return _mm_load_si128(reinterpret_cast<const __m128i*>(m)); }

YV_AVX2 inline __m256i load2(const uint8_t* lo, const uint8_t* hi) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(load(lo)), load(hi), 1);
}
template <typename T>
YV_AVX2 inline __m256i constant2(const T* m) {
    return _mm256_broadcastsi128_si256(constant(m));
}

// Bit i of m as byte i of the result: -1 where set, 0 elsewhere (adding it takes one off).
YV_SSSE3 inline __m128i lessMask(uint32_t m) {
    const __m128i bit = _mm_set1_epi64x(static_cast<long long>(0x8040201008040201ull));
    const __m128i spread = _mm_shuffle_epi8(_mm_cvtsi32_si128(static_cast<int>(m)), _mm_set_epi8(1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0));
    return _mm_cmpeq_epi8(_mm_and_si128(spread, bit), bit);
}
YV_AVX2 inline __m256i lessMask2(uint32_t m) {
    const __m256i bit = _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201ull));
    const __m256i spread = _mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(m)),
                                               _mm256_set_epi64x(0x0303030303030303, 0x0202020202020202, 0x0101010101010101, 0));
    return _mm256_cmpeq_epi8(_mm256_and_si256(spread, bit), bit);
}

// The weighted sums of the eight pixels in a's halves: 32-bit lane i of each half holds
// 11 B + 59 G + 30 R of its pixel.
YV_AVX2 inline __m256i sums8(__m256i a, __m256i spread, __m256i weights) {
    return _mm256_madd_epi16(_mm256_maddubs_epi16(_mm256_shuffle_epi8(a, spread), weights), _mm256_set1_epi16(1));
}

// 32 pixels a block, pixels 0-15 in the low halves and 16-31 in the high ones, so the greys come
// out in order and each output half is one of the six 16-byte blocks.
YV_AVX2 int greyRowAvx2(uint8_t* d, int w, const GreyRow& g) {
    const __m256i s0 = constant2(kMasks.spread[0]), s4 = constant2(kMasks.spread[1]);
    const __m256i weights = constant2(kMasks.weights);
    const __m256i inv = _mm256_set1_epi16(kInvHundred);
    __m256i hundred = _mm256_set1_epi16(100);
    __asm__("" : "+x"(hundred));  // else the compiler trades the one multiply for five shifts and adds
    Chunk chunk;
    int count = 0, i = 0;
    while (w - i >= 32) {
        const int n = std::min(kChunk, (w - i) & ~31);
        uint8_t* const start = d + 3 * i;
        for (int b = 0; b < n; b += 32) {
            const uint8_t* p = start + 3 * b;
            // Pixels 4 k .. 4 k + 3 start at byte 12 k; the last four of each 48 are read from
            // byte 32 so no load passes the block's end.
            const __m256i t0 = _mm256_packs_epi32(sums8(load2(p, p + 48), s0, weights), sums8(load2(p + 12, p + 60), s0, weights));
            const __m256i t1 = _mm256_packs_epi32(sums8(load2(p + 24, p + 72), s0, weights), sums8(load2(p + 32, p + 80), s4, weights));
            const __m256i q0 = _mm256_srli_epi16(_mm256_mulhi_epu16(t0, inv), 6);
            const __m256i q1 = _mm256_srli_epi16(_mm256_mulhi_epu16(t1, inv), 6);
            _mm256_store_si256(reinterpret_cast<__m256i*>(chunk.ys + b), _mm256_packus_epi16(q0, q1));
            count = chunk.note(count, static_cast<uint32_t>(_mm256_movemask_epi8(
                           _mm256_packs_epi16(_mm256_cmpeq_epi16(t0, _mm256_mullo_epi16(q0, hundred)),
                                              _mm256_cmpeq_epi16(t1, _mm256_mullo_epi16(q1, hundred))))),
                       b);
        }
        chunk.correct(count, n, start, g.below);
        count = 0;
        for (int b = 0; b < n; b += 32) {
            const __m256i y = _mm256_add_epi8(_mm256_load_si256(reinterpret_cast<const __m256i*>(chunk.ys + b)),
                                              lessMask2(static_cast<uint32_t>(chunk.less[b / 64] >> (b % 64))));
            uint8_t* p = start + 3 * b;
            for (int k = 0; k < 3; ++k) {
                __m256i out = _mm256_shuffle_epi8(y, constant2(kMasks.out[k]));
                if (g.keepsAny) out = _mm256_blendv_epi8(out, constant2(g.keepValue + 16 * k), constant2(g.keepMask + 16 * k));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16 * k), _mm256_castsi256_si128(out));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 48 + 16 * k), _mm256_extracti128_si256(out, 1));
            }
        }
        i += n;
    }
    return i;
}

YV_SSSE3 inline __m128i sums4(__m128i a, __m128i spread, __m128i weights) {
    return _mm_madd_epi16(_mm_maddubs_epi16(_mm_shuffle_epi8(a, spread), weights), _mm_set1_epi16(1));
}

// 16 pixels a block: processors without AVX2, and the last 16 of a row on those with it.
YV_SSSE3 int greyRowSsse3(uint8_t* d, int w, const GreyRow& g) {
    const __m128i s0 = constant(kMasks.spread[0]), s4 = constant(kMasks.spread[1]);
    const __m128i weights = constant(kMasks.weights);
    const __m128i inv = _mm_set1_epi16(kInvHundred);
    __m128i hundred = _mm_set1_epi16(100);
    __asm__("" : "+x"(hundred));
    Chunk chunk;
    int count = 0, i = 0;
    while (w - i >= 16) {
        const int n = std::min(kChunk, (w - i) & ~15);
        uint8_t* const start = d + 3 * i;
        for (int b = 0; b < n; b += 16) {
            const uint8_t* p = start + 3 * b;
            const __m128i t0 = _mm_packs_epi32(sums4(load(p), s0, weights), sums4(load(p + 12), s0, weights));
            const __m128i t1 = _mm_packs_epi32(sums4(load(p + 24), s0, weights), sums4(load(p + 32), s4, weights));
            const __m128i q0 = _mm_srli_epi16(_mm_mulhi_epu16(t0, inv), 6);
            const __m128i q1 = _mm_srli_epi16(_mm_mulhi_epu16(t1, inv), 6);
            _mm_store_si128(reinterpret_cast<__m128i*>(chunk.ys + b), _mm_packus_epi16(q0, q1));
            count = chunk.note(count, static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(t0, _mm_mullo_epi16(q0, hundred)),
                                                                              _mm_cmpeq_epi16(t1, _mm_mullo_epi16(q1, hundred))))),
                       b);
        }
        chunk.correct(count, n, start, g.below);
        count = 0;
        for (int b = 0; b < n; b += 16) {
            const __m128i y = _mm_add_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(chunk.ys + b)),
                                           lessMask(static_cast<uint32_t>(chunk.less[b / 64] >> (b % 64))));
            uint8_t* p = start + 3 * b;
            for (int k = 0; k < 3; ++k) {
                __m128i out = _mm_shuffle_epi8(y, constant(kMasks.out[k]));
                if (g.keepsAny) {
                    const __m128i m = constant(g.keepMask + 16 * k);
                    out = _mm_or_si128(_mm_and_si128(m, constant(g.keepValue + 16 * k)), _mm_andnot_si128(m, out));
                }
                _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16 * k), out);
            }
        }
        i += n;
    }
    return i;
}

#define YV_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// 64 pixels a block with byte permutes that cross the whole register: one per 16 pixels in, one
// per 64 bytes out. The packs work within 16-byte lanes, so the greys come out in the order
// laneByte names, and the output permutes read them from there.
struct Masks64 {
    alignas(64) uint8_t spread[2][64];  // [from byte 0 / from byte 16]: pixel i's B G R to dword i
    alignas(64) uint8_t laneByte[64];   // exact-mask lane -> grey byte
    alignas(64) uint8_t lanePixel[64];  // exact-mask lane -> pixel
    alignas(64) uint8_t out[3][64];     // output block k's bytes -> grey byte
    constexpr Masks64() : spread{}, laneByte{}, lanePixel{}, out{} {
        for (int i = 0; i < 16; ++i)
            for (int c = 0; c < 4; ++c) {
                spread[0][4 * i + c] = static_cast<uint8_t>(c < 3 ? 3 * i + c : 0);
                spread[1][4 * i + c] = static_cast<uint8_t>(c < 3 ? 16 + 3 * i + c : 0);
            }
        // Spread j holds pixels 16 j .. in its dwords, 4 to a 16-byte lane L; the packs interleave
        // per lane, so word m of lane L of t0 is pixel 16 (m / 4) + 4 L + m % 4 (spreads 0, 1),
        // of t1 the same from spreads 2, 3; the greys' lane L is t0's eight words, then t1's.
        uint8_t place[64] = {};
        for (int half = 0; half < 2; ++half)
            for (int lane = 0; lane < 4; ++lane)
                for (int m = 0; m < 8; ++m) {
                    const int maskLane = 32 * half + 8 * lane + m, byte = 16 * lane + 8 * half + m;
                    const int pixel = 16 * (2 * half + m / 4) + 4 * lane + m % 4;
                    laneByte[maskLane] = static_cast<uint8_t>(byte);
                    lanePixel[maskLane] = static_cast<uint8_t>(pixel);
                    place[pixel] = static_cast<uint8_t>(byte);
                }
        for (int k = 0; k < 3; ++k)
            for (int j = 0; j < 64; ++j) out[k][j] = place[(64 * k + j) / 3];
    }
};
constexpr Masks64 kMasks64;

YV_AVX512 inline __m512i load4(const void* p) { return _mm512_loadu_si512(p); }

YV_AVX512 inline __m512i sums16(__m512i a, __m512i spread, __m512i weights) {
    return _mm512_madd_epi16(_mm512_maddubs_epi16(_mm512_maskz_permutexvar_epi8(~__mmask64{0}, spread, a), weights), _mm512_set1_epi16(1));
}

YV_AVX512 int greyRowAvx512(uint8_t* d, int w, const GreyRow& g) {
    const __m512i s0 = load4(kMasks64.spread[0]), s16 = load4(kMasks64.spread[1]);
    const __m512i weights = _mm512_set1_epi32(0x001e3b0b);  // 11, 59, 30, 0 as bytes
    const __m512i inv = _mm512_set1_epi16(kInvHundred);
    __m512i hundred = _mm512_set1_epi16(100);
    __asm__("" : "+v"(hundred));
    __m512i outIdx[3], keepV[3];
    __mmask64 takeGrey[3];
    for (int k = 0; k < 3; ++k) {
        outIdx[k] = load4(kMasks64.out[k]);
        keepV[k] = load4(g.keepValue + 64 * k);
        takeGrey[k] = ~_mm512_movepi8_mask(load4(g.keepMask + 64 * k));
    }
    Chunk chunk;
    int count = 0, i = 0;
    while (w - i >= 64) {
        const int n = std::min(kChunk, (w - i) & ~63);
        uint8_t* const start = d + 3 * i;
        for (int b = 0; b < n; b += 64) {
            const uint8_t* p = start + 3 * b;
            // Pixels 16 j .. 16 j + 15 start at byte 48 j; the last sixteen are read from byte
            // 128 so no load passes the block's end.
            const __m512i t0 = _mm512_packs_epi32(sums16(load4(p), s0, weights), sums16(load4(p + 48), s0, weights));
            const __m512i t1 = _mm512_packs_epi32(sums16(load4(p + 96), s0, weights), sums16(load4(p + 128), s16, weights));
            const __m512i q0 = _mm512_srli_epi16(_mm512_mulhi_epu16(t0, inv), 6);
            const __m512i q1 = _mm512_srli_epi16(_mm512_mulhi_epu16(t1, inv), 6);
            _mm512_store_si512(chunk.ys + b, _mm512_packus_epi16(q0, q1));
            // Lanes 0-31 of the mask are t0's words, 32-63 t1's.
            const uint64_t exact =
                uint64_t{_mm512_cmpeq_epi16_mask(t1, _mm512_mullo_epi16(q1, hundred))} << 32 |
                _mm512_cmpeq_epi16_mask(t0, _mm512_mullo_epi16(q0, hundred));
            count = chunk.note(count, exact, b);
        }
        chunk.correct(count, n, start, g.below, kMasks64.laneByte, kMasks64.lanePixel);
        count = 0;
        for (int b = 0; b < n; b += 64) {
            const __m512i y = _mm512_mask_sub_epi8(load4(chunk.ys + b), chunk.less[b / 64], load4(chunk.ys + b), _mm512_set1_epi8(1));
            uint8_t* p = start + 3 * b;
            for (int k = 0; k < 3; ++k)
                _mm512_storeu_si512(p + 64 * k, _mm512_mask_permutexvar_epi8(keepV[k], takeGrey[k], outIdx[k], y));
        }
        i += n;
    }
    return i;
}

}  // namespace

int GreyRow::run(uint8_t* d, int w) const {
    int done = lanes >= 64 ? greyRowAvx512(d, w, *this) : 0;
    if (lanes >= 32) done += greyRowAvx2(d + 3 * done, w - done, *this);
    return done + greyRowSsse3(d + 3 * done, w - done, *this);
}

}  // namespace yv::pixels::simd

#else

namespace yv::pixels::simd {
int GreyRow::run(uint8_t*, int) const { return 0; }
}  // namespace yv::pixels::simd

#endif
