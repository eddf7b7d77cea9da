// The pixel loops of the blit, fill and transition commands. Each exists twice: the fast one in
// namespace px and a plain per-pixel twin in px::ref that the tests hold the fast one to.
#pragma once

#include <cstdint>

#include "graphics/screens.h"

namespace yv::px {

// Rectangles are in script coordinates (x right, y down from the top-left) of each screen and
// are clipped to both the destination and the source; nothing outside either is read or written.
struct Clip {
    int dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
};
// The part of the w x h rectangle at (x, y) of a dw x dh destination, read from (sx, sy) of a
// sw x sh source, that lies inside both.
Clip clipRect(int64_t x, int64_t y, int64_t w, int64_t h, int dw, int dh, int64_t sx, int64_t sy,
              int sw, int sh);

// S(a, b) = (a * b) >> 8, the scale table of the alpha blends.
struct ScaleTable {
    uint8_t v[256][256];
    ScaleTable();
};
const ScaleTable& scaleTable();

// A small deterministic generator with the usual 15-bit rand() range.
struct Rand {
    uint32_t state = 1;
    void seed(uint32_t s) { state = s; }
    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

// Mode 0: plain copy, each channel plus `contrast` with saturation. Mode 1: colour key (the
// bottom-left pixel of the clipped source rectangle); pixels equal to it are skipped. Other
// modes copy nothing. Source and destination may be the same screen.
void copyRect(Screen& dst, int x, int y, int w, int h, const Screen& src, int sx, int sy, int mode,
              int contrast);
// Mask byte m (blue byte of the mask pixel at the source position): 255 keeps the destination;
// alpha < 0: 0 copies, else S(d, m) + S(s, 255 - m); alpha A: see the command's description.
void alphaRect(Screen& dst, int x, int y, int w, int h, const Screen& src, int sx, int sy,
               const Screen& mask, int alpha);
// Each channel moves toward the source pixel of the same coordinates by at most k.
void stepToward(Screen& dst, int x, int y, int w, int h, const Screen& src, int k);
// Every channel becomes max(0, v - amount).
void fadeDown(Screen& dst, int x, int y, int w, int h, int amount);
// Every channel becomes min(source channel, v + amount).
void fadeUp(Screen& dst, int x, int y, int w, int h, const Screen& src, int amount);
void fill(Screen& dst, uint8_t b, uint8_t g, uint8_t r);
// Grey tone: Y = trunc(0.30 R + 0.59 G + 0.11 B); a non-zero component keeps that value.
void greyTone(Screen& dst, int x, int y, int w, int h, int r, int g, int b);
// Signed tint with saturation.
void tint(Screen& dst, int x, int y, int w, int h, int dr, int dg, int db);
// Blocks of n x n laid from the bottom-left in storage order; the rows and columns left over at
// the top and right stay as they are.
void mosaic(Screen& dst, const Screen& src, int n, bool noise, Rand& rnd);

namespace ref {
void copyRect(Screen& dst, int x, int y, int w, int h, const Screen& src, int sx, int sy, int mode,
              int contrast);
void alphaRect(Screen& dst, int x, int y, int w, int h, const Screen& src, int sx, int sy,
               const Screen& mask, int alpha);
void stepToward(Screen& dst, int x, int y, int w, int h, const Screen& src, int k);
void fadeDown(Screen& dst, int x, int y, int w, int h, int amount);
void fadeUp(Screen& dst, int x, int y, int w, int h, const Screen& src, int amount);
void fill(Screen& dst, uint8_t b, uint8_t g, uint8_t r);
void greyTone(Screen& dst, int x, int y, int w, int h, int r, int g, int b);
void tint(Screen& dst, int x, int y, int w, int h, int dr, int dg, int db);
void mosaic(Screen& dst, const Screen& src, int n, bool noise, Rand& rnd);
}  // namespace ref

}  // namespace yv::px
