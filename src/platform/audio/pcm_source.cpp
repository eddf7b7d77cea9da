// WAVE decoding with SDL_LoadWAV_RW and SDL_AudioStream, and the in-memory source.
#include "platform/audio/pcm_source.h"

#include <SDL.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace yv::audio {

std::shared_ptr<const Pcm> decodeWave(std::string_view data) {
    if (data.empty() || data.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(data.data(), static_cast<int>(data.size()));
    if (!rw) return nullptr;
    SDL_AudioSpec wav{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &wav, &buf, &len)) return nullptr;
    if (wav.freq <= 0 || wav.freq > kMaxSourceRate) {
        SDL_FreeWAV(buf);
        return nullptr;
    }
    auto pcm = std::make_shared<Pcm>();
    SDL_AudioStream* s = SDL_NewAudioStream(wav.format, wav.channels, wav.freq, AUDIO_S16SYS, 2, kRate);
    bool ok = s != nullptr && wav.channels > 0 && wav.freq > 0;
    const size_t frameBytes = static_cast<size_t>(SDL_AUDIO_BITSIZE(wav.format) / 8) * wav.channels;
    const size_t inFrames = frameBytes ? len / frameBytes : 0;
    // SDL's resampler keeps back its last 1024 frames even when flushed: it is given silence
    // to keep back instead, and the result is cut to the sound's own length.
    const std::vector<Uint8> pad(4096 * frameBytes, wav.silence);
    if (ok && len > 0)
        ok = SDL_AudioStreamPut(s, buf, static_cast<int>(inFrames * frameBytes)) == 0 &&
             SDL_AudioStreamPut(s, pad.data(), static_cast<int>(pad.size())) == 0 && SDL_AudioStreamFlush(s) == 0;
    if (ok) {
        const int avail = SDL_AudioStreamAvailable(s);
        pcm->samples.resize(static_cast<size_t>(std::max(avail, 0)) / sizeof(int16_t));
        const int got = avail > 0 ? SDL_AudioStreamGet(s, pcm->samples.data(), avail) : 0;
        ok = got >= 0;
        const auto want = static_cast<size_t>((static_cast<uint64_t>(inFrames) * kRate + static_cast<uint64_t>(wav.freq) - 1) /
                                              static_cast<uint64_t>(wav.freq));
        if (ok) pcm->samples.resize(std::min(static_cast<size_t>(got) / sizeof(int16_t) / 2, want) * 2);
    }
    if (s) SDL_FreeAudioStream(s);
    SDL_FreeWAV(buf);
    if (!ok) return nullptr;
    return pcm;
}

namespace {

class PcmSource final : public Source {
public:
    PcmSource(std::shared_ptr<const Pcm> pcm, bool loop) : pcm_(std::move(pcm)), loop_(loop) {}

    size_t render(float* out, size_t frames) override {
        const int64_t total = pcm_->frames();
        const int16_t* in = pcm_->samples.data();
        constexpr float kScale = 1.0f / 32768.0f;
        size_t made = 0;
        while (made < frames) {
            if (at_ >= total) {
                if (!loop_ || total == 0) break;
                at_ = 0;
            }
            const size_t n = static_cast<size_t>(std::min<int64_t>(total - at_, static_cast<int64_t>(frames - made)));
            const int16_t* p = in + at_ * 2;
            float* o = out + made * 2;
            for (size_t i = 0; i < n * 2; ++i) o[i] = static_cast<float>(p[i]) * kScale;
            made += n;
            at_ += static_cast<int64_t>(n);
            if (at_ >= total && loop_) at_ = 0;  // the position is back at the start at once
        }
        return made;
    }
    int64_t position() const override { return at_; }

private:
    std::shared_ptr<const Pcm> pcm_;
    bool loop_;
    int64_t at_ = 0;
};

}  // namespace

std::unique_ptr<Source> makePcmSource(std::shared_ptr<const Pcm> pcm, bool loop) {
    if (!pcm) return nullptr;
    return std::make_unique<PcmSource>(std::move(pcm), loop);
}

}  // namespace yv::audio
