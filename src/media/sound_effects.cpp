// The sound effects of playwave / stopwave: one sound at a time on its own voice.
#include "media/media.h"

#include "platform/audio/sound.h"
#include "runtime.h"

namespace yv::media {

void playSound(Runtime& rt, BytesView name, int32_t wait, int32_t loop) {
    audio::Mixer* mixer = rt.platform.audio();
    if (!mixer) return;
    mixer->clear(audio::kVoiceSound);
    auto data = rt.resources.read(name);
    if (!data) return;
    const auto opened = audio::openSound(std::move(*data), audio::SoundKind::Effect);
    if (!opened) return;  // nothing plays in place of a sound that cannot be read
    const int64_t ms = opened.sound->frames() * 1000 / audio::kRate;
    mixer->start(audio::kVoiceSound, opened.sound->play(loop != 0, {}), true);
    if (wait == 0) return;
    // The script is held for the sound's length (one pass of a looping sound, which then goes on
    // looping); a close of the window ends the wait.
    double left = static_cast<double>(ms);
    while (left > 0 && rt.interp.running && !rt.interp.halt) {
        const double slice = std::min(left, 50.0);
        if (!rt.sleep(slice)) break;
        left -= slice;
    }
}

void stopSound(Runtime& rt) {
    if (audio::Mixer* mixer = rt.platform.audio()) mixer->clear(audio::kVoiceSound);
}

}  // namespace yv::media
