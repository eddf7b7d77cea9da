// The one rectangle clip of every pixel loop.
#include <algorithm>

#include "pixels/view.h"

namespace yv::pixels {

Span clip(int64_t w, int64_t h, std::initializer_list<Place> places) {
    int64_t i0 = 0, j0 = 0, i1 = w, j1 = h;
    for (const Place& p : places) {
        i0 = std::max(i0, -p.x), j0 = std::max(j0, -p.y);
        i1 = std::min(i1, p.width - p.x), j1 = std::min(j1, p.height - p.y);
    }
    if (i1 <= i0 || j1 <= j0) return Span{};
    return Span{static_cast<int>(i0), static_cast<int>(j0), static_cast<int>(i1 - i0), static_cast<int>(j1 - j0)};
}

}  // namespace yv::pixels
