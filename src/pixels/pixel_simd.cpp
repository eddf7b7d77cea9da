// Row loops that need byte shuffles (SSSE3): the alpha blends and the colour key, 16 pixels at a
// time. Chosen at run time when the processor has SSSE3; the loops keep their scalar rows.
#include "pixels/pixel_simd.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

namespace yv::pixels::simd {
namespace {

// For the three 16-byte vectors of a 16-pixel block: where each byte finds the first byte of its
// pixel, counted from the block offsets 0, 15 and 30.
#define YV_SHUFFLES                                                                          \
    const __m128i sh0 = _mm_setr_epi8(0, 0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15);  \
    const __m128i sh1 = _mm_setr_epi8(0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15, 15); \
    const __m128i sh2 = _mm_setr_epi8(0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15, 15, 15)

__attribute__((target("ssse3"))) inline __m128i load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
__attribute__((target("ssse3"))) inline void store(uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
// (a * b) >> 8 on 16-bit lanes.
__attribute__((target("ssse3"))) inline __m128i S(__m128i a, __m128i b) {
    return _mm_srli_epi16(_mm_mullo_epi16(a, b), 8);
}
// The same with a given as a << 8 (a byte unpacked into the high half of its lane): the high
// half of the product is (a * b) >> 8 without a shift.
__attribute__((target("ssse3"))) inline __m128i Shi(__m128i aHigh, __m128i b) { return _mm_mulhi_epu16(aHigh, b); }
__attribute__((target("ssse3"))) inline __m128i select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

__attribute__((target("ssse3"))) void blendPlain(uint8_t* d, const uint8_t* s, __m128i m) {
    const __m128i z = _mm_setzero_si128();
    const __m128i dv = load(d), sv = load(s);
    const __m128i inv = _mm_xor_si128(m, _mm_set1_epi8(-1));  // 255 - m
    const __m128i lo = _mm_add_epi16(Shi(_mm_unpacklo_epi8(z, dv), _mm_unpacklo_epi8(m, z)),
                                     Shi(_mm_unpacklo_epi8(z, sv), _mm_unpacklo_epi8(inv, z)));
    const __m128i hi = _mm_add_epi16(Shi(_mm_unpackhi_epi8(z, dv), _mm_unpackhi_epi8(m, z)),
                                     Shi(_mm_unpackhi_epi8(z, sv), _mm_unpackhi_epi8(inv, z)));
    __m128i r = _mm_packus_epi16(lo, hi);
    r = select(_mm_cmpeq_epi8(m, z), sv, r);
    r = select(_mm_cmpeq_epi8(m, _mm_set1_epi8(-1)), dv, r);
    store(d, r);
}

struct GlobalAlpha {
    __m128i A, B, A2, B2;
};

__attribute__((target("ssse3"))) void blendGlobal(uint8_t* d, const uint8_t* s, __m128i m, const GlobalAlpha& g) {
    const __m128i z = _mm_setzero_si128();
    const __m128i dv = load(d), sv = load(s);
    const __m128i dl = _mm_unpacklo_epi8(z, dv), dh = _mm_unpackhi_epi8(z, dv);  // d << 8
    const __m128i sl = _mm_unpacklo_epi8(z, sv), sh = _mm_unpackhi_epi8(z, sv);
    const __m128i dAl = Shi(dl, g.A), dAh = Shi(dh, g.A);
    const __m128i zero = _mm_packus_epi16(_mm_add_epi16(Shi(sl, g.B), dAl), _mm_add_epi16(Shi(sh, g.B), dAh));
    const __m128i mid = _mm_packus_epi16(_mm_add_epi16(S(dAl, g.A2), Shi(sl, g.B2)), _mm_add_epi16(S(dAh, g.A2), Shi(sh, g.B2)));
    __m128i r = select(_mm_cmpeq_epi8(m, z), zero, mid);
    r = select(_mm_cmpeq_epi8(m, _mm_set1_epi8(-1)), dv, r);
    store(d, r);
}


// The same blends on 32 bytes with AVX2; unpacking and packing stay within each 16-byte half,
// so the bytes come back in their places.
#define YV_AVX2 __attribute__((target("avx2")))
YV_AVX2 inline __m256i load32(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
YV_AVX2 inline void store32(uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
YV_AVX2 inline __m256i Shi(__m256i aHigh, __m256i b) { return _mm256_mulhi_epu16(aHigh, b); }
YV_AVX2 inline __m256i S(__m256i a, __m256i b) { return _mm256_srli_epi16(_mm256_mullo_epi16(a, b), 8); }
YV_AVX2 inline __m256i select(__m256i mask, __m256i yes, __m256i no) { return _mm256_blendv_epi8(no, yes, mask); }

YV_AVX2 void blendPlain(uint8_t* d, const uint8_t* s, __m256i m) {
    const __m256i z = _mm256_setzero_si256();
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    const __m256i inv = _mm256_xor_si256(m, _mm256_set1_epi8(-1));
    const __m256i lo = _mm256_add_epi16(Shi(_mm256_unpacklo_epi8(z, dv), _mm256_unpacklo_epi8(m, z)),
                                        Shi(_mm256_unpacklo_epi8(z, sv), _mm256_unpacklo_epi8(inv, z)));
    const __m256i hi = _mm256_add_epi16(Shi(_mm256_unpackhi_epi8(z, dv), _mm256_unpackhi_epi8(m, z)),
                                        Shi(_mm256_unpackhi_epi8(z, sv), _mm256_unpackhi_epi8(inv, z)));
    __m256i r = _mm256_packus_epi16(lo, hi);
    r = select(_mm256_cmpeq_epi8(m, z), sv, r);
    r = select(_mm256_cmpeq_epi8(m, _mm256_set1_epi8(-1)), dv, r);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), r);
}

struct GlobalAlpha256 {
    __m256i A, B, A2, B2;
};

YV_AVX2 void blendGlobal(uint8_t* d, const uint8_t* s, __m256i m, const GlobalAlpha256& g) {
    const __m256i z = _mm256_setzero_si256();
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    const __m256i dl = _mm256_unpacklo_epi8(z, dv), dh = _mm256_unpackhi_epi8(z, dv);
    const __m256i sl = _mm256_unpacklo_epi8(z, sv), sh = _mm256_unpackhi_epi8(z, sv);
    const __m256i dAl = Shi(dl, g.A), dAh = Shi(dh, g.A);
    const __m256i zero = _mm256_packus_epi16(_mm256_add_epi16(Shi(sl, g.B), dAl), _mm256_add_epi16(Shi(sh, g.B), dAh));
    const __m256i mid = _mm256_packus_epi16(_mm256_add_epi16(S(dAl, g.A2), Shi(sl, g.B2)),
                                            _mm256_add_epi16(S(dAh, g.A2), Shi(sh, g.B2)));
    __m256i r = select(_mm256_cmpeq_epi8(m, z), zero, mid);
    r = select(_mm256_cmpeq_epi8(m, _mm256_set1_epi8(-1)), dv, r);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), r);
}

// 32 pixels at a time; returns how many pixels it did.
YV_AVX2 int alphaRowAvx2(uint8_t* d, const uint8_t* s, const uint8_t* m, int w, int alpha) {
    YV_SHUFFLES;
    GlobalAlpha256 g{};
    if (alpha >= 0) {
        g.A = _mm256_set1_epi16(static_cast<short>(alpha));
        g.B = _mm256_set1_epi16(static_cast<short>(255 - alpha));
        g.A2 = _mm256_set1_epi16(static_cast<short>(alpha >> 1));
        g.B2 = _mm256_set1_epi16(static_cast<short>((255 - alpha) >> 1));
    }
    int i = 0;
    for (; i + 32 <= w; i += 32) {
        const uint8_t* mp = m + i * 3;
        __m128i q[6];
        for (int h = 0; h < 2; ++h) {
            q[h * 3] = _mm_shuffle_epi8(load(mp + 48 * h), sh0);
            q[h * 3 + 1] = _mm_shuffle_epi8(load(mp + 48 * h + 15), sh1);
            q[h * 3 + 2] = _mm_shuffle_epi8(load(mp + 48 * h + 30), sh2);
        }
        uint8_t* dp = d + i * 3;
        const uint8_t* sp = s + i * 3;
        for (int k = 0; k < 3; ++k) {
            const __m256i mk = _mm256_set_m128i(q[2 * k + 1], q[2 * k]);
            // Sprites are mostly wholly opaque or wholly clear: those 32 bytes stay or are copied.
            if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(mk, _mm256_set1_epi8(-1))) == -1) continue;
            if (alpha < 0 && _mm256_movemask_epi8(_mm256_cmpeq_epi8(mk, _mm256_setzero_si256())) == -1) {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(dp + 32 * k), load32(sp + 32 * k));
                continue;
            }
            if (alpha < 0)
                blendPlain(dp + 32 * k, sp + 32 * k, mk);
            else
                blendGlobal(dp + 32 * k, sp + 32 * k, mk, g);
        }
    }
    return i;
}

}  // namespace

