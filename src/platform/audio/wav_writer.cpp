// The WAVE file writer of --audio-out.
#include "platform/audio/wav_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/audio/audio_engine.h"

namespace yv::audio {
namespace {

void put16(std::FILE* f, uint32_t v) {
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    std::fwrite(b, 1, 2, f);
}
void put32(std::FILE* f, uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::fwrite(b, 1, 4, f);
}

void header(std::FILE* f, uint32_t dataBytes) {
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 1);  // PCM
    put16(f, 2);
    put32(f, kRate);
    put32(f, kRate * 4);
    put16(f, 4);
    put16(f, 16);
    std::fwrite("data", 1, 4, f);
    put32(f, dataBytes);
}

}  // namespace

bool WavWriter::open(const std::filesystem::path& file) {
    close();
    f_ = std::fopen(file.c_str(), "wb");
    if (!f_) return false;
    dataBytes_ = 0;
    header(f_, 0);
    return true;
}

void WavWriter::write(const float* frames, size_t count) {
    if (!f_) return;
    int16_t buf[2048];
    size_t done = 0;
    while (done < count) {
        const size_t n = std::min<size_t>(count - done, 1024);
        for (size_t i = 0; i < n * 2; ++i) {
            const float v = std::clamp(frames[done * 2 + i], -1.0f, 1.0f) * 32767.0f;
            const int s = static_cast<int>(std::lrint(v));
            const auto u = static_cast<uint16_t>(static_cast<int16_t>(s));
            auto* b = reinterpret_cast<uint8_t*>(&buf[i]);
            b[0] = static_cast<uint8_t>(u);
            b[1] = static_cast<uint8_t>(u >> 8);
        }
        std::fwrite(buf, 4, n, f_);
        dataBytes_ += n * 4;
        done += n;
    }
}

void WavWriter::close() {
    if (!f_) return;
    // A WAVE file cannot say more than 4 GB; a longer run keeps the largest size it can.
    const uint32_t size = static_cast<uint32_t>(std::min<uint64_t>(dataBytes_, 0xFFFFFFFFu - 36));
    std::fseek(f_, 0, SEEK_SET);
    header(f_, size);
    std::fclose(f_);
    f_ = nullptr;
}

}  // namespace yv::audio
