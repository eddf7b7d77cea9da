// Which SDL renderer draws a window: the GPU's, unless the only GL at hand is a software one.
#pragma once

#include <SDL.h>

namespace yv::sdl {

// An accelerated renderer (with vsync when asked), unless its GL is Mesa's software rasteriser
// (llvmpipe, softpipe: Xvfb, virtual machines, a machine without a GPU driver), where SDL's own
// software renderer shows the same pictures for about a third of the CPU. YORVANE_RENDERER=gpu or
// =software overrides the choice. Null when no renderer can be made (SDL_GetError says why).
SDL_Renderer* createWindowRenderer(SDL_Window* window, bool vsync);

}  // namespace yv::sdl
