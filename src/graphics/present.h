// Creating the screens and bringing screen 0 to the window.
#pragma once

#include "graphics/screens.h"
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

// The system picture: ABOUTBMP when it can be read and decoded, else the built-in picture.
void loadSystemPicture(Runtime& rt);
// The built-in picture (128 x 128): effect particles (eight 16 x 16 frames at (0, 16k), masks at
// (16, 16k)) and the click-wait icon (32 x 32 frames at (64, 32k), masks at (96, 32k)).
void drawBuiltInSystemPicture(Screen& pic);

// Hands rect r of screen 0 (script coordinates) to the platform.
void presentRect(Runtime& rt, Rect r);
// The whole screen rectangle (Left, Top, W, H).
void presentScreen(Runtime& rt);

}  // namespace graphics
}  // namespace yv
