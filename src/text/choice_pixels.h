// The image highlight of click areas: a step toward a picture read at its own position (the
// blit commands' step reads its source where it writes). A plain per-pixel twin keeps it honest.
#pragma once

#include <cstdint>

#include "graphics/screens.h"

namespace yv::choicepx {

// The part of a w x h rectangle at (dx, dy) of dst and (sx, sy) of src that lies on both.
struct Span {
    int dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
};
Span clip(const Screen& dst, int dx, int dy, const Screen& src, int sx, int sy, int w, int h);

// Moves each channel of dst toward the picture at (sx, sy) of src by at most k, never past it.
void stepToward(Screen& dst, int dx, int dy, int w, int h, const Screen& src, int sx, int sy, int k);
void stepTowardSlow(Screen& dst, int dx, int dy, int w, int h, const Screen& src, int sx, int sy, int k);

}  // namespace yv::choicepx
