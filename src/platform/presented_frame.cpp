// Presented rectangles of screen 0 kept as the window's picture.
#include "platform/presented_frame.h"

#include <algorithm>
#include <cstring>

namespace yv {

Rect PresentedFrame::take(const FrameView& s, Rect r) {
    if (!s.pixels || s.width <= 0 || s.height <= 0) return {};
    const size_t size = static_cast<size_t>(s.width) * s.height * 3;
    if (width_ != s.width || height_ != s.height || pixels_.size() != size) {
        pixels_.assign(size, 0);
        width_ = s.width;
        height_ = s.height;
        r = {0, 0, s.width, s.height};
    }
    const int x0 = std::clamp(r.x, 0, s.width);
    const int x1 = std::clamp(static_cast<int>(std::min<int64_t>(int64_t{r.x} + r.w, s.width)), x0, s.width);
    const int y0 = std::clamp(r.y, 0, s.height);
    const int y1 = std::clamp(static_cast<int>(std::min<int64_t>(int64_t{r.y} + r.h, s.height)), y0, s.height);
    if (x1 <= x0 || y1 <= y0) return {};
    for (int y = y0; y < y1; ++y) {
        const size_t at = (static_cast<size_t>(s.height - 1 - y) * s.width + x0) * 3;  // bottom-up rows
        std::memcpy(pixels_.data() + at, s.pixels + at, static_cast<size_t>(x1 - x0) * 3);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect PresentedFrame::lay(const FrameView& p, Rect at) {
    if (!p.pixels || p.width <= 0 || p.height <= 0 || width_ <= 0 || height_ <= 0) return {};
    const int64_t right = int64_t{at.x} + std::min(at.w, p.width);
    const int64_t bottom = int64_t{at.y} + std::min(at.h, p.height);
    const int x0 = std::clamp(at.x, 0, width_);
    const int x1 = static_cast<int>(std::clamp<int64_t>(right, x0, width_));
    const int y0 = std::clamp(at.y, 0, height_);
    const int y1 = static_cast<int>(std::clamp<int64_t>(bottom, y0, height_));
    if (x1 <= x0 || y1 <= y0) return {};
    const size_t n = static_cast<size_t>(x1 - x0) * 3;
    for (int y = y0; y < y1; ++y) {
        // Both bottom-up: picture row (y - at.y) from its top, window row y from the top.
        const int64_t py = int64_t{y} - at.y;
        const uint8_t* src = p.pixels + (static_cast<size_t>(p.height - 1 - py) * p.width + static_cast<size_t>(x0 - int64_t{at.x})) * 3;
        std::memcpy(pixels_.data() + (static_cast<size_t>(height_ - 1 - y) * width_ + x0) * 3, src, n);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect unite(Rect a, Rect b) {
    if (a.w <= 0 || a.h <= 0) return b;
    if (b.w <= 0 || b.h <= 0) return a;
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
    return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace yv
