// FluidSynth behind the synthesizer, and the MIDI source that walks a song's events.
#include "platform/audio/midi_synth.h"
#include "platform/audio/media_libs.h"

#include <fluidsynth.h>

#include <algorithm>

namespace yv::audio {

MidiSynth::MidiSynth() {
    if (!libs::load(libs::Group::FluidSynth)) return;  // no synthesizer: load() says so
    // FluidSynth reports on stderr by default; the caller reports a failed load itself.
    for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
    settings_ = new_fluid_settings();
    if (!settings_) return;
    fluid_settings_setnum(settings_, "synth.sample-rate", kRate);
    // Only the audio thread plays on it once it is loaded.
    fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
    fluid_settings_setnum(settings_, "synth.gain", 0.5);
    synth_ = new_fluid_synth(settings_);
}

MidiSynth::~MidiSynth() {
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

bool MidiSynth::load(const std::filesystem::path& soundfont) {
    return synth_ && fluid_synth_sfload(synth_, soundfont.c_str(), 1) != FLUID_FAILED;
}

void MidiSynth::reset() { fluid_synth_system_reset(synth_); }

void MidiSynth::send(const MidiEvent& e, const char* sysexData) {
    const int ch = e.status & 0x0F;
    switch (e.status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth_, ch, e.data1); break;
    case 0x90:
        if (e.data2 == 0)
            fluid_synth_noteoff(synth_, ch, e.data1);
        else
            fluid_synth_noteon(synth_, ch, e.data1, e.data2);
        break;
    case 0xA0: fluid_synth_key_pressure(synth_, ch, e.data1, e.data2); break;
    case 0xB0: fluid_synth_cc(synth_, ch, e.data1, e.data2); break;
    case 0xC0: fluid_synth_program_change(synth_, ch, e.data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth_, ch, e.data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth_, ch, e.data1 | (e.data2 << 7)); break;
    case 0xF0:
        if (sysexData && e.sysexLength > 0)
            fluid_synth_sysex(synth_, sysexData, static_cast<int>(e.sysexLength), nullptr, nullptr, nullptr, 0);
        break;
    default: break;
    }
}

void MidiSynth::render(float* left, float* right, int frames) {
    fluid_synth_write_float(synth_, frames, left, 0, 1, right, 0, 1);
}

namespace {

class MidiSource final : public Source {
public:
    MidiSource(MidiSynth& synth, std::shared_ptr<const MidiSong> song, bool loop)
        : synth_(synth), song_(std::move(song)), loop_(loop), left_(new float[kChunk]), right_(new float[kChunk]) {}

    size_t render(float* out, size_t frames) override {
        if (fresh_) {
            synth_.reset();
            fresh_ = false;
        }
        const MidiSong& s = *song_;
        size_t made = 0;
        while (made < frames) {
            while (next_ < s.events.size() && s.events[next_].frame <= at_) {
                const MidiEvent& e = s.events[next_++];
                synth_.send(e, e.status == 0xF0 ? s.sysex.data() + e.sysexOffset : nullptr);
            }
            if (at_ >= s.lengthFrames) {
                // An empty song never loops: it would spin without producing anything.
                if (!loop_ || s.lengthFrames <= 0) break;
                synth_.reset();
                at_ = 0;
                next_ = 0;
                continue;
            }
            int64_t until = s.lengthFrames;
            if (next_ < s.events.size()) until = std::min(until, s.events[next_].frame);
            const size_t n = static_cast<size_t>(
                std::min<int64_t>({until - at_, static_cast<int64_t>(frames - made), static_cast<int64_t>(kChunk)}));
            synth_.render(left_.get(), right_.get(), static_cast<int>(n));
            float* o = out + made * 2;
            for (size_t i = 0; i < n; ++i) {
                o[2 * i] = left_[i];
                o[2 * i + 1] = right_[i];
            }
            made += n;
            at_ += static_cast<int64_t>(n);
        }
        return made;
    }
    int64_t position() const override { return at_; }

private:
    static constexpr size_t kChunk = 1024;
    MidiSynth& synth_;
    std::shared_ptr<const MidiSong> song_;
    bool loop_;
    bool fresh_ = true;
    size_t next_ = 0;
    int64_t at_ = 0;
    std::unique_ptr<float[]> left_, right_;
};

}  // namespace

std::unique_ptr<Source> makeMidiSource(MidiSynth& synth, std::shared_ptr<const MidiSong> song, bool loop) {
    if (!song) return nullptr;
    return std::make_unique<MidiSource>(synth, std::move(song), loop);
}

}  // namespace yv::audio
