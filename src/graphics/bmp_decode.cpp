// BMP decoding. Strict on purpose: a header that contradicts the file, a palette index past the
// palette, or a run-length stream that leaves the picture is a damaged file, not a picture.
#include <algorithm>
#include <cstring>

#include "graphics/image_decode.h"

namespace yv {
namespace {

uint32_t u16(BytesView b, size_t at) {
    return static_cast<uint8_t>(b[at]) | (static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8);
}
uint32_t u32(BytesView b, size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }
int32_t s32(BytesView b, size_t at) { return static_cast<int32_t>(u32(b, at)); }

bool fail(std::string* why, const char* text) {
    if (why) *why = text;
    return false;
}

// A channel of `bits` bits scaled to 0..255 (rounding down, so 31 -> 255 and 16 -> 131);
// wider channels keep their top eight bits.
uint8_t widen(uint32_t v, int bits) {
    if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
    return static_cast<uint8_t>(v * 255 / ((1u << bits) - 1));
}

struct Mask {
    uint32_t mask = 0;
    int shift = 0, bits = 0;
    bool set(uint32_t m) {
        mask = m;
        if (m == 0) return false;
        shift = 0;
        while (!((m >> shift) & 1)) ++shift;
        bits = 0;
        while (shift + bits < 32 && ((m >> (shift + bits)) & 1)) ++bits;
        return (m >> shift) == (bits == 32 ? 0xFFFFFFFFu : ((1u << bits) - 1));  // contiguous
    }
    uint8_t get(uint32_t v) const { return widen((v & mask) >> shift, bits); }
};

struct Header {
    int64_t width = 0, height = 0;
    bool topDown = false;
    int bpp = 0;
    uint32_t compression = 0;
    uint32_t colours = 0;
    size_t paletteAt = 0;
    int paletteEntry = 4;
    uint32_t masks[3] = {0, 0, 0};
    bool hasMasks = false;
};

bool readHeader(BytesView f, Header& h, std::string* why) {
    if (f.size() < 26 || f[0] != 'B' || f[1] != 'M') return fail(why, "not a BMP file");
    const uint32_t fileSize = u32(f, 2);
    if (fileSize != 0 && fileSize > f.size()) return fail(why, "file shorter than its header says");
    const uint32_t infoSize = u32(f, 14);
    if (infoSize == 12) {
        h.width = static_cast<int16_t>(u16(f, 18));
        h.height = static_cast<int16_t>(u16(f, 20));
        if (u16(f, 22) != 1) return fail(why, "planes not 1");
        h.bpp = static_cast<int>(u16(f, 24));
        h.paletteEntry = 3;
    } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124) {
        if (f.size() < 14 + size_t{infoSize}) return fail(why, "truncated header");
        h.width = s32(f, 18);
        h.height = s32(f, 22);
        if (u16(f, 26) != 1) return fail(why, "planes not 1");
        h.bpp = static_cast<int>(u16(f, 28));
        h.compression = u32(f, 30);
        const uint32_t sizeImage = u32(f, 34);
        const int32_t xRes = s32(f, 38), yRes = s32(f, 42);
        h.colours = u32(f, 46);
        if (xRes < 0 || yRes < 0 || xRes > 1000000 || yRes > 1000000) return fail(why, "absurd resolution");
        if (sizeImage > f.size()) return fail(why, "image size larger than the file");
        if (h.compression == 3) {
            h.hasMasks = true;
            const size_t at = 54;  // right after a 40-byte header, or inside the larger ones
            if (f.size() < at + 12) return fail(why, "truncated bit fields");
            for (int i = 0; i < 3; ++i) h.masks[i] = u32(f, at + 4 * static_cast<size_t>(i));
        }
    } else {
        return fail(why, "unknown header size");
    }
    h.paletteAt = 14 + size_t{infoSize} + (infoSize == 40 && h.compression == 3 ? 12 : 0);
    if (h.width <= 0 || h.height == 0) return fail(why, "bad dimensions");
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height;
    }
    if (h.width > kMaxImageSide || h.height > kMaxImageSide || h.width * h.height > kMaxImagePixels)
        return fail(why, "picture too large");
    switch (h.bpp) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return fail(why, "unsupported bit count");
    }
    const bool ok = (h.compression == 0) || (h.compression == 1 && h.bpp == 8) ||
                    (h.compression == 2 && h.bpp == 4) || (h.compression == 3 && (h.bpp == 16 || h.bpp == 32));
    if (!ok) return fail(why, "unsupported compression");
    if (h.compression != 0 && h.compression != 3 && h.topDown) return fail(why, "top-down run-length picture");
    if (h.bpp <= 8) {
        const uint32_t most = 1u << h.bpp;
        if (h.colours == 0) h.colours = most;
        if (h.colours > most) return fail(why, "palette larger than the bit count allows");
        if (h.paletteAt + size_t{h.colours} * h.paletteEntry > f.size()) return fail(why, "truncated palette");
    }
    return true;
}

struct Canvas {
    DecodedImage& img;
    bool topDown;
    // File row r (in file order) is picture row y.
    uint8_t* fileRow(int64_t r) const {
        const int64_t y = topDown ? r : img.height - 1 - r;
        return img.bgr.data() + static_cast<size_t>(y) * img.width * 3;
    }
};

