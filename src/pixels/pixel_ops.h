// The pixel loops of the blits, fills, transitions and the text overlay. Each exists twice: the
// fast one in pixels::fast and a plain per-pixel twin in pixels::ref that the tests hold the fast
// one to. Callers use the functions of namespace pixels, which go through the table chosen at
// start-up (the twins when YORVANE_REFERENCE_PIXELS=1).
#pragma once

#include <cstdint>

#include "pixels/view.h"

namespace yv::pixels {

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

// Every rectangle is (x, y, w, h) in top-down coordinates of its picture, clipped to every
// picture it touches; nothing outside any of them is read or written. A source that is the
// destination itself is read whole before anything is written.
#define YV_PIXEL_LOOP_DECLARATIONS                                                                        \
    void copyRect(View dst, int x, int y, int w, int h, ConstView src, int sx, int sy, int mode, int contrast); \
    void alphaRect(View dst, int x, int y, int w, int h, ConstView src, int sx, int sy, ConstView mask,     \
                   int alpha);                                                                            \
    void stepToward(View dst, int x, int y, int w, int h, ConstView src, int sx, int sy, int step);       \
    void fadeDown(View dst, int x, int y, int w, int h, int amount);                                      \
    void fadeUp(View dst, int x, int y, int w, int h, ConstView src, int amount);                         \
    void fill(View dst, int x, int y, int w, int h, uint8_t b, uint8_t g, uint8_t r);                    \
    void greyTone(View dst, int x, int y, int w, int h, int r, int g, int b);                             \
    void tint(View dst, int x, int y, int w, int h, int dr, int dg, int db);                              \
    void mosaic(View dst, ConstView src, int n, bool noise, Rand& rnd);                                   \
    void maskedBlit(View dst, int x, int y, int w, int h, ConstView pic, int px, int py, ConstView mask,   \
                    int mx, int my);                                                                      \
    void compose(View dst, ConstView mask, ConstView image, int x, int y, int w, int h);                  \
    void drawCoverage(View dst, int x, int y, const uint8_t* coverage, int cw, int ch, uint8_t b,          \
                      uint8_t g, uint8_t r);

namespace fast {
YV_PIXEL_LOOP_DECLARATIONS
// Y = trunc(0.30 R + 0.59 G + 0.11 B) as the double formula gives it, in integers.
int grey(int r, int g, int b);
// The grey tone with vector blocks of at most maxLanes pixels (64, 32 or 16; fewer where the
// processor has no wider), so the narrower loops can be checked on a machine with wider ones.
void greyToneLanes(View dst, int x, int y, int w, int h, int r, int g, int b, int maxLanes);
}  // namespace fast

namespace ref {
YV_PIXEL_LOOP_DECLARATIONS
int grey(int r, int g, int b);
}  // namespace ref

#undef YV_PIXEL_LOOP_DECLARATIONS

// One set of loops, fast or plain.
struct Loops {
    decltype(&fast::copyRect) copyRect;
    decltype(&fast::alphaRect) alphaRect;
    decltype(&fast::stepToward) stepToward;
    decltype(&fast::fadeDown) fadeDown;
    decltype(&fast::fadeUp) fadeUp;
    decltype(&fast::fill) fill;
    decltype(&fast::greyTone) greyTone;
    decltype(&fast::tint) tint;
    decltype(&fast::mosaic) mosaic;
    decltype(&fast::maskedBlit) maskedBlit;
    decltype(&fast::compose) compose;
    decltype(&fast::drawCoverage) drawCoverage;
};
extern const Loops kFastLoops, kReferenceLoops;

// The set every call below goes through: fast unless chosen otherwise at start-up.
const Loops& loops();
// Chooses the set; called once at start-up, before other threads run.
void useReferenceLoops(bool on);
// Whether the value of YORVANE_REFERENCE_PIXELS (nullptr when unset) asks for the twins.
bool referenceRequested(const char* value);

// Mode 0: plain copy, each channel plus `contrast` with saturation. Mode 1: colour key (the
// bottom-left pixel of the clipped source rectangle); pixels equal to it are skipped. Other
// modes copy nothing.
inline void copyRect(View dst, int x, int y, int w, int h, ConstView src, int sx, int sy, int mode, int contrast) {
    loops().copyRect(dst, x, y, w, h, src, sx, sy, mode, contrast);
}
// Mask byte m (blue byte of the mask pixel at the source position): 255 keeps the destination;
// alpha < 0: 0 copies, else S(d, m) + S(s, 255 - m); alpha A: see the command's description.
inline void alphaRect(View dst, int x, int y, int w, int h, ConstView src, int sx, int sy, ConstView mask,
                      int alpha) {
    loops().alphaRect(dst, x, y, w, h, src, sx, sy, mask, alpha);
}
// Each channel moves toward the source pixel at (sx, sy) + offset by at most step & 0xFFFF.
inline void stepToward(View dst, int x, int y, int w, int h, ConstView src, int sx, int sy, int step) {
    loops().stepToward(dst, x, y, w, h, src, sx, sy, step);
}
// Every channel becomes max(0, v - amount).
inline void fadeDown(View dst, int x, int y, int w, int h, int amount) { loops().fadeDown(dst, x, y, w, h, amount); }
// Every channel becomes min(source channel of the same place, v + amount).
inline void fadeUp(View dst, int x, int y, int w, int h, ConstView src, int amount) {
    loops().fadeUp(dst, x, y, w, h, src, amount);
}
inline void fill(View dst, int x, int y, int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    loops().fill(dst, x, y, w, h, b, g, r);
}
// Grey tone: Y = trunc(0.30 R + 0.59 G + 0.11 B); a non-zero component keeps that value.
inline void greyTone(View dst, int x, int y, int w, int h, int r, int g, int b) {
    loops().greyTone(dst, x, y, w, h, r, g, b);
}
// Signed tint with saturation.
inline void tint(View dst, int x, int y, int w, int h, int dr, int dg, int db) {
    loops().tint(dst, x, y, w, h, dr, dg, db);
}
// Blocks of n x n laid from the bottom-left in storage order; the rows and columns left over at
// the top and right stay as they are.
inline void mosaic(View dst, ConstView src, int n, bool noise, Rand& rnd) { loops().mosaic(dst, src, n, noise, rnd); }
// A sprite: each byte ANDed with the mask at (mx, my) + offset, then ORed with the picture at
// (px, py) + offset.
inline void maskedBlit(View dst, int x, int y, int w, int h, ConstView pic, int px, int py, ConstView mask, int mx,
                       int my) {
    loops().maskedBlit(dst, x, y, w, h, pic, px, py, mask, mx, my);
}
// dst = (dst AND mask) OR image, all three read at the same place.
inline void compose(View dst, ConstView mask, ConstView image, int x, int y, int w, int h) {
    loops().compose(dst, mask, image, x, y, w, h);
}
// A cw x ch coverage box (top-down, cw bytes a row) with its top-left at (x, y): each pixel moves
// toward the colour by the coverage, as antialiased text is drawn over a picture.
inline void drawCoverage(View dst, int x, int y, const uint8_t* coverage, int cw, int ch, uint8_t b, uint8_t g,
                         uint8_t r) {
    loops().drawCoverage(dst, x, y, coverage, cw, ch, b, g, r);
}

}  // namespace yv::pixels
