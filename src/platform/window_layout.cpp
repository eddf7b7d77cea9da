// Picture placement and the point mapping: plain integer arithmetic, the same at every size.
#include "platform/window_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace yv {

std::optional<ScaleFilter> parseScaleFilter(std::string_view name) {
    if (name == "sharp") return ScaleFilter::Sharp;
    if (name == "nearest") return ScaleFilter::Nearest;
    if (name == "smooth") return ScaleFilter::Smooth;
    return std::nullopt;
}

const char* scaleFilterName(ScaleFilter f) {
    switch (f) {
    case ScaleFilter::Sharp: return "sharp";
    case ScaleFilter::Nearest: return "nearest";
    case ScaleFilter::Smooth: return "smooth";
    }
    return "sharp";
}

Rect fitPicture(Rect area, int gameW, int gameH) {
    const int64_t gw = std::max(1, gameW), gh = std::max(1, gameH);
    const int64_t aw = std::max(1, area.w), ah = std::max(1, area.h);
    int64_t w = aw, h = ah;
    // Whichever side of the area is tighter sets the size; the other gets bars.
    if (aw * gh <= ah * gw)
        h = std::max<int64_t>(1, aw * gh / gw);
    else
        w = std::max<int64_t>(1, ah * gw / gh);
    return {area.x + static_cast<int>((aw - w) / 2), area.y + static_cast<int>((ah - h) / 2),
            static_cast<int>(w), static_cast<int>(h)};
}

void windowToGame(Rect pic, int gameW, int gameH, int wx, int wy, int& gx, int& gy) {
    const int64_t pw = std::max(1, pic.w), ph = std::max(1, pic.h);
    // The game pixel under the window pixel's middle (floor division: points left of or above
    // the picture clamp to 0 and do not round up into it).
    auto floorDiv = [](int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    gx = static_cast<int>(std::clamp<int64_t>(floorDiv((2 * (int64_t{wx} - pic.x) + 1) * gameW, 2 * pw),
                                              0, std::max(0, gameW - 1)));
    gy = static_cast<int>(std::clamp<int64_t>(floorDiv((2 * (int64_t{wy} - pic.y) + 1) * gameH, 2 * ph),
                                              0, std::max(0, gameH - 1)));
}

void gameToWindow(Rect pic, int gameW, int gameH, int gx, int gy, int& wx, int& wy) {
    const int64_t gw = std::max(1, gameW), gh = std::max(1, gameH);
    wx = pic.x + static_cast<int>((2 * int64_t{gx} + 1) * pic.w / (2 * gw));
    wy = pic.y + static_cast<int>((2 * int64_t{gy} + 1) * pic.h / (2 * gh));
}

int sharpPrescale(Rect pic, int gameW, int gameH) {
    return std::max(1, std::min(pic.w / std::max(1, gameW), pic.h / std::max(1, gameH)));
}

bool wholeScale(Rect pic, int gameW, int gameH) {
    const int k = sharpPrescale(pic, gameW, gameH);
    return pic.w == gameW * k && pic.h == gameH * k;
}

static float uiScaleAt(double factor) {
    return static_cast<float>(std::clamp(std::floor(factor * 2) / 2, 1.0, 3.0));
}

int fitWindowScale(int requested, int gameW, int gameH, int barH, int usableW, int usableH,
                   int frameW, int frameH) {
    const int gw = std::max(1, gameW), gh = std::max(1, gameH);
    auto fits = [&](int s) {
        const int bar = static_cast<int>(static_cast<float>(barH) * uiScaleAt(s));
        return int64_t{gw} * s + frameW <= usableW && int64_t{gh} * s + bar + frameH <= usableH;
    };
    // Chosen for the player: the largest whole factor that leaves the desktop some room.
    if (requested <= 0) {
        int s = 1;
        while (s < 16 && int64_t{gw} * (s + 1) <= usableW * 9 / 10 &&
               int64_t{gh} * (s + 1) + barH * uiScaleAt(s + 1) + 40 <= usableH * 9 / 10)
            ++s;
        return s;
    }
    int s = requested;
    while (s > 1 && !fits(s)) --s;
    return s;
}

float uiScaleFor(Rect pic, int gameW, int gameH) {
    const double f = std::min(static_cast<double>(pic.w) / std::max(1, gameW),
                              static_cast<double>(pic.h) / std::max(1, gameH));
    return uiScaleAt(f);
}

}  // namespace yv
