// The blit and fill commands and the after-steps that drawing commands share.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace yv {

struct Runtime;
struct Args;

int32_t cmdBitblt(Runtime& rt, const Args& args);
int32_t cmdBlt(Runtime& rt, const Args& args);
int32_t cmdPaint(Runtime& rt, const Args& args);
int32_t cmdStretchblt(Runtime& rt, const Args& args);
int32_t cmdAlphablt(Runtime& rt, const Args& args);
int32_t cmdAlphabitblt(Runtime& rt, const Args& args);
int32_t cmdTransblt(Runtime& rt, const Args& args);
int32_t cmdTransbitblt(Runtime& rt, const Args& args);
int32_t cmdMosaicblt(Runtime& rt, const Args& args);
int32_t cmdClr(Runtime& rt, const Args& args);
int32_t cmdFillclr(Runtime& rt, const Args& args);
int32_t cmdMonofill(Runtime& rt, const Args& args);
int32_t cmdTransfill(Runtime& rt, const Args& args);

namespace graphics {
// The after-steps of a drawing command: the text overlay when the text buffer is on, then
// screen 0 to the window when asked.
void overlayAndPresent(Runtime& rt, bool overlay, bool present);
// A plain copy onto screen 0 of rect r of screen n (the contrast offset applies).
void copyToScreen0(Runtime& rt, int n, Rect r);
}  // namespace graphics

}  // namespace yv
