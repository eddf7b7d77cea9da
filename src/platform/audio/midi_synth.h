// The General MIDI synthesizer (FluidSynth with the soundfont loaded once) and the source that
// plays a MIDI song on it. After loading, the synthesizer is touched by the audio thread only,
// so it runs without FluidSynth's own locking.
#pragma once

#include <filesystem>
#include <memory>

#include "platform/audio/mixer.h"
#include "platform/audio/midi_file.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

namespace yv::audio {

class MidiSynth {
public:
    MidiSynth();
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // Loads the soundfont (any thread, before the synthesizer is handed to the audio side).
    bool load(const std::filesystem::path& soundfont);

    // Audio thread.
    void reset();
    void send(const MidiEvent& e, const char* sysexData);
    void render(float* left, float* right, int frames);

private:
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
};

// A song from the start; with `loop` it starts again at its end without a gap.
std::unique_ptr<Source> makeMidiSource(MidiSynth& synth, std::shared_ptr<const MidiSong> song, bool loop);

}  // namespace yv::audio
