// Sounds decoded while they play: CD tracks kept as files (Ogg, FLAC, MP3, WAVE, or the raw
// 16-bit 44.1 kHz stereo of a CD image) and compressed sounds held in memory. They are decoded
// a second or so ahead into a lock-free ring of chunks, never whole.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/mixer.h"

namespace yv::audio {

// A stretch of one file (or of bytes in memory) that the source plays.
struct Segment {
    std::filesystem::path file;
    std::shared_ptr<const std::string> memory;  // used instead of `file` when set
    bool raw = false;         // raw 16-bit little-endian stereo at 44.1 kHz (a CD image)
    int64_t startFrame = 0;   // first frame of the stretch within its file, at kRate
    int64_t frames = -1;      // how many frames; -1: to the end of the file
    int64_t discFrame = 0;    // the position reported while the stretch's first frame plays
};

// Plays the segments in order; with `loop` it starts over after the last without a gap.
// Decoding gives up, as at the end of a damaged file, once `stop` answers true (the game
// closing) or the source is cancelled.
std::unique_ptr<Source> makeStreamSource(std::vector<Segment> segments, bool loop, std::function<bool()> stop = {});

// True when FFmpeg can decode sound from the bytes (a compressed sound given as a wave file).
bool decodable(std::shared_ptr<const std::string> memory);

// Length of a file's sound in frames at kRate (a raw image: its size / 4); -1 when unreadable,
// or when `stop` answers true meanwhile.
int64_t probeFrames(const std::filesystem::path& file, bool raw, const std::function<bool()>& stop = {});

}  // namespace yv::audio
