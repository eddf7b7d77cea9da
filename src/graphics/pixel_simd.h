// Shuffle-based row loops for processors that have them (checked at run time).
#pragma once

#include <cstdint>

namespace yv::px::simd {

bool available();
// Each handles whole blocks of 16 pixels from the row's start and returns how many pixels it
// did; the caller finishes the rest. alpha < 0: no global alpha.
int alphaRow(uint8_t* d, const uint8_t* s, const uint8_t* m, int w, int alpha);
int keyRow(uint8_t* d, const uint8_t* s, int w, const uint8_t key[3]);

}  // namespace yv::px::simd
