// The blit and fill commands: arguments, the screens they name, the after-steps and records.
#include "graphics/blit_commands.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/present.h"
#include "pixels/pixel_ops.h"
#include "runtime.h"
#include "lang/args.h"

namespace yv {

namespace graphics {

void overlayAndPresent(Runtime& rt, bool overlay, bool present) {
    if (overlay && rt.text.textBuffer) layOverlay(rt);
    if (present) presentScreen(rt);
}

void copyToScreen0(Runtime& rt, int n, Rect r) {
    Screen* src = rt.screens.get(n);
    Screen* s0 = rt.screens.get(0);
    if (!src || !s0 || src == s0) return;
    pixels::copyRect(view(*s0), r.x, r.y, r.w, r.h, view(*src), r.x, r.y, 0, rt.config.contrast);
}

}  // namespace graphics

namespace {

using graphics::overlayAndPresent;

int64_t mag(int32_t n) { return std::abs(int64_t{n}); }

// Plain copy or colour key; the contrast offset belongs to plain copies onto screen 0.
void copy(Runtime& rt, int64_t dstN, Screen& dst, int x, int y, int w, int h, const Screen& src, int sx, int sy,
          int mode) {
    pixels::copyRect(view(dst), x, y, w, h, view(src), sx, sy, mode, dstN == 0 && mode == 0 ? rt.config.contrast : 0);
}

uint8_t byteOf(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

}  // namespace

int32_t cmdBitblt(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    int32_t dstN = a[0], x = a[1], y = a[2], w, h, srcN, sx, sy, mode;
    if (a.givenCount() < 8) {
        srcN = a[3], w = rt.config.width, h = rt.config.height, sx = rt.config.left, sy = rt.config.top, mode = 0;
    } else {
        w = a[3], h = a[4], srcN = a[5], sx = a[6], sy = a[7], mode = a.given(8) ? a[8] : 0;
    }
    Screen* dst = rt.screens.get(mag(dstN));
    Screen* src = rt.screens.get(mag(srcN));
    if (!dst || !src) return 0;
    copy(rt, mag(dstN), *dst, x, y, w, h, *src, sx, sy, mode);
    dst->changed = true;
    overlayAndPresent(rt, true, dstN < 0);
    rt.save.log.add(52, dstN, x, y, w, h, srcN, sx, sy, mode);
    return 1;
}

int32_t cmdBlt(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    int32_t dstN = 1, x, y, srcN, mode = 0;
    if (a.givenCount() <= 3) {
        x = a[0], y = a[1], srcN = a[2];
    } else {
        dstN = a[0], x = a[1], y = a[2], srcN = a[3], mode = a.given(4) ? a[4] : 0;
    }
    Screen* dst = rt.screens.get(mag(dstN));
    Screen* src = rt.screens.get(mag(srcN));
    if (!dst || !src) return 0;
    const int sw = src->width, sh = src->height;
    copy(rt, mag(dstN), *dst, x, y, sw, sh, *src, 0, 0, mode);
    dst->changed = true;
    overlayAndPresent(rt, true, srcN < 0);
    rt.save.log.add(52, dstN, x, y, sw, sh, srcN, 0, 0, mode);
    return 1;
}

int32_t cmdPaint(Runtime& rt, const Args&) {
    Screen* dst = rt.screens.get(0);
    Screen* src = rt.screens.get(1);
    if (!dst || !src) return 0;
    const Config& c = rt.config;
    copy(rt, 0, *dst, c.left, c.top, c.width, c.height, *src, 0, 0, 0);
    overlayAndPresent(rt, true, true);
    return 1;
}

int32_t cmdStretchblt(Runtime& rt, const Args&) {
    overlayAndPresent(rt, true, true);
    return 1;
}

namespace {

int32_t alphaCommon(Runtime& rt, int32_t dstN, int32_t x, int32_t y, int32_t w, int32_t h, int32_t srcN,
                    int32_t maskN, int32_t sx, int32_t sy, int32_t alpha, bool whole) {
    Screen* dst = rt.screens.get(mag(dstN));
    Screen* src = rt.screens.get(mag(srcN));
    Screen* mask = rt.screens.get(mag(maskN));
    if (!dst || !src || !mask) return 0;
    if (whole) w = src->width, h = src->height;
    pixels::alphaRect(view(*dst), x, y, w, h, view(*src), sx, sy, view(*mask), alpha < 0 ? -1 : alpha);
    dst->changed = true;
    overlayAndPresent(rt, true, false);
    return 1;
}

}  // namespace

int32_t cmdAlphablt(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    int32_t dstN = 1, x, y, srcN, maskN, alpha = -1;
    if (a.givenCount() <= 4) {
        x = a[0], y = a[1], srcN = a[2], maskN = a[3];
    } else {
        dstN = a[0], x = a[1], y = a[2], srcN = a[3], maskN = a[4], alpha = a.given(5) ? a[5] : -1;
    }
    if (!alphaCommon(rt, dstN, x, y, 0, 0, srcN, maskN, 0, 0, alpha, true)) return 0;
    rt.save.log.add(55, dstN, x, y, srcN, maskN, alpha);
    return 1;
}

int32_t cmdAlphabitblt(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    const int count = a.givenCount();
    int32_t dstN = 1, x, y, w, h, srcN, maskN, sx = 0, sy = 0, alpha = -1;
    if (count == 6) {
        // The short form: x, y, src, w, h, mask onto screen 1 from the source's top-left.
        x = a[0], y = a[1], srcN = a[2], w = a[3], h = a[4], maskN = a[5];
    } else {
        if (count < 7) return 0;
        dstN = a[0], x = a[1], y = a[2], w = a[3], h = a[4], srcN = a[5], maskN = a[6];
        sx = a.given(7) ? a[7] : 0, sy = a.given(8) ? a[8] : 0, alpha = a.given(9) ? a[9] : -1;
    }
    if (!alphaCommon(rt, dstN, x, y, w, h, srcN, maskN, sx, sy, alpha, false)) return 0;
    rt.save.log.add(66, dstN, x, y, w, h, srcN, maskN, sx, sy, alpha);
    return 1;
}

int32_t cmdTransblt(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    int32_t dstN = 1, x, y, srcN, step;
    if (a.givenCount() <= 4) {
        x = a[0], y = a[1], srcN = a[2], step = a[3];
    } else {
        dstN = a[0], x = a[1], y = a[2], srcN = a[3], step = a[4];
    }
    Screen* dst = rt.screens.get(mag(dstN));
    Screen* src = rt.screens.get(mag(srcN));
    if (!dst || !src) return 0;
    const int sw = src->width, sh = src->height;
    pixels::stepToward(view(*dst), x, y, sw, sh, view(*src), x, y, step);
    dst->changed = true;
    overlayAndPresent(rt, false, dstN < 0);
    // Written in transbitblt's order, which replays to the same picture.
    rt.save.log.add(67, dstN, x, y, sw, sh, srcN, 0, 0, step);
    return 1;
}

int32_t cmdTransbitblt(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    const int32_t dstN = a[0], x = a[1], y = a[2], w = a[3], h = a[4], srcN = a[5], sx = a[6], sy = a[7],
                  step = a[8];
    Screen* dst = rt.screens.get(mag(dstN));
    Screen* src = rt.screens.get(mag(srcN));
    if (!dst || !src) return 0;
    pixels::stepToward(view(*dst), x, y, w, h, view(*src), x, y, step);
    dst->changed = true;
    overlayAndPresent(rt, true, dstN < 0);
    rt.save.log.add(67, dstN, x, y, w, h, srcN, sx, sy, step);
    return 1;
}

int32_t cmdMosaicblt(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    if (a.givenCount() < 4) return 0;
    const int32_t dstN = a[0], size = a[1], noise = a[2], srcN = a[3];
    Screen* dst = rt.screens.get(mag(dstN));
    Screen* src = rt.screens.get(mag(srcN));
    if (!dst || !src) return 0;
    pixels::Rand rnd{rt.screens.randState};
    pixels::mosaic(view(*dst), view(*src), size, noise != 0, rnd);
    rt.screens.randState = rnd.state;
    rt.save.log.add(53, dstN, size, noise);
    return 1;
}

int32_t cmdClr(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    const int32_t first = a[0];
    const int64_t end = a.given(1) ? int64_t{a[1]} + 1 : first;  // one argument clears nothing
    for (int64_t n = std::max(first, 0); n < std::min<int64_t>(end, kScreenCount); ++n)
        if (Screen* s = rt.screens.get(n)) std::fill(s->pixels.begin(), s->pixels.end(), uint8_t{0});
    if (first == 0) graphics::presentScreen(rt);
    rt.save.log.add(56, first, static_cast<int32_t>(end));
    return 1;
}

int32_t cmdFillclr(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    Screen* s = rt.screens.get(mag(a[0]));
    if (!s) return 0;
    // The colour's slots: marker, red, green, blue.
    pixels::fill(view(*s), 0, 0, s->width, s->height, byteOf(a[4]), byteOf(a[3]), byteOf(a[2]));
    s->changed = true;
    // Given the screen alone, only the screen is recorded (the short form).
    if (a.given(1))
        rt.save.log.add(58, a[0], a[1], a[2], a[3], a[4]);
    else
        rt.save.log.add(58, a[0]);
    return 1;
}

int32_t cmdMonofill(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    Screen* s = rt.screens.get(mag(a[0]));
    if (!s) return 0;
    pixels::greyTone(view(*s), a[1], a[2], a[3], a[4], byteOf(a[6]), byteOf(a[7]), byteOf(a[8]));
    s->changed = true;
    rt.save.log.add(69, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
    return 1;
}

int32_t cmdTransfill(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    Screen* s = rt.screens.get(mag(a[0]));
    if (!s) return 0;
    auto delta = [&](size_t i) { return a.given(i) ? std::clamp(a[i], -255, 255) : 0; };
    pixels::tint(view(*s), a[1], a[2], a[3], a[4], delta(6), delta(7), delta(8));
    s->changed = true;
    overlayAndPresent(rt, true, a[0] < 0);
    rt.save.log.add(68, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
    return 1;
}

}  // namespace yv
