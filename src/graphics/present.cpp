// Screen creation, overlay composition and presentation.
#include "graphics/present.h"

#include <algorithm>

#include "pixels/pixel_ops.h"
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
    pixels::compose(view(s.table[0]), view(s.overlayMask), view(s.overlayImage), rt.config.left, rt.config.top,
                    rt.config.width, rt.config.height);
}

void presentRect(Runtime& rt, Rect r) {
    const Screen& s0 = rt.screens.table[0];
    if (!s0.exists()) return;
    ++rt.screens.presents;
    rt.platform.present(FrameView{s0.pixels.data(), s0.width, s0.height}, r);
}

void presentScreen(Runtime& rt) {
    presentRect(rt, Rect{rt.config.left, rt.config.top, rt.config.width, rt.config.height});
}

}  // namespace yv::graphics
