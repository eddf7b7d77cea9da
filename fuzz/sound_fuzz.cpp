// libFuzzer target: arbitrary bytes as a sound: the WAVE reader, and FFmpeg's demuxers and
// decoders as the mixer's streams (compressed waves from memory, CD track files) play them.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/pcm_source.h"
#include "platform/audio/stream_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace yv::audio;
    auto bytes = std::make_shared<const std::string>(reinterpret_cast<const char*>(data), size);
    std::vector<float> out(4096 * 2);
    if (auto pcm = decodeWave(*bytes)) {
        auto source = makePcmSource(pcm, true);
        source->render(out.data(), 4096);
    }
    if (decodable(bytes)) {
        Segment s;
        s.memory = bytes;
        auto source = makeStreamSource({s}, true);
        for (int i = 0; i < 2; ++i) {
            source->fill();
            if (source->render(out.data(), 4096) < 4096) break;
        }
    }
    // CD track files are measured (and played) from the file itself.
    static const std::string file = "/tmp/yv_sound_fuzz_" + std::to_string(getpid()) + ".ogg";
    if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    if (probeFrames(file, false) > 0) {
        Segment s;
        s.file = file;
        s.startFrame = 100;
        s.frames = 4096;
        auto source = makeStreamSource({s}, false);
        source->fill();
        source->render(out.data(), 4096);
    }
    return 0;
}
