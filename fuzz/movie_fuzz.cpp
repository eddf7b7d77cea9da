// libFuzzer target: arbitrary bytes as a movie file, decoded and converted frame by frame.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/video/video_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The decoder reads files, as games give them: the bytes go through one.
    static const std::string file = "/tmp/yv_movie_fuzz_" + std::to_string(getpid()) + ".avi";
    if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    yv::video::Decoder::Opened why;
    auto d = yv::video::Decoder::open(file, why);
    std::vector<uint8_t> picture;
    for (int64_t k = 0; d && k < 64; ++k) {
        if (!d->advanceTo(k) || (d->ended() && d->heldIndex() < k)) break;
        d->convert(k % 2 ? 37 : d->width(), k % 2 ? 23 : d->height(), picture);
    }
    return 0;
}
