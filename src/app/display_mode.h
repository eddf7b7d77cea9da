// Switching between window mode and full screen, and resuming the interpreter afterwards.
#pragma once

namespace yv {
class Platform;
struct AppState;
struct Runtime;

namespace app {
// Tests the display for full screen and switches; shows the display-mode messages and returns
// false when it cannot.
bool testAndSetDisplayMode(Runtime& rt);
// Full screen from the menu bar (fromBar: the interpreter is held out of its step meanwhile),
// the pop-up menu or start-up.
void switchToFullScreen(Runtime& rt, bool fromBar);
void switchToWindowMode(Runtime& rt, bool fromBar);
// The window has been redrawn: after a mode switch the interpreter runs again.
void onRedrawn(Runtime& rt, bool closing);
// FULLMENU: shows or hides the menu bar over the top band in full screen.
void showFullScreenMenu(AppState& app, Platform& platform, bool show);
}  // namespace app
}  // namespace yv
