// MIDI files read into timed events, played on the soundfont; every corpus file loads and plays
// or is refused cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "media/audio_util.h"
#include "media/soundfont.h"
#include "platform/audio/audio_engine.h"
#include "platform/audio/midi_file.h"
#include "platform/audio/midi_synth.h"
#include "test_util.h"

using namespace yv;
using namespace yv::audio;
using namespace yv::testaudio;

namespace {

constexpr int kR = 44100;

std::string meta(uint32_t delta, int type, const std::string& data) {
    return vlq(delta) + std::string("\xFF", 1) + static_cast<char>(type) + vlq(static_cast<uint32_t>(data.size())) + data;
}
std::string tempo(uint32_t delta, uint32_t us) {
    return meta(delta, 0x51, std::string{static_cast<char>(us >> 16), static_cast<char>(us >> 8), static_cast<char>(us)});
}

// The synthesizer on the system's soundfont, or nothing.
std::unique_ptr<MidiSynth> systemSynth() {
    auto sf = media::findSoundfont(std::nullopt, std::filesystem::temp_directory_path());
    if (!sf) return nullptr;
    auto s = std::make_unique<MidiSynth>();
    if (!s->load(*sf)) return nullptr;
    return s;
}

}  // namespace

TEST(MidiFile, TimesFollowTheTempoMapAcrossTracks) {
    // Track 0: the tempo doubles after one quarter. Track 1: notes on quarters, running status.
    const std::string conductor = tempo(0, 500000) + tempo(480, 250000);
    std::string notes = vlq(0) + "\x90\x3C\x64" + vlq(480) + std::string("\x3C\x00", 2) + vlq(0) + "\x3E\x64" +
                        vlq(480) + std::string("\x3E\x00", 2);
    auto song = parseMidi(midiFile(1, 480, {midiTrack(conductor), midiTrack(notes)}), kR);
    ASSERT_TRUE(song);
    ASSERT_EQ(song->events.size(), 4u);
    EXPECT_EQ(song->events[0].frame, 0);
    EXPECT_EQ(song->events[1].frame, kR / 2);  // one quarter at 120 bpm
    EXPECT_EQ(song->events[1].data2, 0);       // running status kept the note-on
    EXPECT_EQ(song->events[3].frame, kR / 2 + kR / 4);
    EXPECT_EQ(song->lengthFrames, kR / 2 + kR / 4);

    // Format 2: the patterns follow one another.
    auto seq = parseMidi(midiFile(2, 480, {midiTrack(noteEvents(0, 60, 480)), midiTrack(noteEvents(1, 62, 480))}), kR);
    ASSERT_TRUE(seq);
    EXPECT_EQ(seq->lengthFrames, kR);
    EXPECT_EQ(seq->events.back().frame, kR);

    // SMPTE: 25 frames of 40 ticks a second, whatever the tempo says.
    auto smpte = parseMidi(midiFile(0, (0xE7 << 8) | 40, {midiTrack(tempo(0, 100000) + noteEvents(0, 60, 1000))}), kR);
    ASSERT_TRUE(smpte);
    EXPECT_EQ(smpte->lengthFrames, kR);

    // A RIFF RMID wrapper and a system exclusive message (stored without F0 / F7).
    const std::string inner = midiFile(0, 96, {midiTrack(vlq(0) + std::string("\xF0\x05\x7E\x7F\x09\x01\xF7", 7) +
                                                        noteEvents(0, 60, 96))});
    std::string rmid = "RIFF";
    const uint32_t size = static_cast<uint32_t>(4 + 8 + inner.size());
    for (int i = 0; i < 4; ++i) rmid += static_cast<char>(size >> (8 * i));
    rmid += "RMIDdata";
    for (int i = 0; i < 4; ++i) rmid += static_cast<char>(inner.size() >> (8 * i));
    rmid += inner;
    auto wrapped = parseMidi(rmid, kR);
    ASSERT_TRUE(wrapped);
    ASSERT_EQ(wrapped->events[0].status, 0xF0);
    EXPECT_EQ(wrapped->events[0].sysexLength, 4u);
    EXPECT_EQ(std::string(wrapped->sysex.data(), 4), std::string("\x7E\x7F\x09\x01", 4));
}

