// Uploading and scaling the game picture. The sharp filter keeps strokes even at any size:
// nearest neighbour up to the largest whole scale, then linear for the small rest.
#include "platform/sdl/sdl_picture.h"

#include <algorithm>
#include <cstring>

namespace yv {

void SdlPicture::release() {
    if (prescaled_) SDL_DestroyTexture(prescaled_);
    if (texture_) SDL_DestroyTexture(texture_);
    prescaled_ = texture_ = nullptr;
    texW_ = texH_ = preScale_ = 0;
}

void SdlPicture::upload(SDL_Renderer* r, const std::vector<uint8_t>& pixels, int fw, int fh, Rect dirty) {
    if (fw <= 0 || fh <= 0 || pixels.size() < static_cast<size_t>(fw) * fh * 3) return;
    if (!texture_ || texW_ != fw || texH_ != fh) {
        release();
        // A format renderers hold natively: for a three-byte one SDL keeps a second copy of the
        // picture to convert from, a megabyte and a pass over every pixel more.
        texture_ = SDL_CreateTexture(r, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING, fw, fh);
        if (!texture_) return;
        texW_ = fw;
        texH_ = fh;
        dirty = {0, 0, fw, fh};
    }
    // (A rectangle of an earlier, larger picture is cut to this one.)
    const int x0 = std::clamp(dirty.x, 0, fw), y0 = std::clamp(dirty.y, 0, fh);
    const int x1 = std::clamp(dirty.x + dirty.w, x0, fw), y1 = std::clamp(dirty.y + dirty.h, y0, fh);
    if (x1 <= x0 || y1 <= y0) return;
    const SDL_Rect area{x0, y0, x1 - x0, y1 - y0};
    void* px = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, &area, &px, &pitch) != 0) return;
    for (int y = 0; y < area.h; ++y) {  // bottom-up rows to top-down, blue green red to 32 bits
        uint8_t* to = static_cast<uint8_t*>(px) + static_cast<size_t>(y) * pitch;
        const uint8_t* from = pixels.data() + (static_cast<size_t>(fh - 1 - (area.y + y)) * fw + area.x) * 3;
        for (int x = 0; x < area.w; ++x, to += 4, from += 3) {
            const uint32_t v = uint32_t{from[2]} << 16 | uint32_t{from[1]} << 8 | from[0];  // as a number, either byte order
            std::memcpy(to, &v, 4);
        }
    }
    SDL_UnlockTexture(texture_);
    prescaledStale_ = true;
}

void SdlPicture::draw(SDL_Renderer* r, Rect dst, ScaleFilter filter) {
    if (!texture_ || dst.w <= 0 || dst.h <= 0) return;
    const SDL_Rect to{dst.x, dst.y, dst.w, dst.h};
    const int k = sharpPrescale(dst, texW_, texH_);
    const bool exact = wholeScale(dst, texW_, texH_);
    if (filter == ScaleFilter::Nearest || (filter == ScaleFilter::Sharp && exact)) {
        SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
        SDL_RenderCopy(r, texture_, nullptr, &to);
        return;
    }
    if (filter == ScaleFilter::Smooth || k == 1 || noTargets_) {
        SDL_SetTextureScaleMode(texture_, SDL_ScaleModeLinear);
        SDL_RenderCopy(r, texture_, nullptr, &to);
        return;
    }
    if (!prescaled_ || preScale_ != k) {
        if (prescaled_) SDL_DestroyTexture(prescaled_);
        prescaled_ = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, texW_ * k, texH_ * k);
        preScale_ = k;
        prescaledStale_ = true;
        if (!prescaled_) {
            noTargets_ = true;  // this renderer cannot: linear alone
            return draw(r, dst, filter);
        }
    }
    if (prescaledStale_) {
        SDL_Texture* old = SDL_GetRenderTarget(r);
        SDL_SetRenderTarget(r, prescaled_);
        SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
        SDL_RenderCopy(r, texture_, nullptr, nullptr);
        SDL_SetRenderTarget(r, old);
        prescaledStale_ = false;
    }
    SDL_SetTextureScaleMode(prescaled_, SDL_ScaleModeLinear);
    SDL_RenderCopy(r, prescaled_, nullptr, &to);
}

bool readRendererPixels(SDL_Renderer* r, std::vector<uint8_t>& out, int& w, int& h) {
    int pw = 0, ph = 0;
    SDL_GetRendererOutputSize(r, &pw, &ph);
    if (pw <= 0 || ph <= 0) return false;
    const size_t row = static_cast<size_t>(pw) * 3;
    std::vector<uint8_t> top(row * static_cast<size_t>(ph));
    if (SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_BGR24, top.data(), static_cast<int>(row)) != 0) return false;
    out.resize(top.size());
    for (int y = 0; y < ph; ++y)
        std::memcpy(out.data() + static_cast<size_t>(ph - 1 - y) * row, top.data() + static_cast<size_t>(y) * row, row);
    w = pw, h = ph;
    return true;
}

}  // namespace yv
