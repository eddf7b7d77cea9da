// Script commands of the graphics subsystem: images, blits and fills, transitions.
#pragma once

#include <cstdint>

#include "core/bytes.h"
#include "platform/platform.h"

namespace yv {

struct Runtime;
struct IntList;

// Image screens.
int32_t cmdLoadimage(Runtime& rt);
int32_t cmdCreateimage(Runtime& rt);
int32_t cmdReleaseimage(Runtime& rt);
// The image loader (also used when a saved game is loaded): 1 loaded (always 1 for a PNG), 0 not.
int32_t loadImageFile(Runtime& rt, BytesView name, int32_t n, int32_t mask);

// Blits and fills.
int32_t cmdBitblt(Runtime& rt);
int32_t cmdBlt(Runtime& rt);
int32_t cmdPaint(Runtime& rt);
int32_t cmdStretchblt(Runtime& rt);
int32_t cmdAlphablt(Runtime& rt);
int32_t cmdAlphabitblt(Runtime& rt);
int32_t cmdTransblt(Runtime& rt);
int32_t cmdTransbitblt(Runtime& rt);
int32_t cmdMosaicblt(Runtime& rt);
int32_t cmdClr(Runtime& rt);
int32_t cmdFillclr(Runtime& rt);
int32_t cmdMonofill(Runtime& rt);
int32_t cmdTransfill(Runtime& rt);

// Transitions.
int32_t cmdFade(Runtime& rt);
int32_t cmdTransfade(Runtime& rt);
int32_t cmdMosaicfade(Runtime& rt);
int32_t cmdWipe(Runtime& rt);
int32_t cmdEffect(Runtime& rt);

namespace graphics {
// True for "();" and the like: the scanner reads an empty list as a single 0.
bool noArguments(BytesView argText);
// How many leading arguments were given (up to the first missing one).
int givenCount(const IntList& l);
// The after-steps of a drawing command: the text overlay when the text buffer is on, then
// screen 0 to the window when asked.
void overlayAndPresent(Runtime& rt, bool overlay, bool present);
// A plain copy onto screen 0 of rect r of screen n (the contrast offset applies).
void copyToScreen0(Runtime& rt, int n, Rect r);
}  // namespace graphics

}  // namespace yv
