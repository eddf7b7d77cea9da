// Shuffle-based row loops for processors that have them (checked at run time).
#pragma once

#include <cstddef>
#include <cstdint>

namespace yv::pixels::simd {

bool available();
// Each handles whole blocks of 16 pixels from the row's start and returns how many pixels it
// did; the caller finishes the rest. alpha < 0: no global alpha.
int alphaRow(uint8_t* d, const uint8_t* s, const uint8_t* m, int w, int alpha);
int keyRow(uint8_t* d, const uint8_t* s, int w, const uint8_t key[3]);
// Grey tone: below is the table of exact sums the doubles miss, three bits to each red and green
// (bit 3 (r * 256 + g) + b / 100, with a byte to spare at the end); keep[c] != 0 keeps that value
// in channel c (blue, green, red). Built once per call, then run on each row.
class GreyRow {
public:
    GreyRow(const uint8_t* below, const int keep[3]);
    int run(uint8_t* d, int w) const;

    // The widest lanes used: 64, 32 or 16 pixels a block, as the processor allows; tests lower it
    // to check the narrower ones against the same answers.
    int lanes = 16;
    const uint8_t* below;
    bool keepsAny = false;
    alignas(64) uint8_t keepValue[192] = {};  // per byte of 64 pixels: the pattern of channels repeats
    alignas(64) uint8_t keepMask[192] = {};
};

// Byte loops 32 bytes at a time (AVX2); each returns how many bytes it did.
bool haveAvx2();
size_t addConst(uint8_t* d, const uint8_t* s, size_t n, int c);  // |c| <= 255, saturating
size_t stepToward(uint8_t* d, const uint8_t* s, size_t n, int k);  // k <= 255
size_t fadeUp(uint8_t* d, const uint8_t* s, size_t n, int a);
// Tint patterns of 96 bytes (32 pixels): what is added and what is taken off each byte.
size_t tint(uint8_t* d, size_t n, const uint8_t* up96, const uint8_t* down96);
size_t compose(uint8_t* d, const uint8_t* m, const uint8_t* p, size_t n);  // d = (d AND m) OR p

}  // namespace yv::pixels::simd
