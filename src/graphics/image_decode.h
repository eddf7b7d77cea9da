// Decoding BMP and PNG files into plain pictures that the loader then places into screens.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/bytes.h"

namespace yv {

// A decoded picture, rows top-down: colour width*3 bytes per row (blue, green, red), and when the
// file carries transparency an opacity plane of width bytes per row (255 opaque).
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;
    std::vector<uint8_t> alpha;  // empty: no transparency in the file
    bool palette = false;        // a palette picture (1, 4 or 8 bits per pixel)
    const uint8_t* row(int y) const { return bgr.data() + static_cast<size_t>(y) * width * 3; }
};

// Largest picture accepted from a file: keeps a damaged header from asking for gigabytes.
constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t{8192} * 8192;

// BMP: 1/4/8-bit palette (plain, RLE4, RLE8), 16/24/32-bit (plain or bit fields), Windows and
// OS/2 headers, bottom-up and top-down. Damaged or doubtful files are refused with a reason.
bool decodeBmp(BytesView file, DecodedImage& out, std::string* why = nullptr);

// Results of the PNG decoder.
enum TPngResult : int32_t {
    kPngDecoded = 0,
    kPngCannotOpen = 1,
    kPngNoReadStruct = 2,
    kPngNoInfoStruct = 3,
    kPngColourType = 4,
    kPngBitDepth = 5,
    kPngInterlace = 6,
    kPngDamaged = 7,  // the decoding library stopped on damaged data
};

// The PNG decoder. Every valid PNG is brought to 8-bit blue-green-red (with an opacity plane when
// the file has a transparency chunk or an alpha channel). The lines the original loader printed for
// every picture (transparency, interlacing, error number) go to `log` when one is given.
class CPngView {
public:
    explicit CPngView(std::FILE* log = nullptr) : log_(log) {}
    TPngResult decode(BytesView file, DecodedImage& out);
    bool interlaced() const { return interlaced_; }
    bool haveTrns() const { return haveTrns_; }

private:
    std::FILE* log_;
    bool interlaced_ = false;
    bool haveTrns_ = false;
};

}  // namespace yv
