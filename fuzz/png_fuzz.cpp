// libFuzzer target: arbitrary bytes as a PNG file.
#include <cstddef>
#include <cstdint>

#include "graphics/image_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    yv::CPngView png(nullptr);
    yv::DecodedImage img;
    (void)png.decode(yv::BytesView(reinterpret_cast<const char*>(data), size), img);
    return 0;
}
