// The mixer as the players, the volumes and the movies see it: voices that each play one source,
// the gains, and the soundfont. The audio engine implements it; nothing outside the audio folder
// needs the engine itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

namespace yv::audio {

constexpr int kRate = 44100;
// No sound file was ever made at a higher rate; a header that claims one is damaged (and
// resampling from tens of megahertz costs seconds and overflows SDL's buffer sizes).
constexpr int kMaxSourceRate = 384000;
constexpr int kVoiceCount = 8;
// A sound stopped or replaced while it is heard fades out over this many frames (5 ms) instead
// of breaking off mid-wave, which clicks.
constexpr size_t kFadeFrames = kRate / 200;
// The voices the players use; the rest are free (tests, benchmarks).
enum Voice : int { kVoiceSound = 0, kVoiceWave = 1, kVoiceMidi = 2, kVoiceCd = 3, kVoiceMovie = 4 };

// Something that produces interleaved stereo float frames at kRate.
class Source {
public:
    virtual ~Source() = default;
    // Audio thread. Writes up to `frames` frames into out and returns how many it wrote; fewer
    // means the sound has ended (a looping source wraps itself and never ends). Must not
    // allocate, lock or wait.
    virtual size_t render(float* out, size_t frames) = 0;
    // Audio thread: where the next frame lies on the sound's own timeline, in frames.
    virtual int64_t position() const = 0;
    // Control side: decodes ahead into the source's buffer; only streaming sources do work.
    virtual void fill() {}
    // Any thread: the source is being dropped. A decode in progress (or to come) gives up at
    // once; what is already decoded still renders.
    virtual void cancel() {}
    virtual bool streaming() const { return false; }
};

class MidiSynth;

// Every call may come from any thread but the audio thread.
class Mixer {
public:
    virtual ~Mixer() = default;

    // Replaces what the voice plays and starts it. `waveGain` puts it under the wave gain.
    virtual void start(int voice, std::unique_ptr<Source> source, bool waveGain) = 0;
    // Stops the voice; its source stays, so its position can still be asked for.
    virtual void stop(int voice) = 0;
    // Stops the voice and drops its source.
    virtual void clear(int voice) = 0;
    // Sounding now (a start not yet taken up by the audio side counts as sounding).
    virtual bool sounding(int voice) = 0;
    // 1 once the source last started has come to its natural end (a looping one never does).
    virtual uint32_t ends(int voice) = 0;
    // Position of the voice's source in frames (0 while a start is not yet taken up).
    virtual int64_t position(int voice) = 0;

    // Master gain per channel (0..1 after the volume curve), master mute, wave gain (0..1).
    virtual void setMasterGain(float left, float right) = 0;
    virtual void setMute(bool on) = 0;
    virtual void setWaveGain(float gain) = 0;

    // The General MIDI soundfont: loaded once, on a thread of its own.
    virtual void loadSoundfont(const std::filesystem::path& file) = 0;
    enum class SoundfontState { None, Loading, Ready, Failed };
    // With `wait`, waits for a load in progress to finish first.
    virtual SoundfontState soundfontState(bool wait) = 0;
    // The synthesizer MIDI sources play on (nullptr until the soundfont is ready).
    virtual MidiSynth* synth() = 0;
};

}  // namespace yv::audio
