// The one place that knows the sound formats: a file's bytes and what the game asks of them
// (a wave, a MIDI song, a sound effect), or a CD's track files, become a Sound that makes the
// sources the voices play. The players never look at what a file holds.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/audio/stream_source.h"

namespace yv::audio {

// What a file is opened as.
enum class SoundKind {
    Wave,    // the wave player: WAVE decoded whole, else any sound FFmpeg decodes, streamed
    Midi,    // the MIDI player: a standard MIDI file played on the soundfont
    Effect,  // playwave: WAVE only, decoded whole (its length holds the script)
};

// What a source needs when it is made: the synthesizer MIDI plays on (nullptr until the
// soundfont has loaded) and what makes a stream's decoding give up (the game closing).
struct SourceContext {
    MidiSynth* synth = nullptr;
    std::function<bool()> stop;
};

class Sound {
public:
    virtual ~Sound() = default;
    // A source from the start; with `loop` it starts again at its end without a gap. Nullptr
    // when it cannot play now (a song before the synthesizer is there).
    virtual std::unique_ptr<Source> play(bool loop, const SourceContext& context) const = 0;
    // The length in frames at kRate; -1 when it is not known without decoding it all.
    virtual int64_t frames() const { return -1; }
};

struct OpenedSound {
    std::unique_ptr<const Sound> sound;
    std::string error;  // why there is no sound
    explicit operator bool() const { return sound != nullptr; }
};

// The file's bytes opened as `kind` asks, checked far enough that playing it will work.
OpenedSound openSound(std::string bytes, SoundKind kind);
// The stretches of a CD's track files played one after the other; an error when there are none.
OpenedSound openTracks(std::vector<Segment> tracks);

}  // namespace yv::audio