bool haveAvx2() {
    static const bool ok = __builtin_cpu_supports("avx2");
    return ok;
}

YV_AVX2 size_t addConst(uint8_t* d, const uint8_t* s, size_t n, int c) {
    const __m256i k = _mm256_set1_epi8(static_cast<char>(c < 0 ? -c : c));
    size_t i = 0;
    if (c < 0)
        for (; i + 32 <= n; i += 32) store32(d + i, _mm256_subs_epu8(load32(s + i), k));
    else
        for (; i + 32 <= n; i += 32) store32(d + i, _mm256_adds_epu8(load32(s + i), k));
    return i;
}

YV_AVX2 size_t stepToward(uint8_t* d, const uint8_t* s, size_t n, int k) {
    const __m256i kv = _mm256_set1_epi8(static_cast<char>(k));
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i dv = load32(d + i), sv = load32(s + i);
        const __m256i up = _mm256_min_epu8(_mm256_adds_epu8(dv, kv), sv);
        const __m256i down = _mm256_max_epu8(_mm256_subs_epu8(dv, kv), sv);
        store32(d + i, _mm256_sub_epi8(_mm256_add_epi8(up, down), sv));
    }
    return i;
}

YV_AVX2 size_t fadeUp(uint8_t* d, const uint8_t* s, size_t n, int a) {
    const __m256i av = _mm256_set1_epi8(static_cast<char>(a));
    size_t i = 0;
    for (; i + 32 <= n; i += 32) store32(d + i, _mm256_min_epu8(_mm256_adds_epu8(load32(d + i), av), load32(s + i)));
    return i;
}

