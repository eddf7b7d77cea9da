// The system picture: the game's ABOUTBMP, or our own built-in picture drawn here at start-up.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "graphics/image_decode.h"
#include "graphics/present.h"
#include "runtime.h"

namespace yv::graphics {
namespace {

void put(Screen& s, int x, int y, uint8_t b, uint8_t g, uint8_t r) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return;
    uint8_t* p = s.row(y) + static_cast<size_t>(x) * 3;
    p[0] = b, p[1] = g, p[2] = r;
}

// A pixel of a sprite: its colour in the picture, black in the mask beside it.
void dot(Screen& s, int x, int y, int maskDx, uint8_t b, uint8_t g, uint8_t r) {
    put(s, x, y, b, g, r);
    put(s, x + maskDx, y, 0, 0, 0);
}

// A four-pointed sparkle whose arms grow and shrink over the eight frames.
void drawSparkle(Screen& s, int frame) {
    const int top = 16 * frame;
    const int arm = 2 + (frame < 4 ? frame : 7 - frame);
    for (int dy = -7; dy <= 7; ++dy)
        for (int dx = -7; dx <= 7; ++dx) {
            const int ax = std::abs(dx), ay = std::abs(dy);
            const bool core = ax + ay <= 1;
            const bool halo = ax + ay == 2 && ax == 1;
            const bool ray = (dx == 0 && ay <= arm) || (dy == 0 && ax <= arm);
            if (core)
                dot(s, 8 + dx, top + 8 + dy, 16, 255, 255, 255);
            else if (halo)
                dot(s, 8 + dx, top + 8 + dy, 16, 250, 220, 200);
            else if (ray)
                dot(s, 8 + dx, top + 8 + dy, 16, 255, 235 - 12 * std::max(ax, ay), 190);
        }
}

// A downward arrowhead with a dark rim that bobs by two pixels a frame.
void drawWaitIcon(Screen& s, int frame) {
    const int top = 32 * frame + 7 + 2 * frame;
    for (int r = 0; r < 15; ++r) {
        const int half = 14 - r;
        for (int x = 16 - half; x <= 16 + half; ++x) {
            const bool rim = r == 0 || x == 16 - half || x == 16 + half || r == 14;
            if (rim)
                dot(s, 64 + x, top + r, 32, 40, 30, 20);
            else
                dot(s, 64 + x, top + r, 32, 90 + 6 * r, 200 + 3 * r, 255);
        }
    }
}

}  // namespace

void drawBuiltInSystemPicture(Screen& pic) {
    pic.release();
    pic.allocate(128, 128);
    // Masks are white except under the sprites.
    for (int y = 0; y < 128; ++y) {
        std::memset(pic.row(y) + 16 * 3, 255, 16 * 3);
        std::memset(pic.row(y) + 96 * 3, 255, 32 * 3);
    }
    for (int f = 0; f < 8; ++f) drawSparkle(pic, f);
    for (int f = 0; f < 4; ++f) drawWaitIcon(pic, f);
}

void loadSystemPicture(Runtime& rt) {
    Screen& pic = rt.screens.systemPicture;
    if (!rt.config.aboutBmp.empty())
        if (auto data = rt.resources.read(rt.config.aboutBmp)) {
            DecodedImage img;
            if (decodeBmp(*data, img)) {
                pic.release();
                pic.allocate(img.width, img.height);
                for (int y = 0; y < img.height; ++y)
                    std::memcpy(pic.row(y), img.row(y), static_cast<size_t>(img.width) * 3);
                return;
            }
        }
    drawBuiltInSystemPicture(pic);
}

}  // namespace yv::graphics