TEST(MidiFile, DamagedFilesAreRefusedOrCutWhereTheyBreak) {
    std::string why;
    EXPECT_FALSE(parseMidi("", kR, &why));
    EXPECT_FALSE(parseMidi("RIFF....RMIDjunk", kR));
    EXPECT_FALSE(parseMidi(midiFile(0, 0, {midiTrack(noteEvents(0, 60, 1))}), kR, &why));
    EXPECT_EQ(why, "MIDI file without a time division");
    EXPECT_FALSE(parseMidi(midiFile(0, 96, {}), kR, &why));
    EXPECT_FALSE(parseMidi(midiFile(5, 96, {midiTrack("")}), kR));

    // Every cut of a valid file parses or is refused, never reading past the end.
    const std::string good = midiFile(1, 96, {midiTrack(tempo(0, 400000) + noteEvents(0, 60, 96) +
                                                        vlq(0) + std::string("\xF0\x03\x01\x02\xF7", 5)),
                                              midiTrack(noteEvents(9, 36, 48))});
    for (size_t n = 0; n <= good.size(); ++n) {
        auto s = parseMidi(good.substr(0, n), kR);
        if (s) {
            for (const MidiEvent& e : s->events) {
                EXPECT_LE(e.frame, s->lengthFrames);
                if (e.status == 0xF0) {
                    EXPECT_LE(size_t(e.sysexOffset) + e.sysexLength, s->sysex.size());
                }
            }
        }
    }
    // A data byte with no status to run on ends the track; lengths beyond the file are clipped;
    // a day-long delta is cut at the limit.
    auto stray = parseMidi(midiFile(0, 96, {midiTrack(vlq(0) + std::string("\x40\x40", 2))}), kR);
    ASSERT_TRUE(stray);
    EXPECT_TRUE(stray->events.empty());
    std::string lying = midiFile(0, 96, {midiTrack(noteEvents(0, 60, 10))});
    lying[18] = '\x7F';  // the track claims two gigabytes
    EXPECT_TRUE(parseMidi(lying, kR));
    auto longSong = parseMidi(midiFile(0, 1, {midiTrack(tempo(0, 0xFFFFFF) + noteEvents(0, 60, 0x0FFFFFFF))}), kR);
    ASSERT_TRUE(longSong);
    EXPECT_LE(longSong->lengthFrames, kMaxMidiSeconds * kR);
}

TEST(MidiFile, SongsPlayOnTheSoundfontAndLoop) {
    auto synth = systemSynth();
    if (!synth) GTEST_SKIP() << "no General MIDI soundfont on this machine";
    // Half a second of A4 on a piano, then silence until the end.
    auto song = parseMidi(midiFile(0, 480, {midiTrack(noteEvents(0, 69, 480) + meta(480, 0x01, "x"))}), kR);
    ASSERT_TRUE(song);
    ASSERT_EQ(song->lengthFrames, kR);
    AudioEngine e;
    e.start(4, makeMidiSource(*synth, song, true), false);
    std::vector<float> out(kR * 2 * 2);
    e.pull(out.data(), out.size() / 2);
    EXPECT_GT(rms(out, 0, kR / 4), 0.01);          // the note sounds
    EXPECT_GT(rms(out, kR, kR + kR / 4), 0.01);    // and again after the loop
    EXPECT_EQ(e.ends(4), 0u);
    e.start(4, makeMidiSource(*synth, song, false), false);
    e.pull(out.data(), out.size() / 2);
    EXPECT_EQ(e.ends(4), 1u);
    EXPECT_LT(rms(out, kR + 100, 2 * kR), 1e-6);  // nothing after the end
}

TEST(MidiFile, EveryCorpusFileLoadsAndPlaysOrIsRefused) {
    const std::filesystem::path dir = std::filesystem::path(YV_CORPUS_DIR) / "midi";
    if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no MIDI corpus at " << dir;
    auto synth = systemSynth();
    AudioEngine e;
    std::vector<std::filesystem::path> files;
    for (const auto& f : std::filesystem::directory_iterator(dir)) files.push_back(f.path());
    std::sort(files.begin(), files.end());
    int played = 0, refused = 0;
    std::vector<float> out(4096 * 2);
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        std::string why;
        auto song = parseMidi(ss.str(), kR, &why);
        if (!song) {
            ++refused;
            EXPECT_FALSE(why.empty()) << f;
            std::printf("refused %s: %s\n", f.filename().c_str(), why.c_str());
            continue;
        }
        ++played;
        for (size_t i = 1; i < song->events.size(); ++i) ASSERT_LE(song->events[i - 1].frame, song->events[i].frame) << f;
        if (!synth) continue;
        // The first two seconds.
        e.start(4, makeMidiSource(*synth, song, false), false);
        for (int i = 0; i < 22; ++i) e.pull(out.data(), 4096);
        for (float v : out) ASSERT_TRUE(std::isfinite(v) && v >= -1.0f && v <= 1.0f) << f;
    }
    EXPECT_GT(played, 0);
    std::printf("MIDI corpus: %d played, %d refused\n", played, refused);
}
