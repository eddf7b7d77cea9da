// PNG decoding through the system libpng. libpng reports damaged data by calling an error
// function that must not return; ours jumps back to the set-up point, and everything the decode
// owns lives outside the jumped-over frames so nothing leaks.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include "graphics/image_decode.h"

namespace yv {
namespace {

struct Source {
    const uint8_t* data;
    size_t size;
    size_t at;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* s = static_cast<Source*>(png_get_io_ptr(png));
    if (n > s->size - s->at) png_error(png, "file cut off");
    std::memcpy(out, s->data + s->at, n);
    s->at += n;
}

[[noreturn]] void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onWarning(png_structp, png_const_charp) {}

// Everything the decode allocates, owned by the caller's frame.
struct Work {
    std::vector<uint8_t> bgra;
    std::vector<png_bytep> rows;
};

}  // namespace

TPngResult CPngView::decode(BytesView file, DecodedImage& out) {
    interlaced_ = false;
    haveTrns_ = false;
    Source src{reinterpret_cast<const uint8_t*>(file.data()), file.size(), 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (!png) return kPngNoReadStruct;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return kPngNoInfoStruct;
    }
    // On the heap: the jump back must find it exactly as the decode left it.
    auto workHolder = std::make_unique<Work>();
    Work& work = *workHolder;
    volatile TPngResult result = kPngDamaged;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &src, readFromMemory);
        png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
        png_read_info(png, info);
        png_uint_32 w = 0, h = 0;
        int depth = 0, colourType = 0, interlace = 0;
        png_get_IHDR(png, info, &w, &h, &depth, &colourType, &interlace, nullptr, nullptr);
        if (int64_t{w} * h > kMaxImagePixels) png_error(png, "picture too large");
        haveTrns_ = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
        const bool alphaChannel = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
        interlaced_ = interlace != PNG_INTERLACE_NONE;
        if (log_) {
            std::fprintf(log_, "HaveTrns:%d\n", haveTrns_ ? 1 : 0);
            std::fputs(interlaced_ ? "PNG_INTERLACE_ADAM7\n" : "PNG_INTERLACE_NONE\n", log_);
        }
        // Every colour type and depth becomes 8-bit blue, green, red, alpha: palette and low-bit
        // grey expanded, the transparency chunk turned into alpha, 16-bit samples cut to their
        // high byte, grey copied into all three channels, opaque alpha added where none is.
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_set_bgr(png);
        if (!alphaChannel && !haveTrns_) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        if (png_get_rowbytes(png, info) != size_t{w} * 4) png_error(png, "unexpected row size");
        work.bgra.resize(size_t{w} * h * 4);
        work.rows.resize(h);
        for (png_uint_32 y = 0; y < h; ++y) work.rows[y] = work.bgra.data() + size_t{y} * w * 4;
        png_read_image(png, work.rows.data());
        png_read_end(png, nullptr);

        DecodedImage img;
        img.width = static_cast<int>(w);
        img.height = static_cast<int>(h);
        img.bgr.resize(size_t{w} * h * 3);
        const bool keepAlpha = haveTrns_ || alphaChannel;
        if (keepAlpha) img.alpha.resize(size_t{w} * h);
        for (size_t i = 0, n = size_t{w} * h; i < n; ++i) {
            std::memcpy(&img.bgr[i * 3], &work.bgra[i * 4], 3);
            if (keepAlpha) img.alpha[i] = work.bgra[i * 4 + 3];
        }
        out = std::move(img);
        result = kPngDecoded;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (log_ && result != kPngDecoded) std::fprintf(log_, "Error : %d\n", static_cast<int>(result));
    return result;
}

}  // namespace yv
