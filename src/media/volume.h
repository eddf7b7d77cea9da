// The game's own volumes, kept as the machine's mixer kept them: a master volume control of two
// channels over 0..65535 with the balance between them, a master mute switch and a 16-bit wave
// output volume. They drive the mixer's gains; the desktop's mixer is never touched.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "core/mutex.h"

namespace yv {

namespace audio {
class Mixer;
}

class Volume {
public:
    static constexpr uint32_t kMin = 0, kMax = 65535;

    // Without an engine every operation answers "failed" (false), as on a machine without a mixer.
    void attach(audio::Mixer* engine);

    // Percent 0..100: ((max - min) / 2 + value x 100 - min x 100) / (max - min), the nearest
    // whole percent, of the louder channel.
    bool percent(int32_t& out);
    // Each channel becomes (min + percent x (max - min) / 100) x balance[i] / top, keeping the
    // relation between the channels (as last seen with any channel above 0).
    bool setPercent(int32_t percent);
    // Adds delta to the percent, within 0..100.
    bool change(int32_t delta);
    bool mute(bool& out);
    bool setMute(bool on);
    bool toggleMute();
    bool waveLevel(uint16_t& out);
    bool setWaveLevel(uint16_t level);

    // The raw channel values (the dialog's balance, tests).
    std::array<uint32_t, 2> channels();
    void setChannels(uint32_t left, uint32_t right);

    // The gain a control value gives: cubic, as desktop volume sliders sound even.
    static float masterGain(uint32_t value);
    static float waveGain(uint16_t level) { return static_cast<float>(level) / 65535.0f; }

    std::atomic<int32_t> lastVolume{0};  // the last percent set by setvolume or the dialog's slider

private:
    bool readPercent(int32_t& out) YV_REQUIRES(mutex_);
    bool writePercent(int32_t percent) YV_REQUIRES(mutex_);
    void apply() YV_REQUIRES(mutex_);

    Mutex mutex_;
    audio::Mixer* engine_ YV_GUARDED_BY(mutex_) = nullptr;
    std::array<uint32_t, 2> ch_ YV_GUARDED_BY(mutex_){kMax, kMax};
    std::array<uint32_t, 2> balance_ YV_GUARDED_BY(mutex_){1, 1};
    uint32_t top_ YV_GUARDED_BY(mutex_) = 1;
    bool muted_ YV_GUARDED_BY(mutex_) = false;
    uint16_t wave_ YV_GUARDED_BY(mutex_) = 0xFFFF;
};

}  // namespace yv
