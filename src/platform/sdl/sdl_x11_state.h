// What SDL 2 leaves undone on X11: the window manager's own full screen, and X errors that
// are no fault of the game's.
#pragma once

#include <SDL.h>

namespace yv {

// 1: the window manager shows the window full screen, 0: it does not, -1: no way to tell (not
// an X11 window, or built without X11).
int windowManagerFullScreen(SDL_Window* window);

// After SDL's video starts: an X error that SDL's wake-up of its event wait causes when the
// window went a moment before (a request to a window no longer there) is let pass, where
// Xlib's default would end the program with status 1 as the game closes. Every other error
// goes on to the handler that was in place. Safe to call again after SDL restarts.
void passStaleWakeUps();

}  // namespace yv
