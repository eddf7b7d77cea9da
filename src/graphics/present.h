// Creating the screens and bringing screen 0 to the window.
#pragma once

#include "platform/platform.h"

namespace yv {

struct Runtime;

namespace graphics {

// Screens 0 and 1 of the configured size W x H (black), the text overlay image (black) and mask
// (white), the save-under copy and the system picture.
void createScreens(Runtime& rt);

// Lays the text overlay over screen 0 within (Left, Top, W, H): AND with the mask, then OR
// with the image.
void layOverlay(Runtime& rt);

// Hands rect r of screen 0 (script coordinates) to the platform.
void presentRect(Runtime& rt, Rect r);
// The whole screen rectangle (Left, Top, W, H).
void presentScreen(Runtime& rt);

}  // namespace graphics
}  // namespace yv
