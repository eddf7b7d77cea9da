// Pixel work of the text: glyph coverage drawn into the overlay, the overlay composed over
// screen 0, rectangles restored from screen 1, the click-wait icon laid through its mask.
#pragma once

#include "graphics/screens.h"
#include "text/font.h"
#include "text/text_state.h"

namespace yv::overlay {

// Draws the cell's coverage with its top-left corner at (x, y) in colour c, as antialiased
// text is drawn over a picture: each pixel moves toward c by the coverage.
void drawGlyph(Screen& s, int x, int y, const GlyphCell& g, Rgb c);
void drawGlyphSlow(Screen& s, int x, int y, const GlyphCell& g, Rgb c);

// screen0 = (screen0 AND mask) OR image over the rectangle (x, y, w, h).
void compose(Screen& screen0, const Screen& mask, const Screen& image, int x, int y, int w, int h);
void composeSlow(Screen& screen0, const Screen& mask, const Screen& image, int x, int y, int w, int h);

// Copies the rectangle (x, y, w, h) from src to the same place of dst (a plain copy).
void copyRect(Screen& dst, const Screen& src, int x, int y, int w, int h);

// Lays a w x h picture of src at (sx, sy) over dst at (dx, dy) through its mask at (mx, my):
// AND with the mask, then OR with the picture.
void maskedBlit(Screen& dst, int dx, int dy, int w, int h, const Screen& src, int sx, int sy,
                int mx, int my);

// Image black, mask white: the whole of both, or the rectangle (x, y, w, h).
void clear(Screen& image, Screen& mask);
void clearRect(Screen& image, Screen& mask, int x, int y, int w, int h);

}  // namespace yv::overlay
