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
                   int frameW, int frameH, int desktopScale) {
    const int gw = std::max(1, gameW), gh = std::max(1, gameH);
    const float desk = static_cast<float>(std::max(1, desktopScale));
    auto barAt = [&](int s) { return static_cast<float>(barH) * std::max(desk, uiScaleAt(s)); };
    auto fits = [&](int s) {
        const int bar = static_cast<int>(barAt(s));
        return int64_t{gw} * s + frameW <= usableW && int64_t{gh} * s + bar + frameH <= usableH;
    };
    auto lowered = [&](int s) {
        while (s > 1 && !fits(s)) --s;
        return s;
    };
    // Chosen for the player: the largest whole factor that leaves the desktop some room, and on
    // a scaled desktop at least its scale where that fits (the picture as large as the desktop
    // draws everything else).
    if (requested <= 0) {
        int s = 1;
        while (s < 16 && int64_t{gw} * (s + 1) <= usableW * 9 / 10 &&
               int64_t{gh} * (s + 1) + barAt(s + 1) + 40 <= usableH * 9 / 10)
            ++s;
        return std::max(s, lowered(std::min(16, std::max(1, desktopScale))));
    }
    return lowered(requested);
}

ToolSpot placeToolWindow(Rect desk, Rect game, int w, int h, const std::vector<Rect>& others, bool preferRight) {
    constexpr int kGap = 8;
    auto inside = [&](const Rect& r) {
        return r.x >= desk.x && r.y >= desk.y && int64_t{r.x} + r.w <= int64_t{desk.x} + desk.w &&
               int64_t{r.y} + r.h <= int64_t{desk.y} + desk.h;
    };
    auto overlap = [](const Rect& a, const Rect& b) {
        return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
    };
    // Beside a window, level with it as far as the desktop lets.
    auto levelY = [&](int y) { return std::clamp(y, desk.y, std::max(desk.y, desk.y + desk.h - h)); };
    auto levelX = [&](int x) { return std::clamp(x, desk.x, std::max(desk.x, desk.x + desk.w - w)); };
    auto spotsBeside = [&](const Rect& g) {
        const Rect right{g.x + g.w + kGap, levelY(g.y), w, h}, left{g.x - w - kGap, levelY(g.y), w, h};
        std::vector<Rect> spots = preferRight ? std::vector<Rect>{right, left} : std::vector<Rect>{left, right};
        for (const Rect& o : others) {
            spots.push_back({o.x + o.w + kGap, levelY(o.y), w, h});
            spots.push_back({o.x - w - kGap, levelY(o.y), w, h});
        }
        spots.push_back({levelX(g.x), g.y + g.h + kGap, w, h});
        spots.push_back({levelX(g.x), g.y - h - kGap, w, h});
        // Beside the game at the desktop's top and bottom edges.
        for (const int y : {desk.y, desk.y + desk.h - h}) {
            spots.push_back({right.x, y, w, h});
            spots.push_back({left.x, y, w, h});
        }
        return spots;
    };
    auto overlapArea = [&](const Rect& r) {
        int64_t area = 0;
        for (const Rect& o : others) {
            const int64_t ow = std::min(r.x + r.w, o.x + o.w) - std::max(r.x, o.x);
            const int64_t oh = std::min(r.y + r.h, o.y + o.h) - std::max(r.y, o.y);
            if (ow > 0 && oh > 0) area += ow * oh;
        }
        return area;
    };
    // The first place clear of everything, else the one beside the game that covers the other
    // tool windows least.
    std::optional<Rect> best;
    int64_t bestArea = 0;
    for (const Rect& r : spotsBeside(game)) {
        if (!inside(r) || overlap(r, game)) continue;
        const int64_t area = overlapArea(r);
        if (area == 0) return {true, r.x, r.y, false, 0, 0};
        if (!best || area < bestArea) best = r, bestArea = area;
    }
    if (best) return {true, best->x, best->y, false, 0, 0};
    // No room where the game stands: it moves to one edge of the desktop, the tool beside it.
    if (int64_t{game.w} + kGap + w <= desk.w && game.h <= desk.h && h <= desk.h) {
        const int gx = preferRight ? desk.x : desk.x + desk.w - game.w;
        const int gy = std::clamp(game.y, desk.y, desk.y + desk.h - game.h);
        const int x = preferRight ? gx + game.w + kGap : gx - w - kGap;
        return {true, x, levelY(gy), true, gx, gy};
    }
    if (int64_t{game.h} + kGap + h <= desk.h && game.w <= desk.w && w <= desk.w) {
        const int gx = std::clamp(game.x, desk.x, desk.x + desk.w - game.w);
        return {true, levelX(gx), desk.y + game.h + kGap, true, gx, desk.y};
    }
    return {};
}

float uiScaleFor(Rect pic, int gameW, int gameH, int desktopScale) {
    const double f = std::min(static_cast<double>(pic.w) / std::max(1, gameW),
                              static_cast<double>(pic.h) / std::max(1, gameH));
    return std::max(static_cast<float>(std::max(1, desktopScale)), uiScaleAt(f));
}

}  // namespace yv
