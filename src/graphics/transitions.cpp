// Transitions: the commands record their parameters; the interpreter step advances each running
// one by one increment and presents the part of screen 0 it changed.
#include "graphics/transitions.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/blit_commands.h"
#include "graphics/present.h"
#include "graphics/screens.h"
#include "pixels/pixel_ops.h"
#include "runtime.h"
#include "lang/args.h"

namespace yv {
namespace {

int64_t mag(int32_t n) { return std::abs(int64_t{n}); }

bool clicked(Runtime& rt, int32_t mode) {
    return (mode == 1 && rt.interp.leftClick != 0) || (mode == 2 && rt.interp.rightClick != 0);
}

// The argument forms shared by fade and transfade; false when a screen is missing.
bool readFade(Runtime& rt, const IntList& a, FadeRun& f, bool keepSign) {
    const int count = a.givenCount();
    const Config& c = rt.config;
    f = FadeRun{};
    f.dst = a[0], f.step = a[1], f.limit = a[2];
    f.x = c.left, f.y = c.top, f.w = c.width, f.h = c.height;
    if (count == 7) {
        f.x = a[3], f.y = a[4], f.w = a[5], f.h = a[6];
    } else if (count >= 8) {
        f.click = a[3], f.x = a[4], f.y = a[5], f.w = a[6], f.h = a[7];
        if (count >= 9) f.src = a[8];
    } else if (count >= 4) {
        f.click = a[3];
    }
    if (!rt.screens.get(mag(f.dst)) || !rt.screens.get(mag(f.src))) return false;
    if (rt.app.noWait) f.step = keepSign && f.step < 0 ? -std::abs(f.limit) : std::abs(f.limit);
    return true;
}

void logFade(Runtime& rt, int32_t id, const FadeRun& f) {
    rt.save.log.add(id, f.dst, f.step < 0 ? -f.limit : f.limit, f.x, f.y, f.w, f.h, f.src);
}

bool finishedAfter(FadeRun& f, bool cut) {
    ++f.k;
    if (cut || int64_t{f.k} * std::abs(int64_t{f.step}) >= f.limit) {
        f.k = 0;
        return true;
    }
    return false;
}

}  // namespace

int32_t cmdFade(Runtime& rt, const Args& args) {
    FadeRun f;
    if (!readFade(rt, args.ints, f, true)) return 0;
    rt.screens.fade = f;
    rt.screens.fadeOn = true;
    logFade(rt, 54, f);
    return 1;
}

int32_t cmdTransfade(Runtime& rt, const Args& args) {
    FadeRun f;
    if (!readFade(rt, args.ints, f, false)) return 0;
    rt.screens.transfade = f;
    rt.screens.transfadeOn = true;
    logFade(rt, 65, f);
    return 1;
}

int32_t cmdMosaicfade(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    auto num = [&](size_t i, int32_t dflt) { return a.given(i) ? a[i] : dflt; };
    MosaicFadeRun m;
    m.dst = num(0, 0), m.maximum = num(1, 0), m.click = num(2, 0), m.start = num(3, 0), m.noise = num(4, 0);
    m.src = num(5, 1), m.mode = num(7, 0), m.fadeStep = num(8, 0), m.fadeLimit = num(9, 0), m.fadeClick = num(10, 0);
    if (!rt.screens.get(mag(m.dst)) || !rt.screens.get(mag(m.src))) return 0;
    rt.screens.mosaicfade = m;
    rt.screens.mosaicfadeOn = true;
    const Config& c = rt.config;
    rt.save.log.add(52, m.dst, c.left, c.top, c.width, c.height, m.src, c.left, c.top, num(6, 0));
    return 1;
}

int32_t cmdWipe(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    WipeRun w;
    if (a.givenCount() <= 3) {
        w.screen = -1, w.step = a[0], w.extent = a[1], w.type = a[2];
    } else {
        w.screen = a[0], w.step = a[1], w.extent = a[2], w.type = a[3];
    }
    // The shakes take the first number as their amplitude; the others a picture or black.
    if (w.type != 7 && w.type != 8) {
        if (w.screen == 0) w.screen = -1;
        if (w.screen > 0 && !rt.screens.get(w.screen)) return 0;
    }
    rt.screens.wipe = w;
    rt.screens.wipeOn = true;
    rt.save.log.add(83, a.given(3) ? a[0] : -1, w.step, w.extent, w.type);
    return 1;
}

int32_t cmdEffect(Runtime& rt, const Args&) {
    rt.screens.effectOn = true;
    return 1;
}

namespace graphics {

bool advanceFade(Runtime& rt) {
    FadeRun& f = rt.screens.fade;
    const bool cut = clicked(rt, f.click);
    Screen* d = rt.screens.get(mag(f.dst));
    Screen* src = rt.screens.get(mag(f.src));
    if (!d || !src) return true;
    if (f.step < 0)
        pixels::fadeDown(view(*d), f.x, f.y, f.w, f.h, cut ? f.limit : -int64_t{f.step} > 255 ? 255 : -f.step);
    else if (f.step > 0)
        pixels::fadeUp(view(*d), f.x, f.y, f.w, f.h, view(*src), cut ? f.limit : std::min(f.step, 255));
    d->changed = true;
    if (f.dst < 0) copyToScreen0(rt, static_cast<int>(mag(f.dst)), Rect{f.x, f.y, f.w, f.h});
    presentRect(rt, Rect{f.x, f.y, f.w, f.h});
    if (f.step == 0) {  // a fade that cannot move ends at once
        f.k = 0;
        return true;
    }
    return finishedAfter(f, cut);
}

bool advanceTransfade(Runtime& rt) {
    FadeRun& f = rt.screens.transfade;
    const bool cut = clicked(rt, f.click);
    Screen* d = rt.screens.get(mag(f.dst));
    Screen* src = rt.screens.get(mag(f.src));
    if (!d || !src) return true;
    pixels::stepToward(view(*d), f.x, f.y, f.w, f.h, view(*src), f.x, f.y, cut ? f.limit : std::abs(f.step));
    d->changed = true;
    if (f.dst < 0) copyToScreen0(rt, static_cast<int>(mag(f.dst)), Rect{f.x, f.y, f.w, f.h});
    if (rt.text.textBuffer) layOverlay(rt);
    presentRect(rt, Rect{f.x, f.y, f.w, f.h});
    if (f.step == 0) {
        f.k = 0;
        return true;
    }
    return finishedAfter(f, cut);
}

bool advanceMosaicfade(Runtime& rt) {
    MosaicFadeRun& m = rt.screens.mosaicfade;
    Screen* d = rt.screens.get(mag(m.dst));
    Screen* src = rt.screens.get(mag(m.src));
    if (!d || !src) return true;
    bool finished = false;
    pixels::Rand rnd{rt.screens.randState};
    if (!m.goingDown) {
        pixels::mosaic(view(*d), view(*src), m.start + m.c, m.noise != 0, rnd);
        ++m.c;
        if (m.start + m.c >= m.maximum) m.goingDown = true;
    } else if (m.mode == 1) {
        // The way down is a fade to black of the mosaic, run as a transition of its own.
        FadeRun f;
        f.dst = -static_cast<int32_t>(mag(m.dst));
        f.step = -std::abs(m.fadeStep);
        f.limit = m.fadeLimit;
        f.click = m.fadeClick;
        f.x = rt.config.left, f.y = rt.config.top, f.w = rt.config.width, f.h = rt.config.height;
        if (rt.app.noWait) f.step = -std::abs(f.limit);
        rt.screens.fade = f;
        rt.screens.fadeOn = true;
        finished = true;
    } else {
        pixels::mosaic(view(*d), view(*src), m.start + m.c, m.noise != 0, rnd);
        --m.c;
        finished = m.start + m.c < 1;
    }
    rt.screens.randState = rnd.state;
    d->changed = true;
    if (m.dst < 0)
        copyToScreen0(rt, static_cast<int>(mag(m.dst)), Rect{rt.config.left, rt.config.top, rt.config.width, rt.config.height});
    presentScreen(rt);
    if (finished) {
        m.c = 1;
        m.goingDown = false;
    }
    return finished;
}

}  // namespace graphics
}  // namespace yv
