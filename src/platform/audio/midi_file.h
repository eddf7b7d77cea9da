// Standard MIDI files (formats 0, 1 and 2, also wrapped as RIFF "RMID") read into one list of
// events timed in output frames, so that the audio thread only has to walk it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace yv::audio {

struct MidiEvent {
    int64_t frame = 0;       // when, in frames at the engine's rate from the song's start
    uint8_t status = 0;      // channel message status byte, or 0xF0 for a system exclusive
    uint8_t data1 = 0, data2 = 0;
    uint32_t sysexOffset = 0, sysexLength = 0;  // into MidiSong::sysex, without F0 / F7
};

struct MidiSong {
    std::vector<MidiEvent> events;  // in time order
    std::vector<char> sysex;
    int64_t lengthFrames = 0;       // the end of the longest track
};

// Songs longer than this are cut here: a damaged delta time must not make a day-long song.
constexpr int64_t kMaxMidiSeconds = 6 * 3600;

// Nothing (and a one-line reason in `why`) when the data is not a MIDI file we can play.
std::shared_ptr<const MidiSong> parseMidi(std::string_view data, int rate, std::string* why = nullptr);

}  // namespace yv::audio
