// The desktop platform: an SDL2 window that shows screen 0 at any size, the ImGui menus
// and dialogs, full screen, mouse and keys.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace yv {

// What the command line asks of the window.
struct SdlWindowOptions {
    int scale = 0;  // 0: the largest that fits the desktop
    ScaleFilter filter = ScaleFilter::Sharp;
    // The picture area the player last gave this game's window (0: none remembered); used
    // when no scale was asked for and it fits the desktop.
    int areaWidth = 0, areaHeight = 0;
    // The game screen's size when it is known before the game starts (0: not known); the
    // window opens at its final size.
    int gameWidth = 0, gameHeight = 0;
};

// Nothing when no window can be opened (`why` says why).
std::unique_ptr<Platform> makeSdlPlatform(const SdlWindowOptions& options, std::string& why);

// After SDL_Init: true (with `why`) when SDL fell back to a video driver that shows nothing
// although nobody asked for one. A window there could never be seen or closed.
bool invisibleVideoDriver(std::string& why);

// A message box of its own, for a start that failed before (or without) the game's window.
// UTF-8 texts.
void showStartupError(const std::string& caption, const std::string& text);

// For scripted runs and tests: where the UI drew its entries in the last frame (window pixels),
// keyed by "#<command id>", a submenu's UTF-8 label, or "button:<label>" for dialog buttons.
struct SdlItemRect {
    int x = 0, y = 0, w = 0, h = 0;
};
std::map<std::string, SdlItemRect> sdlItemRects(Platform& sdlPlatform);
class SdlDebugWindows;
// The debug windows of an SDL platform (tests); nullptr for another platform.
SdlDebugWindows* sdlDebugWindows(Platform& sdlPlatform);
// The window's picture (game and UI) of the last frame, 24-bit bottom-up BGR.
std::vector<uint8_t> sdlWindowPixels(Platform& sdlPlatform, int& width, int& height);

}  // namespace yv
