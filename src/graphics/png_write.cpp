// PNG writing through libpng's simplified API.
#include "graphics/png_write.h"

#include <png.h>

#include <vector>

namespace yv {
namespace {

// Top-down red, green, blue rows from bottom-up blue, green, red ones.
std::vector<uint8_t> topDownRgb(const uint8_t* pixels, int width, int height) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = pixels + static_cast<size_t>(height - 1 - y) * width * 3;
        uint8_t* dst = rgb.data() + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            dst[x * 3 + 0] = src[x * 3 + 2];
            dst[x * 3 + 1] = src[x * 3 + 1];
            dst[x * 3 + 2] = src[x * 3 + 0];
        }
    }
    return rgb;
}

png_image imageOf(int width, int height) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    img.width = static_cast<png_uint_32>(width);
    img.height = static_cast<png_uint_32>(height);
    img.format = PNG_FORMAT_RGB;
    return img;
}

}  // namespace

bool writePng(const std::filesystem::path& file, const uint8_t* pixels, int width, int height) {
    if (width <= 0 || height <= 0 || !pixels) return false;
    const std::vector<uint8_t> rgb = topDownRgb(pixels, width, height);
    png_image img = imageOf(width, height);
    const int ok = png_image_write_to_file(&img, file.c_str(), 0, rgb.data(), 0, nullptr);
    png_image_free(&img);
    return ok != 0;
}

std::string encodePng(const uint8_t* pixels, int width, int height) {
    if (width <= 0 || height <= 0 || !pixels) return {};
    const std::vector<uint8_t> rgb = topDownRgb(pixels, width, height);
    // The first call measures, the second writes.
    png_image img = imageOf(width, height);
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&img, nullptr, &size, 0, rgb.data(), 0, nullptr) || size == 0) {
        png_image_free(&img);
        return {};
    }
    std::string out(size, '\0');
    img = imageOf(width, height);
    const int ok = png_image_write_to_memory(&img, out.data(), &size, 0, rgb.data(), 0, nullptr);
    png_image_free(&img);
    if (!ok) return {};
    out.resize(size);
    return out;
}

}  // namespace yv
