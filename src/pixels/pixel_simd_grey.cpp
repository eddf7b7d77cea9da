// The grey tone 16 pixels at a time (SSSE3): the channels pulled apart by byte shuffles, the
// integer form of the formula on 16-bit lanes, and the rare exact sums looked up one by one.
#include "pixels/pixel_simd.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

namespace yv::pixels::simd {
namespace {

#define YV_SSSE3 __attribute__((target("ssse3")))

// Shuffle masks that gather channel c of 16 pixels from (or scatter it to) the three 16-byte
// vectors of a 48-byte block: pixel i's channel c is byte 3 i + c.
struct ChannelMasks {
    alignas(16) int8_t gather[3][3][16];   // [channel][vector][lane]
    alignas(16) int8_t scatter[3][3][16];  // [vector][channel][lane]
    constexpr ChannelMasks() : gather{}, scatter{} {
        for (int c = 0; c < 3; ++c)
            for (int v = 0; v < 3; ++v)
                for (int lane = 0; lane < 16; ++lane) {
                    const int k = 3 * lane + c;  // where pixel `lane` keeps channel c
                    gather[c][v][lane] = static_cast<int8_t>(k / 16 == v ? k % 16 : -1);
                    const int out = 16 * v + lane;  // the byte this lane of vector v writes
                    scatter[v][c][lane] = static_cast<int8_t>(out % 3 == c ? out / 3 : -1);
                }
    }
};
constexpr ChannelMasks kMasks;

YV_SSSE3 inline __m128i mask(const int8_t* m) { return _mm_load_si128(reinterpret_cast<const __m128i*>(m)); }

YV_SSSE3 inline __m128i gather(const __m128i v[3], int c) {
    return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(v[0], mask(kMasks.gather[c][0])),
                                     _mm_shuffle_epi8(v[1], mask(kMasks.gather[c][1]))),
                        _mm_shuffle_epi8(v[2], mask(kMasks.gather[c][2])));
}

YV_SSSE3 inline __m128i scatter(const __m128i ch[3], int v) {
    return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(ch[0], mask(kMasks.scatter[v][0])),
                                     _mm_shuffle_epi8(ch[1], mask(kMasks.scatter[v][1]))),
                        _mm_shuffle_epi8(ch[2], mask(kMasks.scatter[v][2])));
}

// 30 R + 59 G + 11 B over eight pixels, and its quotient by 100: t <= 25500, and
// (t * 41944) >> 22 is t / 100 for every such t: 41944 is 2^22 / 100 rounded
// up, so no multiple of 100 falls short, and the excess stays below 0.006, too little to carry
// any other t over.
struct Sums {
    __m128i t, q;
};
YV_SSSE3 inline Sums sums(__m128i b, __m128i g, __m128i r) {
    const __m128i t = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(r, _mm_set1_epi16(30)), _mm_mullo_epi16(g, _mm_set1_epi16(59))),
                                    _mm_mullo_epi16(b, _mm_set1_epi16(11)));
    const __m128i q = _mm_srli_epi16(_mm_mulhi_epu16(t, _mm_set1_epi16(static_cast<short>(41944))), 6);
    return {t, q};
}


#define YV_AVX2 __attribute__((target("avx2")))

YV_AVX2 inline __m256i mask2(const int8_t* m) {
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(m)));
}

YV_AVX2 inline __m256i gather2(const __m256i v[3], int c) {
    return _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(v[0], mask2(kMasks.gather[c][0])),
                                           _mm256_shuffle_epi8(v[1], mask2(kMasks.gather[c][1]))),
                           _mm256_shuffle_epi8(v[2], mask2(kMasks.gather[c][2])));
}

YV_AVX2 inline __m256i scatter2(const __m256i ch[3], int v) {
    return _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(ch[0], mask2(kMasks.scatter[v][0])),
                                           _mm256_shuffle_epi8(ch[1], mask2(kMasks.scatter[v][1]))),
                           _mm256_shuffle_epi8(ch[2], mask2(kMasks.scatter[v][2])));
}

struct Sums2 {
    __m256i t, q;
};
YV_AVX2 inline Sums2 sums2(__m256i b, __m256i g, __m256i r) {
    const __m256i t = _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(r, _mm256_set1_epi16(30)),
                                                        _mm256_mullo_epi16(g, _mm256_set1_epi16(59))),
                                       _mm256_mullo_epi16(b, _mm256_set1_epi16(11)));
    return {t, _mm256_srli_epi16(_mm256_mulhi_epu16(t, _mm256_set1_epi16(static_cast<short>(41944))), 6)};
}

YV_AVX2 inline __m256i loadPair(const uint8_t* lo, const uint8_t* hi) {
    return _mm256_set_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i*>(hi)),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(lo)));
}

