// The picture a window shows: the rectangles of screen 0 that were presented, kept between
// presents. Both platforms keep their window's picture in one, so they show the same pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace yv {

class PresentedFrame {
public:
    // Copies rectangle r of screen 0 (top-down game coordinates, clipped to the screen). A
    // screen of another size than the last one starts the picture over: all of it is taken.
    // Returns the rectangle of the picture that changed (w or h 0 when nothing did).
    Rect take(const FrameView& screen0, Rect r);

    // Lays a picture over the window's picture with its top-left corner at (at.x, at.y), cut to
    // at.w x at.h and to the window (a movie frame drawn on the window: screen 0 is left as it
    // is, and the next present over the rectangle covers it). Returns the rectangle changed.
    Rect lay(const FrameView& picture, Rect at);

    // 24-bit bottom-up BGR, width x height (empty before the first present).
    const std::vector<uint8_t>& pixels() const { return pixels_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    std::vector<uint8_t> pixels_;
    int width_ = 0, height_ = 0;
};

// The smallest rectangle holding both (an empty one adds nothing).
Rect unite(Rect a, Rect b);

}  // namespace yv