bool decodeRle(BytesView f, const Header& h, size_t at, const std::vector<uint8_t>& pal, Canvas& cv,
               std::string* why) {
    const bool four = h.bpp == 4;
    int64_t x = 0, r = 0;
    auto put = [&](uint32_t index) {
        if (index >= h.colours) return false;
        if (x >= h.width || r >= h.height) return false;
        std::memcpy(cv.fileRow(r) + x * 3, &pal[index * 3], 3);
        ++x;
        return true;
    };
    for (;;) {
        if (at + 2 > f.size()) return fail(why, "run-length data cut off");
        const uint32_t n = static_cast<uint8_t>(f[at]), v = static_cast<uint8_t>(f[at + 1]);
        at += 2;
        if (n > 0) {
            for (uint32_t i = 0; i < n; ++i)
                if (!put(four ? ((i & 1) ? (v & 15) : (v >> 4)) : v)) return fail(why, "run leaves the picture");
        } else if (v == 0) {
            x = 0;
            ++r;
        } else if (v == 1) {
            return true;
        } else if (v == 2) {
            if (at + 2 > f.size()) return fail(why, "run-length data cut off");
            x += static_cast<uint8_t>(f[at]);
            r += static_cast<uint8_t>(f[at + 1]);
            at += 2;
            if (x > h.width || r > h.height) return fail(why, "delta leaves the picture");
        } else {
            const size_t bytes = four ? (v + 1) / 2 : v;
            if (at + bytes > f.size()) return fail(why, "run-length data cut off");
            for (uint32_t i = 0; i < v; ++i) {
                const uint32_t b = static_cast<uint8_t>(f[at + (four ? i / 2 : i)]);
                if (!put(four ? ((i & 1) ? (b & 15) : (b >> 4)) : b)) return fail(why, "run leaves the picture");
            }
            at += (bytes + 1) & ~size_t{1};  // absolute runs are padded to a whole word
        }
    }
}

}  // namespace

bool decodeBmp(BytesView f, DecodedImage& out, std::string* why) {
    Header h;
    if (!readHeader(f, h, why)) return false;
    const size_t dataAt = u32(f, 10);
    if (dataAt >= f.size()) return fail(why, "pixel data outside the file");

    std::vector<uint8_t> pal;
    if (h.bpp <= 8) {
        pal.resize(size_t{h.colours} * 3);
        for (uint32_t i = 0; i < h.colours; ++i)
            std::memcpy(&pal[i * 3], f.data() + h.paletteAt + size_t{i} * h.paletteEntry, 3);
    }
    Mask m[3];
    if (h.bpp == 16 || h.bpp == 32) {
        const uint32_t def16[3] = {0x7C00, 0x03E0, 0x001F}, def32[3] = {0xFF0000, 0xFF00, 0xFF};
        for (int i = 0; i < 3; ++i) {
            const uint32_t v = h.hasMasks ? h.masks[i] : (h.bpp == 16 ? def16[i] : def32[i]);
            if (!m[i].set(v)) return fail(why, "bad bit fields");
        }
        if ((m[0].mask & m[1].mask) || (m[0].mask & m[2].mask) || (m[1].mask & m[2].mask))
            return fail(why, "overlapping bit fields");
    }

    DecodedImage img;
    img.width = static_cast<int>(h.width);
    img.height = static_cast<int>(h.height);
    img.palette = h.bpp <= 8;
    img.bgr.assign(static_cast<size_t>(h.width) * h.height * 3, 0);
    Canvas cv{img, h.topDown};

    if (h.compression == 1 || h.compression == 2) {
        if (!decodeRle(f, h, dataAt, pal, cv, why)) return false;
        out = std::move(img);
        return true;
    }
    const size_t stride = ((static_cast<size_t>(h.width) * h.bpp + 31) / 32) * 4;
    if (stride * static_cast<size_t>(h.height) > f.size() - dataAt) return fail(why, "pixel data cut off");
    for (int64_t r = 0; r < h.height; ++r) {
        const uint8_t* s = reinterpret_cast<const uint8_t*>(f.data()) + dataAt + stride * static_cast<size_t>(r);
        uint8_t* d = cv.fileRow(r);
        for (int64_t x = 0; x < h.width; ++x, d += 3) {
            switch (h.bpp) {
            case 1: case 4: case 8: {
                const size_t bit = static_cast<size_t>(x) * h.bpp;
                const uint32_t index = (s[bit / 8] >> (8 - h.bpp - bit % 8)) & ((1u << h.bpp) - 1);
                if (index >= h.colours) return fail(why, "palette index past the palette");
                std::memcpy(d, &pal[index * 3], 3);
                break;
            }
            case 24: std::memcpy(d, s + x * 3, 3); break;
            case 16:
            case 32: {
                const uint8_t* p = s + x * (h.bpp / 8);
                const uint32_t v = h.bpp == 16 ? (p[0] | (uint32_t{p[1]} << 8))
                                               : (p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24));
                d[0] = m[2].get(v), d[1] = m[1].get(v), d[2] = m[0].get(v);
                break;
            }
            }
        }
    }
    out = std::move(img);
    return true;
}

}  // namespace yv
