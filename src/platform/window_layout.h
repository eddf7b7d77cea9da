// Where the game picture goes in a window of any size, how a point of the window maps to the
// game screen and back, which scale a new window may take on a desktop, and the scaling filters.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace yv {

std::optional<ScaleFilter> parseScaleFilter(std::string_view name);
const char* scaleFilterName(ScaleFilter f);

// The largest rectangle of the game's aspect inside the area, centred (black bars around it).
Rect fitPicture(Rect area, int gameW, int gameH);

// A window point to game-screen coordinates (clamped to the screen); the picture lies at `pic`.
void windowToGame(Rect pic, int gameW, int gameH, int wx, int wy, int& gx, int& gy);
// The window point at the middle of game pixel (gx, gy).
void gameToWindow(Rect pic, int gameW, int gameH, int gx, int gy, int& wx, int& wy);

// The whole scale that the sharp filter first scales to with nearest neighbour (at least 1).
int sharpPrescale(Rect pic, int gameW, int gameH);
// The picture is the game screen at exactly a whole scale: nearest neighbour alone is exact.
bool wholeScale(Rect pic, int gameW, int gameH);

// The window scale for a game screen on a desktop whose usable area is usableW x usableH:
// `requested` (0 = choose) lowered until the window, with its menu bar and the window manager's
// frame (`frameW`, `frameH`), fits; at least 1. On a desktop of scale `desktopScale` the menu
// bar is drawn at least that much larger, and a chosen scale is at least the desktop's where it fits.
int fitWindowScale(int requested, int gameW, int gameH, int barH, int usableW, int usableH,
                   int frameW, int frameH, int desktopScale = 1);

// Where a tool window (a debug window, outer size w x h) opens beside the game window, whose
// outer rectangle is `game`, inside the desktop's usable area `desk`: never over the game, and
// clear of the tool windows already open (`others`) where it can be. When no place beside the
// game is free, the game window moves to one side of the desktop (`moveGame`, to gameX, gameY)
// and the tool stands on the other. `found` is false when the desktop is too small for both.
struct ToolSpot {
    bool found = false;
    int x = 0, y = 0;
    bool moveGame = false;
    int gameX = 0, gameY = 0;
};
ToolSpot placeToolWindow(Rect desk, Rect game, int w, int h, const std::vector<Rect>& others, bool preferRight);

// The size the menus and dialogs are drawn at for a picture at `pic`: 1 at the game's own size,
// growing with the picture in half steps, so that they stay readable on a large window; never
// below the desktop's scale (the menus follow the desktop whatever size the picture has).
float uiScaleFor(Rect pic, int gameW, int gameH, int desktopScale = 1);

}  // namespace yv
