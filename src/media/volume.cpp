// Volume arithmetic over the emulated mixer control.
#include "media/volume.h"

#include <algorithm>

#include "platform/audio/mixer.h"

namespace yv {

void Volume::attach(audio::Mixer* engine) {
    MutexLock lock(mutex_);
    engine_ = engine;
    apply();
}

float Volume::masterGain(uint32_t value) {
    const float x = static_cast<float>(std::min(value, kMax)) / static_cast<float>(kMax);
    return x * x * x;
}

void Volume::apply() {
    if (!engine_) return;
    engine_->setMasterGain(masterGain(ch_[0]), masterGain(ch_[1]));
    engine_->setMute(muted_);
    engine_->setWaveGain(waveGain(wave_));
}

bool Volume::readPercent(int32_t& out) {
    if (!engine_) return false;
    const uint32_t value = std::max(ch_[0], ch_[1]);
    out = static_cast<int32_t>(((kMax - kMin) / 2 + value * 100u - kMin * 100u) / (kMax - kMin));
    return true;
}

bool Volume::writePercent(int32_t percent) {
    if (!engine_) return false;
    const uint32_t top = std::max(ch_[0], ch_[1]);
    if (top != 0) {
        balance_ = ch_;
        top_ = top;
    }
    // Percentages outside 0..100 end at the control's bounds.
    const int64_t value = std::clamp<int64_t>(kMin + int64_t{percent} * (kMax - kMin) / 100, kMin, kMax);
    for (size_t i = 0; i < ch_.size(); ++i)
        ch_[i] = static_cast<uint32_t>(value * balance_[i] / std::max<uint32_t>(top_, 1));
    apply();
    return true;
}

bool Volume::percent(int32_t& out) {
    MutexLock lock(mutex_);
    return readPercent(out);
}

bool Volume::setPercent(int32_t percent) {
    MutexLock lock(mutex_);
    return writePercent(percent);
}

bool Volume::change(int32_t delta) {
    MutexLock lock(mutex_);
    int32_t p = 0;
    if (!readPercent(p)) return false;
    return writePercent(std::clamp<int32_t>(p + delta, 0, 100));
}

bool Volume::mute(bool& out) {
    MutexLock lock(mutex_);
    if (!engine_) return false;
    out = muted_;
    return true;
}

bool Volume::setMute(bool on) {
    MutexLock lock(mutex_);
    if (!engine_) return false;
    muted_ = on;
    apply();
    return true;
}

bool Volume::toggleMute() {
    MutexLock lock(mutex_);
    if (!engine_) return false;
    muted_ = !muted_;
    apply();
    return true;
}

bool Volume::waveLevel(uint16_t& out) {
    MutexLock lock(mutex_);
    if (!engine_) return false;
    out = wave_;
    return true;
}

bool Volume::setWaveLevel(uint16_t level) {
    MutexLock lock(mutex_);
    if (!engine_) return false;
    wave_ = level;
    apply();
    return true;
}

std::array<uint32_t, 2> Volume::channels() {
    MutexLock lock(mutex_);
    return ch_;
}

void Volume::setChannels(uint32_t left, uint32_t right) {
    MutexLock lock(mutex_);
    ch_ = {std::min(left, kMax), std::min(right, kMax)};
    apply();
}

}  // namespace yv
