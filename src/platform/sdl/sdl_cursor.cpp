// Turns a decoded icon or cursor into an SDL surface.
#include "platform/sdl/sdl_cursor.h"

#include <cstring>

#include "ui/ico_file.h"
#include "io/file_reader.h"

namespace yv {

SDL_Surface* loadIconSurface(const std::string& path, int* hotX, int* hotY) {
    const auto data = io::readRegular(path, int64_t{16} << 20);
    if (!data) return nullptr;
    auto img = decodeIconFile(*data);
    if (!img) return nullptr;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, img->width, img->height, 32, SDL_PIXELFORMAT_RGBA32);
    if (!s) return nullptr;
    for (int y = 0; y < img->height; ++y)
        std::memcpy(static_cast<uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch,
                    img->rgba.data() + static_cast<size_t>(y) * img->width * 4, static_cast<size_t>(img->width) * 4);
    if (hotX) *hotX = img->hotX;
    if (hotY) *hotY = img->hotY;
    return s;
}

}  // namespace yv
