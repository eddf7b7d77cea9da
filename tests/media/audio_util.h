// Sound test helpers: WAVE and MIDI files made byte by byte, and measurements of what the mixer
// produced (levels and tone detection).
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace yv::testaudio {

constexpr double kPi = 3.14159265358979323846;

// A PCM WAVE file: samples interleaved, 8-bit (unsigned) or 16-bit.
std::string wavFile(const std::vector<int16_t>& samples, int rate, int channels, int bits = 16);
// A sine of `ms` milliseconds at `amplitude` (0..1 of full scale), 16-bit stereo or mono.
std::vector<int16_t> sine(double hz, int ms, int rate, int channels, double amplitude = 0.5);

// Standard MIDI file pieces.
std::string vlq(uint32_t v);
std::string midiFile(int format, int division, const std::vector<std::string>& tracks);
// A track chunk from event bytes (delta times included); an End of Track is appended.
std::string midiTrack(const std::string& events);
// One note held for `ticks` at 500000 us per quarter unless tempo events say otherwise.
std::string noteEvents(int channel, int key, uint32_t ticks, int program = 0);

// A WAVE file as written by --audio-out, read back: 16-bit stereo frames.
struct Wav {
    int rate = 0, channels = 0, bits = 0;
    std::vector<int16_t> samples;  // interleaved
    size_t frames() const { return channels ? samples.size() / static_cast<size_t>(channels) : 0; }
    double left(size_t frame) const { return samples[frame * static_cast<size_t>(channels)] / 32768.0; }
};
Wav readWav(const std::filesystem::path& file);
Wav parseWav(const std::string& bytes);

// RMS of the left channel over [from, to) frames.
double rms(const Wav& w, size_t from, size_t to);
double rms(const std::vector<float>& stereo, size_t from, size_t to);
// The strength of one frequency in the left channel over [from, to) (Goertzel, as amplitude).
double tone(const Wav& w, double hz, size_t from, size_t to);
// The first frame at or after `from` whose left sample is above `threshold` in magnitude.
size_t firstLoud(const Wav& w, size_t from, double threshold);
// The first frame at or after `from` from which 10 ms stay at or below `threshold`.
size_t firstQuiet(const Wav& w, size_t from, double threshold);
// The largest step between two frames in a row over [from, to), either channel (a click).
double maxJump(const Wav& w, size_t from, size_t to);

}  // namespace yv::testaudio
