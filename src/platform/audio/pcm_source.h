// WAVE sounds: decoded whole (through SDL) into 16-bit stereo at the engine's rate, then played
// from memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/audio/mixer.h"

namespace yv::audio {

struct Pcm {
    std::vector<int16_t> samples;  // interleaved left, right
    int64_t frames() const { return static_cast<int64_t>(samples.size() / 2); }
};

// Nothing when the data is not a WAVE file SDL can read (PCM, float, a-law, mu-law, ADPCM).
std::shared_ptr<const Pcm> decodeWave(std::string_view data);

// The sound from its start; with `loop` it starts again at its end without a gap.
std::unique_ptr<Source> makePcmSource(std::shared_ptr<const Pcm> pcm, bool loop);

}  // namespace yv::audio
