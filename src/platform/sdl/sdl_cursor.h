// Icon and cursor files as SDL surfaces.
#pragma once

#include <SDL.h>

#include <string>

namespace yv {
// A surface of the file's largest picture (nullptr when unreadable); hotspot for cursors.
SDL_Surface* loadIconSurface(const std::string& path, int* hotX, int* hotY);
}  // namespace yv
