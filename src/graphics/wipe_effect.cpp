// Wipes (pushes, blinds, shakes) and the falling-particle effect, both drawn on screen 0.
#include <algorithm>
#include <cstdlib>

#include "graphics/blit_commands.h"
#include "graphics/present.h"
#include "graphics/screens.h"
#include "pixels/pixel_ops.h"
#include "runtime.h"

namespace yv::graphics {
namespace {

void black(Screen& s, int x, int y, int w, int h) { pixels::fadeDown(view(s), x, y, w, h, 255); }

// Moves the whole picture by (dx, dy); what is uncovered turns black.
void shift(Screen& s, int dx, int dy) {
    const Screen old = s;
    black(s, 0, 0, s.width, s.height);
    pixels::copyRect(view(s), dx, dy, s.width, s.height, view(old), 0, 0, 0, 0);
}

// The new picture's part at (sx, sy) to (x, y) of screen 0, or black without a new picture.
void reveal(Runtime& rt, Screen& s0, int x, int y, int w, int h, int sx, int sy) {
    const WipeRun& wr = rt.screens.wipe;
    Screen* pic = wr.screen > 0 ? rt.screens.get(wr.screen) : nullptr;
    black(s0, x, y, w, h);
    if (pic) pixels::copyRect(view(s0), x, y, w, h, view(*pic), sx, sy, 0, 0);
}

void shake(Runtime& rt, Screen& s0, const WipeRun& wr) {
    const int frames = 4 * std::min(std::abs(wr.step), 1000) + 1;
    int amp = std::max(1, std::abs(wr.screen));
    bool vertical = false;
    Screen* back = rt.screens.get(1);
    for (int f = 0; f < frames; ++f) {
        if (f > 0 && f % 5 == 0) amp = std::max(1, amp / 2);
        if (wr.type == 7 && (f == 4 || f == 8 || f == 12 || f == 16 || f == 24 || f == 32)) vertical = !vertical;
        if (back && back != &s0) pixels::copyRect(view(s0), 0, 0, s0.width, s0.height, view(*back), 0, 0, 0, 0);
        if (f % 2 == 0) {
            const int off = (f / 2) % 2 ? -amp : amp;
            shift(s0, vertical ? 0 : off, vertical ? off : 0);
        }
        overlayAndPresent(rt, true, true);
        // A close ends the shake at once; the picture is left as it stands.
        if (wr.extent > 0 && !rt.sleep(wr.extent)) return;
        if (rt.closing()) return;
    }
    if (back && back != &s0) pixels::copyRect(view(s0), 0, 0, s0.width, s0.height, view(*back), 0, 0, 0, 0);
}

}  // namespace

bool advanceWipe(Runtime& rt) {
    WipeRun& wr = rt.screens.wipe;
    Screen* s0p = rt.screens.get(0);
    if (!s0p) return true;
    Screen& s0 = *s0p;
    const int W = s0.width, H = s0.height;
    const int a = wr.step, m = std::min(std::abs(a), 1 << 20);
    int64_t n = 0;  // the distance covered after this increment
    bool finished = false;
    if (a == 0 && wr.type >= 1 && wr.type <= 6) {
        finished = true;  // a wipe that never moves ends at once
    } else {
        const int covered = static_cast<int>(std::min<int64_t>(int64_t{wr.k} * m, 1 << 20));
        const int wk = std::min(covered, W), hk = std::min(covered, H);
        switch (wr.type) {
        case 1:
            shift(s0, a > 0 ? m : -m, 0);
            if (a > 0) reveal(rt, s0, 0, 0, wk, H, W - wk, 0);
            else reveal(rt, s0, W - wk, 0, wk, H, 0, 0);
            n = int64_t{m} * (wr.k + 1);
            break;
        case 2:
            shift(s0, 0, a > 0 ? m : -m);
            if (a > 0) reveal(rt, s0, 0, 0, W, hk, 0, H - hk);
            else reveal(rt, s0, 0, H - hk, W, hk, 0, 0);
            n = int64_t{m} * (wr.k + 1);
            break;
        case 3:
            shift(s0, a > 0 ? m : -m, a > 0 ? m : -m);
            if (a > 0) reveal(rt, s0, 0, 0, wk, hk, W - wk, H - hk);
            else reveal(rt, s0, W - wk, H - hk, wk, hk, 0, 0);
            n = int64_t{m} * (wr.k + 1);
            break;
        case 4:
            shift(s0, a > 0 ? m : -m, a > 0 ? -m : m);
            n = int64_t{m} * (wr.k + 1);
            break;
        case 5:
        case 6: {
            const int span = wr.type == 5 ? W : H;
            const int bands = span / m;
            const int off = wr.k - 1;
            if (bands == 0) {
                finished = true;
                break;
            }
            if (off < m)
                for (int b = 0; b < bands; ++b) {
                    const int at = b * m + (a > 0 ? off : m - 1 - off);
                    if (wr.type == 5) reveal(rt, s0, at, 0, 1, H, at, 0);
                    else reveal(rt, s0, 0, at, W, 1, 0, at);
                }
            n = int64_t{bands} * wr.k;
            break;
        }
        case 7:
        case 8:
            shake(rt, s0, wr);
            finished = true;
            break;
        default:
            finished = true;
            break;
        }
        if (!finished) finished = n > wr.extent;
    }
    overlayAndPresent(rt, true, true);
    ++wr.k;
    if (finished) wr.k = 1;
    return finished;
}

void drawEffectFrame(Runtime& rt) {
    Screens& s = rt.screens;
    Screen* s0 = s.get(0);
    if (!s0) return;
    pixels::Rand rnd{s.randState};
    if (!s.particlesReady) {
        s.saveUnder = *s0;
        rnd.seed(rt.clock().nowMs());
        const int W = std::max(s0->width, 1), H = std::max(s0->height, 1);
        for (Particle& p : s.particles) {
            p.x = (rnd.next() + 1) % W;
            p.y = (rnd.next() + 1) % H;
            p.dx = (rnd.next() & 1) + 1;
            p.dy = ((rnd.next() + 1) & 3) + 1;
            p.frame = rnd.next() & 112;
            p.counter = (rnd.next() + 1) % 100;
        }
        s.particlesReady = true;
    }
    // The bounds are those of a 640 x 480 screen whatever the configured size.
    for (Particle& p : s.particles) {
        p.x -= p.dx;
        p.y += p.dy;
        if (p.x < 1) p.x = 640;
        if (p.y + 16 > 479) p.y = 0;
        if (p.counter < (rnd.next() & 1) + 1) {
            ++p.counter;
        } else {
            if (++p.frame > 7) p.frame = 0;
            p.counter = 0;
        }
        pixels::maskedBlit(view(*s0), p.x, p.y, 16, 16, view(s.systemPicture), 0, 16 * p.frame, view(s.systemPicture), 16,
                           16 * p.frame);
    }
    s.randState = rnd.state;
    presentScreen(rt);
    pixels::copyRect(view(*s0), 0, 0, 640, 480, view(s.saveUnder), 0, 0, 0, 0);
}

}  // namespace yv::graphics