// 32 pixels a turn: two 48-byte blocks, one in each half of the registers.
YV_AVX2 int greyRowAvx2(uint8_t* d, int w, const uint8_t* below, const int keep[3]) {
    const __m256i z = _mm256_setzero_si256();
    __m256i keepV[3], keepMask[3];
    for (int c = 0; c < 3; ++c) {
        keepV[c] = _mm256_set1_epi8(static_cast<char>(keep[c]));
        keepMask[c] = keep[c] != 0 ? _mm256_set1_epi8(-1) : z;
    }
    int i = 0;
    for (; i + 32 <= w; i += 32) {
        uint8_t* p = d + 3 * i;
        const __m256i v[3] = {loadPair(p, p + 48), loadPair(p + 16, p + 64), loadPair(p + 32, p + 80)};
        const __m256i b = gather2(v, 0), g = gather2(v, 1), r = gather2(v, 2);
        const Sums2 lo = sums2(_mm256_unpacklo_epi8(b, z), _mm256_unpacklo_epi8(g, z), _mm256_unpacklo_epi8(r, z));
        const Sums2 hi = sums2(_mm256_unpackhi_epi8(b, z), _mm256_unpackhi_epi8(g, z), _mm256_unpackhi_epi8(r, z));
        __m256i y = _mm256_packus_epi16(lo.q, hi.q);  // lane order kept within each half
        const __m256i hundred = _mm256_set1_epi16(100);
        const uint32_t exact = static_cast<uint32_t>(_mm256_movemask_epi8(
            _mm256_packs_epi16(_mm256_cmpeq_epi16(lo.t, _mm256_mullo_epi16(lo.q, hundred)),
                               _mm256_cmpeq_epi16(hi.t, _mm256_mullo_epi16(hi.q, hundred)))));
        if (exact != 0) {
            alignas(32) uint8_t ys[32];
            _mm256_store_si256(reinterpret_cast<__m256i*>(ys), y);
            for (uint32_t m = exact; m != 0; m &= m - 1) {
                const int lane = __builtin_ctz(m);
                const uint8_t* px = p + 3 * lane;  // half h's lanes are pixels 16 h .. 16 h + 15
                ys[lane] = static_cast<uint8_t>(ys[lane] - ((below[px[2] * 256 + px[1]] >> (px[0] / 100)) & 1));
            }
            y = _mm256_load_si256(reinterpret_cast<const __m256i*>(ys));
        }
        __m256i ch[3];
        for (int c = 0; c < 3; ++c) ch[c] = _mm256_blendv_epi8(y, keepV[c], keepMask[c]);
        for (int k = 0; k < 3; ++k) {
            const __m256i out = scatter2(ch, k);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16 * k), _mm256_castsi256_si128(out));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 48 + 16 * k), _mm256_extracti128_si256(out, 1));
        }
    }
    return i;
}

}  // namespace

YV_SSSE3 int greyRow(uint8_t* d, int w, const uint8_t* below, const int keep[3]) {
    const __m128i z = _mm_setzero_si128();
    __m128i keepV[3], keepMask[3];
    for (int c = 0; c < 3; ++c) {
        keepV[c] = _mm_set1_epi8(static_cast<char>(keep[c]));
        keepMask[c] = keep[c] != 0 ? _mm_set1_epi8(-1) : z;
    }
    int i = haveAvx2() ? greyRowAvx2(d, w, below, keep) : 0;
    for (; i + 16 <= w; i += 16) {
        uint8_t* p = d + 3 * i;
        const __m128i v[3] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32))};
        const __m128i b = gather(v, 0), g = gather(v, 1), r = gather(v, 2);
        const Sums lo = sums(_mm_unpacklo_epi8(b, z), _mm_unpacklo_epi8(g, z), _mm_unpacklo_epi8(r, z));
        const Sums hi = sums(_mm_unpackhi_epi8(b, z), _mm_unpackhi_epi8(g, z), _mm_unpackhi_epi8(r, z));
        __m128i y = _mm_packus_epi16(lo.q, hi.q);
        // Where the sum divides evenly the doubles may land a hair below it: those few pixels
        // take the table's answer.
        const __m128i hundred = _mm_set1_epi16(100);
        const int exact = _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(lo.t, _mm_mullo_epi16(lo.q, hundred)),
                                                            _mm_cmpeq_epi16(hi.t, _mm_mullo_epi16(hi.q, hundred))));
        if (exact != 0) {
            alignas(16) uint8_t ys[16];
            _mm_store_si128(reinterpret_cast<__m128i*>(ys), y);
            for (unsigned m = static_cast<unsigned>(exact); m != 0; m &= m - 1) {
                const int lane = __builtin_ctz(m);
                const uint8_t* px = p + 3 * lane;
                ys[lane] = static_cast<uint8_t>(ys[lane] - ((below[px[2] * 256 + px[1]] >> (px[0] / 100)) & 1));
            }
            y = _mm_load_si128(reinterpret_cast<const __m128i*>(ys));
        }
        __m128i ch[3];
        for (int c = 0; c < 3; ++c)
            ch[c] = _mm_or_si128(_mm_and_si128(keepMask[c], keepV[c]), _mm_andnot_si128(keepMask[c], y));
        for (int k = 0; k < 3; ++k) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16 * k), scatter(ch, k));
    }
    return i;
}

}  // namespace yv::pixels::simd

#else

namespace yv::pixels::simd {
int greyRow(uint8_t*, int, const uint8_t*, const int[3]) { return 0; }
}  // namespace yv::pixels::simd

#endif
