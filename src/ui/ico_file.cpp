// Icon and cursor decoding. Every read is checked against the file's end.
#include "ui/ico_file.h"

#include <algorithm>

namespace yv {
namespace {

struct Reader {
    std::string_view b;
    bool has(size_t at, size_t n) const { return at <= b.size() && n <= b.size() - at; }
    uint32_t u8(size_t at) const { return static_cast<uint8_t>(b[at]); }
    uint32_t u16(size_t at) const { return u8(at) | (u8(at + 1) << 8); }
    uint32_t u32(size_t at) const { return u16(at) | (u16(at + 2) << 16); }
};

std::optional<IconImage> decodeDib(const Reader& r, size_t at, size_t size, int hotX, int hotY) {
    if (!r.has(at, size) || size < 40) return std::nullopt;
    const uint32_t header = r.u32(at);
    if (header < 40 || header > size) return std::nullopt;
    const auto w = static_cast<int32_t>(r.u32(at + 4));
    const auto h2 = static_cast<int32_t>(r.u32(at + 8));
    const uint32_t bpp = r.u16(at + 14);
    const uint32_t compression = r.u32(at + 16);
    uint32_t colours = r.u32(at + 32);
    const int32_t h = h2 / 2;  // the colour picture, then the transparency mask
    if (w <= 0 || h <= 0 || w > 1024 || h > 1024 || compression != 0) return std::nullopt;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return std::nullopt;
    if (bpp <= 8 && (colours == 0 || colours > (1u << bpp))) colours = 1u << bpp;
    if (bpp > 8) colours = 0;
    const size_t palette = at + header;
    const size_t xorRow = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
    const size_t andRow = ((static_cast<size_t>(w) + 31) / 32) * 4;
    const size_t xorAt = palette + colours * 4;
    const size_t andAt = xorAt + xorRow * static_cast<size_t>(h);
    if (!r.has(palette, colours * 4) || !r.has(xorAt, xorRow * static_cast<size_t>(h))) return std::nullopt;
    const bool haveMask = r.has(andAt, andRow * static_cast<size_t>(h));

    IconImage img;
    img.width = w;
    img.height = h;
    img.hotX = std::clamp(hotX, 0, w - 1);
    img.hotY = std::clamp(hotY, 0, h - 1);
    img.rgba.assign(static_cast<size_t>(w) * h * 4, 0);
    bool anyAlpha = false;
    for (int y = 0; y < h; ++y) {
        const size_t row = xorAt + static_cast<size_t>(h - 1 - y) * xorRow;  // stored bottom-up
        for (int x = 0; x < w; ++x) {
            uint32_t bgra = 0;
            if (bpp == 32) {
                bgra = r.u32(row + static_cast<size_t>(x) * 4);
            } else if (bpp == 24) {
                const size_t p = row + static_cast<size_t>(x) * 3;
                bgra = r.u8(p) | (r.u8(p + 1) << 8) | (r.u8(p + 2) << 16);
            } else {
                const size_t bit = static_cast<size_t>(x) * bpp;
                const uint32_t byte = r.u8(row + bit / 8);
                const uint32_t idx = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                if (idx < colours) bgra = r.u32(palette + idx * 4) & 0xFFFFFF;
            }
            uint8_t* o = &img.rgba[(static_cast<size_t>(y) * w + x) * 4];
            o[0] = static_cast<uint8_t>(bgra >> 16);
            o[1] = static_cast<uint8_t>(bgra >> 8);
            o[2] = static_cast<uint8_t>(bgra);
            o[3] = bpp == 32 ? static_cast<uint8_t>(bgra >> 24) : 255;
            if (bpp == 32 && o[3]) anyAlpha = true;
        }
    }
    // Without an alpha channel the mask tells the transparent pixels.
    if ((bpp != 32 || !anyAlpha) && haveMask) {
        for (int y = 0; y < h; ++y) {
            const size_t row = andAt + static_cast<size_t>(h - 1 - y) * andRow;
            for (int x = 0; x < w; ++x) {
                const bool clear = (r.u8(row + static_cast<size_t>(x) / 8) >> (7 - x % 8)) & 1;
                img.rgba[(static_cast<size_t>(y) * w + x) * 4 + 3] = clear ? 0 : 255;
            }
        }
    }
    return img;
}

}  // namespace

std::optional<IconImage> decodeIconFile(std::string_view bytes) {
    const Reader r{bytes};
    if (!r.has(0, 6) || r.u16(0) != 0) return std::nullopt;
    const uint32_t type = r.u16(2);
    const uint32_t count = r.u16(4);
    if ((type != 1 && type != 2) || count == 0) return std::nullopt;
    std::optional<IconImage> best;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t e = 6 + static_cast<size_t>(i) * 16;
        if (!r.has(e, 16)) break;
        const size_t size = r.u32(e + 8);
        const size_t at = r.u32(e + 12);
        if (r.has(at, 4) && bytes.substr(at, 4) == "\x89PNG") continue;
        const int hotX = type == 2 ? static_cast<int>(r.u16(e + 4)) : 0;
        const int hotY = type == 2 ? static_cast<int>(r.u16(e + 6)) : 0;
        auto img = decodeDib(r, at, size, hotX, hotY);
        if (img && (!best || img->width * img->height > best->width * best->height)) best = std::move(img);
    }
    return best;
}

}  // namespace yv
