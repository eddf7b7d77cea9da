// The virtual screens: 258 numbered 24-bit pictures, the text overlay, the save-under copy and
// the system picture; and the transitions the interpreter step advances.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/bytes.h"

namespace yv {

struct Runtime;

// A 24-bit picture: bytes blue, green, red; rows of exactly width*3 bytes (no padding), stored
// bottom-up. Script coordinates are top-down: row y of the script is buffer row height-1-y.
struct Screen {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // empty: the screen does not exist
    bool changed = false;
    Bytes fileName;               // file it was loaded from (empty if none)
    int32_t mask = 0;             // mask screen number given to loadimage
    bool created = false;         // made by createimage
    int createdWidth = 0, createdHeight = 0;

    bool exists() const { return !pixels.empty(); }
    void allocate(int w, int h) {
        width = w > 0 ? w : 0;
        height = h > 0 ? h : 0;
        pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
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

constexpr int kScreenCount = 258;  // 0 primary, 1 back, 2..257 images

struct Screens {
    std::array<Screen, kScreenCount> table;
    Screen overlayImage;  // text overlay image (cleared to black)
    Screen overlayMask;   // text overlay mask (cleared to white)
    Screen saveUnder;     // copy of screen 0 kept under choices and menus
    Screen systemPicture; // ABOUTBMP or the built-in picture: click-wait icons, effect particles

    // Transitions and the screen effect in progress; the step advances each by one increment.
    bool effectOn = false;
    bool fadeOn = false;
    bool wipeOn = false;
    bool transfadeOn = false;
    bool mosaicfadeOn = false;
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
