// libFuzzer target: arbitrary bytes as a BMP file.
#include <cstddef>
#include <cstdint>

#include "graphics/image_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    yv::DecodedImage img;
    (void)yv::decodeBmp(yv::BytesView(reinterpret_cast<const char*>(data), size), img);
    return 0;
}