YV_AVX2 size_t tint(uint8_t* d, size_t n, const uint8_t* up96, const uint8_t* down96) {
    const __m256i u0 = load32(up96), u1 = load32(up96 + 32), u2 = load32(up96 + 64);
    const __m256i d0 = load32(down96), d1 = load32(down96 + 32), d2 = load32(down96 + 64);
    size_t i = 0;
    for (; i + 96 <= n; i += 96) {
        store32(d + i, _mm256_subs_epu8(_mm256_adds_epu8(load32(d + i), u0), d0));
        store32(d + i + 32, _mm256_subs_epu8(_mm256_adds_epu8(load32(d + i + 32), u1), d1));
        store32(d + i + 64, _mm256_subs_epu8(_mm256_adds_epu8(load32(d + i + 64), u2), d2));
    }
    return i;
}

YV_AVX2 size_t compose(uint8_t* d, const uint8_t* m, const uint8_t* p, size_t n) {
    size_t i = 0;
    for (; i + 32 <= n; i += 32) store32(d + i, _mm256_or_si256(_mm256_and_si256(load32(d + i), load32(m + i)), load32(p + i)));
    return i;
}

bool available() {
    static const bool ok = __builtin_cpu_supports("ssse3");
    return ok;
}

__attribute__((target("ssse3"))) int alphaRow(uint8_t* d, const uint8_t* s, const uint8_t* m, int w, int alpha) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    int done = 0;
    if (avx2) {
        done = alphaRowAvx2(d, s, m, w, alpha);
        d += done * 3, s += done * 3, m += done * 3, w -= done;
    }
    YV_SHUFFLES;
    GlobalAlpha g{};
    if (alpha >= 0) {
        g.A = _mm_set1_epi16(static_cast<short>(alpha));
        g.B = _mm_set1_epi16(static_cast<short>(255 - alpha));
        g.A2 = _mm_set1_epi16(static_cast<short>(alpha >> 1));
        g.B2 = _mm_set1_epi16(static_cast<short>((255 - alpha) >> 1));
    }
    int i = 0;
    for (; i + 16 <= w; i += 16) {
        const uint8_t* mp = m + i * 3;
        const __m128i m0 = _mm_shuffle_epi8(load(mp), sh0);
        const __m128i m1 = _mm_shuffle_epi8(load(mp + 15), sh1);
        const __m128i m2 = _mm_shuffle_epi8(load(mp + 30), sh2);
        uint8_t* dp = d + i * 3;
        const uint8_t* sp = s + i * 3;
        if (alpha < 0) {
            blendPlain(dp, sp, m0), blendPlain(dp + 16, sp + 16, m1), blendPlain(dp + 32, sp + 32, m2);
        } else {
            blendGlobal(dp, sp, m0, g), blendGlobal(dp + 16, sp + 16, m1, g), blendGlobal(dp + 32, sp + 32, m2, g);
        }
    }
    return done + i;
}

