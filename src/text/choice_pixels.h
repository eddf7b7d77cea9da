// Pixel work of the choice highlight: a rectangle copied between screens, a saturating tint and
// a step toward a picture. Each has a plain per-pixel twin that the tests compare it with.
#pragma once

#include <cstdint>

#include "graphics/screens.h"

namespace yv::choicepx {

// The part of a w x h rectangle at (dx, dy) of dst and (sx, sy) of src that lies on both.
struct Span {
    int dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
};
Span clip(const Screen& dst, int dx, int dy, const Screen& src, int sx, int sy, int w, int h);

// Copies the w x h picture at (sx, sy) of src to (dx, dy) of dst.
void copy(Screen& dst, int dx, int dy, int w, int h, const Screen& src, int sx, int sy);
void copySlow(Screen& dst, int dx, int dy, int w, int h, const Screen& src, int sx, int sy);

// Adds a signed amount to each channel with saturation; 0 leaves a channel untouched.
void tint(Screen& s, int x, int y, int w, int h, int dr, int dg, int db);
void tintSlow(Screen& s, int x, int y, int w, int h, int dr, int dg, int db);

// Moves each channel of dst toward the picture at (sx, sy) of src by at most k, never past it.
void stepToward(Screen& dst, int dx, int dy, int w, int h, const Screen& src, int sx, int sy, int k);
void stepTowardSlow(Screen& dst, int dx, int dy, int w, int h, const Screen& src, int sx, int sy, int k);

}  // namespace yv::choicepx
