// The game picture on the SDL renderer: the texture the presented frame is uploaded to and its
// scaling to any window size with the chosen filter.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/window_layout.h"

namespace yv {

class SdlPicture {
public:
    SdlPicture() = default;
    SdlPicture(const SdlPicture&) = delete;
    SdlPicture& operator=(const SdlPicture&) = delete;
    ~SdlPicture() { release(); }
    void release();

    // Copies rectangle `dirty` of a bottom-up BGR frame into the texture (all of it when the
    // frame's size changed).
    void upload(SDL_Renderer* r, const std::vector<uint8_t>& pixels, int w, int h, Rect dirty);
    // Draws the picture into `dst` (window pixels).
    void draw(SDL_Renderer* r, Rect dst, ScaleFilter filter);
    // The renderer lost its target textures (some drivers do on a resize or mode switch).
    void targetsLost() { prescaledStale_ = true; }
    bool empty() const { return texture_ == nullptr; }

private:
    SDL_Texture* texture_ = nullptr;    // the game screen at its own size
    SDL_Texture* prescaled_ = nullptr;  // the sharp filter's whole-scale step
    int texW_ = 0, texH_ = 0, preScale_ = 0;
    bool prescaledStale_ = true;
    bool noTargets_ = false;
};

// What the renderer drew, as a bottom-up BGR picture (the form screenshots are written from);
// false, with `out` untouched, when the renderer cannot be read back.
bool readRendererPixels(SDL_Renderer* r, std::vector<uint8_t>& out, int& w, int& h);

}  // namespace yv