__attribute__((target("ssse3"))) int keyRow(uint8_t* d, const uint8_t* s, int w, const uint8_t key[3]) {
    YV_SHUFFLES;
    alignas(16) uint8_t pattern[48];
    for (int i = 0; i < 48; ++i) pattern[i] = key[i % 3];
    const __m128i k0 = load(pattern), k1 = load(pattern + 16), k2 = load(pattern + 32);
    int i = 0;
    for (; i + 16 <= w; i += 16) {
        const uint8_t* sp = s + i * 3;
        uint8_t* dp = d + i * 3;
        const __m128i s0 = load(sp), s1 = load(sp + 16), s2 = load(sp + 32);
        const __m128i e0 = _mm_cmpeq_epi8(s0, k0), e1 = _mm_cmpeq_epi8(s1, k1), e2 = _mm_cmpeq_epi8(s2, k2);
        // A pixel matches when its three bytes do: AND each byte with the next two (windows
        // starting at bytes 0, 15 and 30 of the block), then spread the verdict over the pixel.
        const __m128i t0 = _mm_and_si128(_mm_and_si128(e0, _mm_alignr_epi8(e1, e0, 1)), _mm_alignr_epi8(e1, e0, 2));
        const __m128i t1 = _mm_and_si128(_mm_and_si128(_mm_alignr_epi8(e1, e0, 15), e1), _mm_alignr_epi8(e2, e1, 1));
        const __m128i t2 = _mm_and_si128(_mm_and_si128(_mm_alignr_epi8(e2, e1, 14), _mm_alignr_epi8(e2, e1, 15)), e2);
        store(dp, select(_mm_shuffle_epi8(t0, sh0), load(dp), s0));
        store(dp + 16, select(_mm_shuffle_epi8(t1, sh1), load(dp + 16), s1));
        store(dp + 32, select(_mm_shuffle_epi8(t2, sh2), load(dp + 32), s2));
    }
    return i;
}

}  // namespace yv::pixels::simd

#else

namespace yv::pixels::simd {
bool available() { return false; }
bool haveAvx2() { return false; }
size_t addConst(uint8_t*, const uint8_t*, size_t, int) { return 0; }
size_t stepToward(uint8_t*, const uint8_t*, size_t, int) { return 0; }
size_t fadeUp(uint8_t*, const uint8_t*, size_t, int) { return 0; }
size_t tint(uint8_t*, size_t, const uint8_t*, const uint8_t*) { return 0; }
size_t compose(uint8_t*, const uint8_t*, const uint8_t*, size_t) { return 0; }
int alphaRow(uint8_t*, const uint8_t*, const uint8_t*, int, int) { return 0; }
int keyRow(uint8_t*, const uint8_t*, int, const uint8_t[3]) { return 0; }
}  // namespace yv::pixels::simd

#endif
