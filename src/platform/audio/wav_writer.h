// Writes what the mixer produces as a 44.1 kHz 16-bit stereo WAVE file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace yv::audio {

class WavWriter {
public:
    ~WavWriter() { close(); }
    bool open(const std::filesystem::path& file);
    // Interleaved stereo float frames, clipped to 16 bits.
    void write(const float* frames, size_t count);
    // Finishes the header's sizes and closes the file.
    void close();
    bool isOpen() const { return f_ != nullptr; }

private:
    std::FILE* f_ = nullptr;
    uint64_t dataBytes_ = 0;
};

}  // namespace yv::audio
