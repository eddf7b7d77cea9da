// What the X window manager says of a window and SDL 2 does not pass on: whether it has made
// the window full screen by itself (its own key or menu, wmctrl).
#pragma once

#include <SDL.h>

namespace yv {

// 1: the window manager shows the window full screen, 0: it does not, -1: no way to tell (not
// an X11 window, or built without X11).
int windowManagerFullScreen(SDL_Window* window);

}  // namespace yv
