// Screen creation, overlay composition and presentation.
#include "graphics/present.h"

#include <algorithm>

#include "runtime.h"

namespace yv::graphics {

void createScreens(Runtime& rt) {
    const int w = std::max(rt.config.width, 1), h = std::max(rt.config.height, 1);
    Screens& s = rt.screens;
    s.table[0].allocate(w, h);
    s.table[1].allocate(w, h);
    s.saveUnder.allocate(w, h);
    s.overlayImage.allocate(w, h);
    s.overlayMask.allocate(w, h);
    std::fill(s.overlayMask.pixels.begin(), s.overlayMask.pixels.end(), uint8_t{255});
    s.randState = rt.clock().nowMs();
    loadSystemPicture(rt);
}

void layOverlay(Runtime& rt) {
    Screens& s = rt.screens;
    Screen& dst = s.table[0];
    if (!dst.exists() || !s.overlayImage.exists() || !s.overlayMask.exists()) return;
    const int x0 = std::clamp(rt.config.left, 0, dst.width);
    const int y0 = std::clamp(rt.config.top, 0, dst.height);
    const int x1 = std::min({rt.config.left + rt.config.width, dst.width, s.overlayImage.width});
    const int y1 = std::min({rt.config.top + rt.config.height, dst.height, s.overlayImage.height});
    for (int y = y0; y < y1; ++y) {
        uint8_t* d = dst.row(y);
        const uint8_t* m = s.overlayMask.row(y);
        const uint8_t* im = s.overlayImage.row(y);
        for (int x = x0 * 3; x < x1 * 3; ++x) d[x] = static_cast<uint8_t>((d[x] & m[x]) | im[x]);
    }
}

void presentRect(Runtime& rt, Rect r) {
    const Screen& s0 = rt.screens.table[0];
    if (!s0.exists()) return;
    rt.platform.present(FrameView{s0.pixels.data(), s0.width, s0.height}, r);
}

void presentScreen(Runtime& rt) {
    presentRect(rt, Rect{rt.config.left, rt.config.top, rt.config.width, rt.config.height});
}

}  // namespace yv::graphics
