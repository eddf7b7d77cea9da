// loadimage, createimage, releaseimage and the image loader that places decoded pictures.
#include "graphics/image_commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/cp932.h"
#include "graphics/image_decode.h"
#include "graphics/present.h"
#include "runtime.h"
#include "lang/args.h"

namespace yv {
namespace {

// Copies the picture's part (x0..x1, y0..y1) to the same coordinates of the screen, clipped.
void place(Screen& s, const DecodedImage& img, int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min({x1, img.width, s.width}), y1 = std::min({y1, img.height, s.height});
    if (x1 <= x0) return;
    for (int y = y0; y < y1; ++y)
        std::memcpy(s.row(y) + static_cast<size_t>(x0) * 3, img.row(y) + static_cast<size_t>(x0) * 3,
                    static_cast<size_t>(x1 - x0) * 3);
}

void sayOverBudget(int64_t n, int64_t w, int64_t h) {
    std::fprintf(stderr, "yorvane: screen %lld: %lld x %lld is beyond the memory kept for pictures; not made\n",
                 static_cast<long long>(n), static_cast<long long>(w), static_cast<long long>(h));
}

bool placeWhole(Runtime& rt, int32_t n, const DecodedImage& img) {
    if (n != 0 && !rt.screens.fitsBudget(n, img.width, img.height)) {
        sayOverBudget(n, img.width, img.height);
        return false;
    }
    Screen& s = rt.screens.table[static_cast<size_t>(n)];
    // Screen 0 keeps its size: a picture of another size goes to its top-left corner, clipped.
    if (n != 0) s.allocate(img.width, img.height);
    place(s, img, 0, 0, img.width, img.height);
    s.changed = true;
    return true;
}

void placeMask(Runtime& rt, int32_t mask, const DecodedImage& img) {
    if (mask <= 0 || mask >= kScreenCount) return;
    Screen& m = rt.screens.table[static_cast<size_t>(mask)];
    if (!m.exists()) {
        if (mask >= 2 && !rt.screens.fitsBudget(mask, img.width, img.height)) return sayOverBudget(mask, img.width, img.height);
        m.allocate(img.width, img.height);
    }
    if (img.alpha.empty()) return;
    const int w = std::min(img.width, m.width), h = std::min(img.height, m.height);
    for (int y = 0; y < h; ++y) {
        const uint8_t* a = img.alpha.data() + static_cast<size_t>(y) * img.width;
        uint8_t* d = m.row(y);
        for (int x = 0; x < w; ++x) d[x * 3] = d[x * 3 + 1] = d[x * 3 + 2] = a[x];
    }
    m.changed = true;
}

int32_t loadBmp(Runtime& rt, BytesView data, int32_t n) {
    DecodedImage img;
    if (!decodeBmp(data, img)) {
        rt.messageBox("fnBitmapLoad Error", "", MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    if (!img.palette) return placeWhole(rt, n, img) ? 1 : 0;
    // Palette pictures make a screen of the screen size, black, with the picture's part
    // (Left, Top, W, H) at the same place.
    Screen& s = rt.screens.table[static_cast<size_t>(n)];
    const Config& c = rt.config;
    if (n != 0 && !rt.screens.fitsBudget(n, c.width, c.height)) {
        sayOverBudget(n, c.width, c.height);
        return 0;
    }
    if (n != 0)
        s.allocate(c.width, c.height);
    else
        std::fill(s.pixels.begin(), s.pixels.end(), uint8_t{0});
    // In 64 bits: Left and Top come from the game's configuration and may be anything.
    auto clampInt = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -(int64_t{1} << 30), int64_t{1} << 30)); };
    place(s, img, clampInt(c.left), clampInt(c.top), clampInt(int64_t{c.left} + c.width),
          clampInt(int64_t{c.top} + c.height));
    return 1;
}

}  // namespace

int32_t loadImageFile(Runtime& rt, BytesView name, int32_t n, int32_t mask) {
    if (n < 0 || n >= kScreenCount) return 0;
    auto data = rt.resources.read(name);
    if (!data || data->empty()) return 0;
    if (data->size() >= 2 && (*data)[0] == 'B' && (*data)[1] == 'M') return loadBmp(rt, *data, n);
    // Anything else is taken for a PNG; whatever the decoder says, the load counts as done.
    CPngView png(rt.verbose ? stderr : nullptr);
    DecodedImage img;
    if (png.decode(*data, img) == kPngDecoded) {
        if (!placeWhole(rt, n, img)) return 0;
        placeMask(rt, mask, img);
    }
    return 1;
}

int32_t cmdLoadimage(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    const StringList& s = args.strings;
    const int32_t n = a[0];
    if (n < 0 || n >= kScreenCount) return 0;
    const Bytes name = s.given(0) ? s[0] : Bytes{};
    const int32_t maskArg = a[1];
    const int32_t mask = maskArg == kEndMarker ? -1 : maskArg;
    Screen& scr = rt.screens.table[static_cast<size_t>(n)];
    scr.fileName = name;
    scr.mask = maskArg;
    const int32_t result = loadImageFile(rt, name, n, mask);
    if (n == 0 && rt.text.textBuffer) graphics::layOverlay(rt);
    rt.screens.loaded[static_cast<size_t>(n)] = {name, mask};
    if (result != 0) {
        rt.screens.table[static_cast<size_t>(n)].changed = true;
        rt.save.log.add(51, n, mask, name);
    }
    return result;
}

int32_t cmdCreateimage(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    const int count = a.givenCount();
    int32_t first = a[0], last = a[0], w = rt.config.width, h = rt.config.height;
    if (count == 2) {
        last = a[1];  // a range at the screen size
    } else if (count == 3) {
        w = a[1], h = a[2];
    } else if (count >= 4) {
        last = a[1], w = a[2], h = a[3];
        if (last == 0) last = first, w = rt.config.width, h = rt.config.height;
    }
    // A size the machine could not hold is cut down rather than attempted.
    // A size of 0 (or below) makes a screen without pixels, as asked.
    const int cw = std::clamp(w, 0, kMaxImageSide);
    const int ch = static_cast<int>(
        std::clamp<int64_t>(h, 0, std::min<int64_t>(kMaxImageSide, kMaxImagePixels / std::max(cw, 1))));
    for (int64_t n = std::max(first, 2); n <= std::min(last, kScreenCount - 1); ++n) {
        Screen& s = rt.screens.table[static_cast<size_t>(n)];
        if (!rt.screens.fitsBudget(n, cw, ch)) {
            // As a failed allocation: the screens made so far stay, the rest are not made.
            sayOverBudget(n, cw, ch);
            return 0;
        }
        s.release();
        s.allocate(cw, ch);
        s.created = true;
        s.createdWidth = w;
        s.createdHeight = h;
        s.mask = 0;
    }
    rt.save.log.add(57, first, last, w, h);
    return 1;
}

int32_t cmdReleaseimage(Runtime& rt, const Args& args) {
    const IntList& a = args.ints;
    const int32_t n = args.bare || !a.given(0) ? 2 : a[0];
    if (n >= 2 && n < kScreenCount) {
        Screen& s = rt.screens.table[static_cast<size_t>(n)];
        const bool changed = s.changed;
        s.release();
        s.changed = changed;
    }
    rt.save.log.add(59, n);
    return 1;
}

}  // namespace yv
