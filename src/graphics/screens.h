// The virtual screens: 258 numbered 24-bit pictures, the text overlay, the save-under copy and
// the system picture; and the transitions the interpreter step advances.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/bytes.h"
#include "core/in_progress.h"
#include "core/zero_pages.h"
#include "pixels/view.h"

namespace yv {

struct Runtime;

// A 24-bit picture: bytes blue, green, red; rows of exactly width*3 bytes (no padding), stored
// bottom-up. Script coordinates are top-down: row y of the script is buffer row height-1-y.
struct Screen {
    int width = 0;
    int height = 0;
    PixelBytes pixels;  // empty: the screen does not exist
    bool changed = false;
    Bytes fileName;               // file it was loaded from (empty if none)
    int32_t mask = 0;             // mask screen number given to loadimage
    bool created = false;         // made by createimage
    int createdWidth = 0, createdHeight = 0;
    // Made (loaded or created), even at a size of 0: createimage(2, 3, 0, 0) makes screens that
    // exist and hold no pixel.
    bool made = false;

    bool exists() const { return made; }
    void allocate(int w, int h) {
        made = true;
        width = w > 0 ? w : 0;
        height = h > 0 ? h : 0;
        // A fresh buffer rather than assign(): a reused one would have to be cleared byte by byte.
        pixels = decltype(pixels)(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    }
    void release() {
        *this = Screen{};
    }
    // Pointer to the first byte of script row y (top-down).
    uint8_t* row(int y) { return pixels.data() + static_cast<size_t>(height - 1 - y) * width * 3; }
    const uint8_t* row(int y) const {
        return pixels.data() + static_cast<size_t>(height - 1 - y) * width * 3;
    }
};

// A screen as the pixel loops see it (absent when it does not exist).
inline pixels::View view(Screen& s) { return s.exists() ? pixels::View{s.pixels.data(), s.width, s.height} : pixels::View{}; }
inline pixels::ConstView view(const Screen& s) {
    return s.exists() ? pixels::ConstView{s.pixels.data(), s.width, s.height} : pixels::ConstView{};
}

constexpr int kScreenCount = 258;  // 0 primary, 1 back, 2..257 images
// All image screens together may hold this much: a game that asks for more (many huge
// pictures, or createimage of gigabytes) sees the request fail instead of the process abort.
constexpr int64_t kImageScreensBudget = int64_t{1} << 30;
constexpr int64_t kMaxImageSideForBudget = int64_t{1} << 20;
// The largest screen a configuration may ask for; larger sizes are cut down to it.
constexpr int kMaxScreenSide = 4096;
constexpr int kLoadedImageCount = 259;

// A record of every load: file name and mask (-1 none), listed by saved games.
struct LoadedImage {
    Bytes fileName;
    int32_t mask = -1;
};

// Parameters of a running fade or cross-fade.
struct FadeRun {
    int32_t dst = 0;  // as given: negative copies each increment to screen 0
    int32_t step = 0, limit = 0, click = 0;
    int32_t x = 0, y = 0, w = 0, h = 0;
    int32_t src = 1;
    int32_t k = 0;
};

struct MosaicFadeRun {
    int32_t dst = 0, maximum = 0, click = 0, start = 0, noise = 0, src = 1, mode = 0;
    int32_t fadeStep = 0, fadeLimit = 0, fadeClick = 0;
    int32_t c = 1;
    bool goingDown = false;
};

struct WipeRun {
    int32_t screen = -1;  // the new picture, or -1 for black
    int32_t step = 0, extent = 0, type = 0;
    int32_t k = 1;
};

struct Particle {
    int x = 0, y = 0, dx = 0, dy = 0, frame = 0, counter = 0;
};

struct Screens {
    explicit Screens(InProgress& p) : effectOn(p), fadeOn(p), wipeOn(p), transfadeOn(p), mosaicfadeOn(p) {}

    std::array<Screen, kScreenCount> table;
    Screen overlayImage;  // text overlay image (cleared to black)
    Screen overlayMask;   // text overlay mask (cleared to white)
    Screen saveUnder;     // copy of screen 0 kept under choices and menus
    Screen systemPicture; // ABOUTBMP or the built-in picture: click-wait icons, effect particles

    std::array<LoadedImage, kLoadedImageCount> loaded;

    // Transitions and the screen effect in progress; the step advances each by one increment.
    ProgressFlag<bool, InProgress::kEffect> effectOn;
    ProgressFlag<bool, InProgress::kFade> fadeOn;
    ProgressFlag<bool, InProgress::kWipe> wipeOn;
    ProgressFlag<bool, InProgress::kTransfade> transfadeOn;
    ProgressFlag<bool, InProgress::kMosaicfade> mosaicfadeOn;
    FadeRun fade, transfade;
    MosaicFadeRun mosaicfade;
    WipeRun wipe;
    std::array<Particle, 50> particles;
    bool particlesReady = false;
    uint32_t randState = 1;  // noise of the mosaics and the particles
    // Counts the presents of screen 0: a part of the picture that presents itself only when it
    // changes (the click-wait icon) sees from it whether anything else was presented since.
    uint64_t presents = 0;

    // Whether screen n (an image screen) may become w x h within the image budget, counting
    // what the other image screens hold. Screens 0 and 1 are sized by the configuration.
    bool fitsBudget(int64_t n, int64_t w, int64_t h) const {
        if (w < 0 || h < 0) return true;
        if (w > kMaxImageSideForBudget || h > kMaxImageSideForBudget) return false;
        const int64_t want = w * h * 3;
        if (want > imageBudget) return false;
        int64_t used = 0;
        for (int64_t i = 2; i < kScreenCount; ++i)
            if (i != n) used += static_cast<int64_t>(table[static_cast<size_t>(i)].pixels.size());
        return used + want <= imageBudget;
    }
    int64_t imageBudget = kImageScreensBudget;  // lowered by tests

    // Screen n when it exists (the drawing commands pass abs(number)); nullptr otherwise.
    Screen* get(int64_t n) {
        if (n < 0 || n >= kScreenCount) return nullptr;
        Screen& s = table[static_cast<size_t>(n)];
        return s.exists() ? &s : nullptr;
    }
};

namespace graphics {
void drawEffectFrame(Runtime& rt);
// Each advances its transition by one increment and returns true once it has finished.
bool advanceFade(Runtime& rt);
bool advanceWipe(Runtime& rt);
bool advanceTransfade(Runtime& rt);
bool advanceMosaicfade(Runtime& rt);
}  // namespace graphics

}  // namespace yv
