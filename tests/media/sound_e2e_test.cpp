// Games that play sound, run headless through the program with --audio-out: what a player would
// hear is read back from the written file and measured (tones, levels, where sounds start/stop).
#include <gtest/gtest.h>

#include "media/audio_util.h"
#include "test_util.h"

using namespace yv;
using namespace yv::testaudio;

namespace {

constexpr int kR = 44100;
// Frames of a time in milliseconds, and back.
constexpr size_t fr(size_t ms) { return ms * kR / 1000; }
constexpr size_t msOf(size_t frames) { return frames * 1000 / kR; }

struct Game {
    TempDir dir;
    std::string err;
    Wav out;
    int status = -1;

    Game() { dir.write("start.ini", "[MCI]\r\nWave=1\r\nMidi=1\r\nCdda=1\r\n"); }
    // A tone file: `ms` of `hz` at half scale, then `gapMs` of silence.
    void tone(const std::string& name, double hz, int ms, int gapMs = 0) {
        auto s = sine(hz, ms, kR, 2);
        s.resize(s.size() + fr(static_cast<size_t>(gapMs)) * 2, 0);
        dir.write(name, wavFile(s, kR, 2));
    }
    void run(const std::string& script) {
        dir.write("script.txt", sjis(script));
        RunResult r = runYorvane({"--headless", "--max-seconds", "60", "--audio-out",
                                  (dir.path() / "out.wav").string(), dir.path().string()});
        status = r.status;
        err = r.err;
        out = readWav(dir.path() / "out.wav");
    }
    // Level of the 440 Hz (or other) tone in a window given in milliseconds of the run.
    double at(double hz, size_t fromMs, size_t toMs) const { return tone_(hz, fromMs, toMs); }
    double level(size_t fromMs, size_t toMs) const { return rms(out, fr(fromMs), fr(toMs)); }

private:
    double tone_(double hz, size_t fromMs, size_t toMs) const { return yv::testaudio::tone(out, hz, fr(fromMs), fr(toMs)); }
};

// The sound of a request posted at the start begins at the first tick, 100 ms in.
constexpr size_t kFirstTick = 100;
// A sound stopped or replaced while heard fades out over 5 ms.
constexpr size_t kFade = fr(5);

}  // namespace

TEST(SoundGames, LoopingWaveIsHeardThroughoutWithTheSeamWhereTheFileEnds) {
    Game g;
    g.tone("tone.wav", 440, 290, 10);  // 300 ms: the last 10 ms silent mark where each pass ends
    g.run("#openplaymciwave(\"tone.wav\", 1);\r\n#wait(1500);\r\n#end();\r\n");
    ASSERT_EQ(g.status, 0) << g.err;
    ASSERT_EQ(g.out.rate, kR);
    ASSERT_EQ(g.out.channels, 2);
    ASSERT_GE(g.out.frames(), fr(1500));
    EXPECT_LT(g.level(0, kFirstTick), 1e-4);
    EXPECT_NEAR(static_cast<double>(firstLoud(g.out, 0, 0.01)), fr(kFirstTick), 2);
    // Each pass: 290 ms of tone, then the 10 ms mark, exactly one file length apart.
    for (size_t pass = 0; pass < 4; ++pass) {
        const size_t start = kFirstTick + pass * 300;
        EXPECT_NEAR(g.at(440, start + 10, start + 280), 0.5, 0.02) << pass;
        EXPECT_LT(g.level(start + 291, start + 299), 1e-4) << pass;
    }
}

TEST(SoundGames, WaveWithoutLoopStopsAtItsLengthAndStopEndsALoop) {
    Game g;
    g.tone("tone.wav", 440, 300);
    g.run("#openplaymciwave(\"tone.wav\", 0);\r\n#wait(800);\r\n#end();\r\n");
    ASSERT_EQ(g.status, 0) << g.err;
    EXPECT_NEAR(g.at(440, kFirstTick, kFirstTick + 300), 0.5, 0.02);
    EXPECT_EQ(firstQuiet(g.out, fr(kFirstTick), 1e-4), fr(kFirstTick + 300));
    EXPECT_LT(g.level(kFirstTick + 300, 800), 1e-4);

    // stopmciwave: posted after 500 ms, carried out at the tick at 600 ms.
    Game s;
    s.tone("tone.wav", 440, 300);
    s.run("#openplaymciwave(\"tone.wav\", 1);\r\n#wait(470);\r\n#stopmciwave();\r\n#wait(600);\r\n#end();\r\n");
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_NEAR(s.at(440, kFirstTick, 500), 0.5, 0.02);
    const size_t quiet = firstQuiet(s.out, fr(kFirstTick), 1e-4);
    EXPECT_LE(quiet % (fr(100)), kFade);  // on a tick, faded out over 5 ms
    EXPECT_GE(quiet, fr(500));
    EXPECT_LE(quiet, fr(700));
    EXPECT_LT(rms(s.out, quiet, fr(1000)), 1e-4);
}

TEST(SoundGames, OpenThenPlayBeforeATickCarriesOutOnlyThePlay) {
    Game g;
    g.tone("tone.wav", 440, 300);
    g.run("#openmciwave(\"tone.wav\");\r\n#playmciwave(0);\r\n#wait(600);\r\n#end();\r\n");
    ASSERT_EQ(g.status, 0) << g.err;
    EXPECT_LT(g.level(0, 600), 1e-4);  // the play found no open device

    Game h;  // with a tick between them the file is opened, then played
    h.tone("tone.wav", 440, 300);
    h.run("#openmciwave(\"tone.wav\");\r\n#wait(150);\r\n#playmciwave(0);\r\n#wait(600);\r\n#end();\r\n");
    ASSERT_EQ(h.status, 0) << h.err;
    EXPECT_NEAR(static_cast<double>(firstLoud(h.out, 0, 0.01)), fr(200), 2);
}

TEST(SoundGames, PlaywaveWithWaitHoldsTheScriptForTheSoundsLength) {
    Game g;
    g.tone("a.wav", 440, 400);
    g.tone("b.wav", 660, 300);
    // The second sound replaces the first: with wait it comes only once the first is over.
    g.run("#playwave(\"a.wav\", 1, 0);\r\n#playwave(\"b.wav\", 0, 0);\r\n#wait(600);\r\n#end();\r\n");
    ASSERT_EQ(g.status, 0) << g.err;
    const size_t start = msOf(firstLoud(g.out, 0, 0.01));
    EXPECT_LE(start, 40u);
    EXPECT_NEAR(g.at(440, start + 10, start + 390), 0.5, 0.02);
    EXPECT_LT(g.at(660, start + 10, start + 390), 0.02);
    EXPECT_NEAR(g.at(660, start + 420, start + 690), 0.5, 0.02);

    Game n;  // without wait the second sound cuts the first at once
    n.tone("a.wav", 440, 400);
    n.tone("b.wav", 660, 300);
    n.run("#playwave(\"a.wav\", 0, 0);\r\n#playwave(\"b.wav\", 0, 0);\r\n#wait(600);\r\n#end();\r\n");
    ASSERT_EQ(n.status, 0) << n.err;
    EXPECT_LT(n.at(440, 0, 600), 0.02);
    EXPECT_GT(n.at(660, 0, 300), 0.3);

    Game z;  // no numbers: waited for, played once
    z.tone("a.wav", 440, 200);
    z.tone("b.wav", 660, 200);
    z.run("#playwave(\"a.wav\");\r\n#playwave(\"b.wav\", 0, 0);\r\n#wait(600);\r\n#end();\r\n");
    ASSERT_EQ(z.status, 0) << z.err;
    const size_t zs = msOf(firstLoud(z.out, 0, 0.01));
    EXPECT_NEAR(z.at(440, zs + 10, zs + 190), 0.5, 0.02);
    EXPECT_NEAR(z.at(660, zs + 220, zs + 390), 0.5, 0.02);
}

TEST(SoundGames, MidiPlaysAndItsTimeAdvances) {
    Game g;
    // Two seconds of a held C major chord on channel 0 (480 ticks a quarter at 120 bpm).
    std::string ev = vlq(0) + std::string("\xC0\x00", 2);
    for (int k : {60, 64, 67}) ev += vlq(0) + std::string{'\x90', static_cast<char>(k), '\x64'};
    ev += vlq(1920) + std::string("\x80\x3C\x00", 3);
    g.dir.write("song.mid", midiFile(0, 480, {midiTrack(ev)}));
    g.run("#openplaymcimidi(\"song.mid\");\r\n#wait(1000);\r\n@901 = #getmiditime();\r\n#systemsave();\r\n#end();\r\n");
    ASSERT_EQ(g.status, 0) << g.err;
    if (g.err.find("soundfont") != std::string::npos) GTEST_SKIP() << g.err;
    EXPECT_LT(g.level(0, kFirstTick), 1e-4);
    EXPECT_GT(g.level(kFirstTick + 50, kFirstTick + 800), 0.02);
    const auto vars = readSystemDat(g.dir.path() / "system.dat");
    ASSERT_EQ(vars.size(), 1u);
    EXPECT_GE(vars[0].second, 900);
    EXPECT_LE(vars[0].second, 1000);
}

TEST(SoundGames, CdTrackFilesPlayARangeInOrderAndLoop) {
    Game g;
    g.tone("CD/Track02.wav", 440, 500);
    g.tone("CD/track03.wav", 660, 500);
    g.tone("CD/track04.wav", 880, 500);
    // Tracks 2 and 3 (the range ends where track 4 begins), over and over.
    g.run("#cddaready();\r\n#openplaymcicdda(2, 4, 1);\r\n#wait(2200);\r\n@901 = #getcddastatus();\r\n"
          "#systemsave();\r\n#end();\r\n");
    ASSERT_EQ(g.status, 0) << g.err;
    const size_t s = kFirstTick;
    EXPECT_NEAR(static_cast<double>(firstLoud(g.out, 0, 0.01)), fr(s), 2);
    for (size_t pass = 0; pass < 2; ++pass) {
        const size_t p = s + pass * 1000;
        EXPECT_NEAR(g.at(440, p + 20, p + 480), 0.5, 0.03) << pass;
        EXPECT_NEAR(g.at(660, p + 520, p + 980), 0.5, 0.03) << pass;
        EXPECT_LT(g.at(880, p + 20, p + 980), 0.02) << pass;
    }
    EXPECT_EQ(readSystemDat(g.dir.path() / "system.dat"), (std::vector<std::pair<int, int>>{{901, 1}}));
}

TEST(SoundGames, CueSheetWithABinImagePlaysItsTracks) {
    Game g;
    // One BIN: a second of data track, then two audio tracks of half a second each.
    std::string bin(kR * 4, '\x55');
    for (double hz : {550.0, 330.0}) {
        const auto s = sine(hz, 500, kR, 2);
        for (int16_t v : s) {
            bin += static_cast<char>(static_cast<uint16_t>(v) & 0xFF);
            bin += static_cast<char>(static_cast<uint16_t>(v) >> 8);
        }
    }
    g.dir.write("cdaudio/game.bin", bin);
    g.dir.write("cdaudio/GAME.CUE", "FILE \"GAME.BIN\" BINARY\r\n  TRACK 01 MODE1/2352\r\n    INDEX 01 00:00:00\r\n"
                                    "  TRACK 02 AUDIO\r\n    INDEX 01 00:01:00\r\n  TRACK 03 AUDIO\r\n    INDEX 01 00:01:37\r\n");
    // 00:01:37 is 1.4933 s: track 2 is 0.4933 s long, track 3 runs to the end of the image.
    g.run("#openplaymcicdda(2, -1);\r\n#wait(400);\r\n@901 = #getcddatime();\r\n#wait(1000);\r\n"
          "@902 = #getcddatime();\r\n#systemsave();\r\n#end();\r\n");
    ASSERT_EQ(g.status, 0) << g.err;
    const size_t s = kFirstTick;
    EXPECT_NEAR(g.at(550, s + 20, s + 480), 0.5, 0.03);
    EXPECT_NEAR(g.at(330, s + 520, s + 980), 0.5, 0.03);
    EXPECT_LT(g.level(s + 1010, 1400), 1e-4);  // the data track is never played
    // Positions over the whole disc: track 2 begins a second in.
    EXPECT_EQ(readSystemDat(g.dir.path() / "system.dat"), (std::vector<std::pair<int, int>>{{901, 1}, {902, 2}}));
}

TEST(SoundGames, ABlockingFadeReachesZeroInSixteenStepsAndTheOutputFollows) {
    Game g;
    g.tone("long.wav", 440, 1000);
    // The request is posted just before the fade holds the script: the players' ticks go on,
    // so it is carried out during the fade.
    g.run("#openplaymciwave(\"long.wav\", 1);\r\n#fadevolumewait(-5, 80);\r\n@901 = #getvolume();\r\n@901 += 1000;\r\n"
          "#wait(300);\r\n#systemsave();\r\n#end();\r\n");
    ASSERT_EQ(g.status, 0) << g.err;
    EXPECT_EQ(readSystemDat(g.dir.path() / "system.dat"), (std::vector<std::pair<int, int>>{{901, 1000}}));
    // Every step of the fade is heard for 150 ms at its volume (the curve: percent cubed).
    const size_t sound = msOf(firstLoud(g.out, 0, 0.001));
    EXPECT_EQ(sound, kFirstTick);
    ASSERT_LE(sound, 200u);
    std::vector<double> levels;
    for (size_t t = sound; t + 50 <= msOf(g.out.frames()); t += 50) levels.push_back(g.at(440, t, t + 50));
    for (int pc = 75; pc >= 5; pc -= 5) {
        const double want = 0.5 * (pc / 100.0) * (pc / 100.0) * (pc / 100.0);
        const bool found = std::any_of(levels.begin(), levels.end(), [&](double l) { return std::abs(l - want) < want * 0.05 + 1e-4; });
        EXPECT_TRUE(found) << pc << "%";
    }
    // 16 increments, 150 ms apart from the step after the command (30 ms): the last, to 0 %, at
    // 30 + 15 x 150 ms, heard from the next 10 ms of output on.
    const size_t silent = msOf(firstQuiet(g.out, fr(sound), 2e-5));  // 5 % is 2 steps of 16 bits
    EXPECT_NEAR(static_cast<double>(silent), 30 + 15 * 150 + 10, 12);
    EXPECT_LT(g.level(silent + 5, msOf(g.out.frames())), 2e-5);
}

TEST(SoundGames, MuteSilencesTheOutput) {
    Game g;
    g.tone("long.wav", 440, 1000);
    g.run("#openplaymciwave(\"long.wav\", 1);\r\n#wait(400);\r\n#setmute(1);\r\n#wait(400);\r\n#setmute(0);\r\n"
          "#wait(400);\r\n#end();\r\n");
    ASSERT_EQ(g.status, 0) << g.err;
    const size_t off = msOf(firstQuiet(g.out, fr(150), 1e-4));
    EXPECT_GE(off, 400u);
    EXPECT_LE(off, 500u);
    EXPECT_LT(g.level(off + 30, off + 350), 1e-4);
    const size_t on = msOf(firstLoud(g.out, fr(off + 30), 0.01));
    EXPECT_NEAR(static_cast<double>(on - off), 400, 40);
    EXPECT_NEAR(g.at(440, on + 20, on + 300), 0.5, 0.02);
}

TEST(SoundGames, TheSameGameSoundsTheSameEveryRun) {
    std::string first;
    for (int i = 0; i < 2; ++i) {
        Game g;
        g.tone("tone.wav", 440, 250);
        g.run("#openplaymciwave(\"tone.wav\", 1);\r\n#playwave(\"tone.wav\", 0, 1);\r\n#wait(700);\r\n"
              "#fadevolume(-10);\r\n#wait(900);\r\n#end();\r\n");
        ASSERT_EQ(g.status, 0) << g.err;
        const std::string bytes = g.dir.read("out.wav");
        if (i == 0)
            first = bytes;
        else
            EXPECT_TRUE(bytes == first);
    }
}

TEST(SoundGames, AStopOrAReplacementMidWaveFadesOutInsteadOfClicking) {
    // 437.5 Hz started on a tick stands at its trough one tick (100 ms) later: a cut there
    // would jump half the full scale. Its own steps are at most 0.031.
    for (const char* second : {"#stopmciwave();", "#openplaymciwave(\"quiet.wav\", 0);", "#closemciwave();"}) {
        Game g;
        g.tone("tone.wav", 437.5, 1000);
        g.dir.write("quiet.wav", wavFile(std::vector<int16_t>(fr(500) * 2, 0), kR, 2));
        g.run(std::string("#openplaymciwave(\"tone.wav\", 0);\r\n#wait(150);\r\n") + second + "\r\n#wait(300);\r\n#end();\r\n");
        ASSERT_EQ(g.status, 0) << g.err;
        const size_t cut = 2 * kFirstTick;
        EXPECT_GT(std::abs(g.out.left(fr(cut) - 1)), 0.45) << second;  // heard up to its trough
        EXPECT_LT(maxJump(g.out, fr(kFirstTick), fr(400)), 0.04) << second;
        EXPECT_LT(rms(g.out, fr(cut) + kFade, fr(400)), 1e-4) << second;  // gone 5 ms later
    }
}

TEST(SoundGames, MonoSoundsAreAsLoudThroughFfmpegAsThroughTheWavePlayer) {
    Game g;
    const std::string mono = wavFile(sine(440, 500, kR, 1), kR, 1);
    g.dir.write("tone.wav", mono);      // the wave player's own WAVE reader
    g.dir.write("CD/track02.wav", mono);  // a CD track decodes through FFmpeg
    g.run("#openplaymciwave(\"tone.wav\", 0);\r\n#wait(700);\r\n#openplaymcicdda(2, -1);\r\n#wait(700);\r\n#end();\r\n");
    ASSERT_EQ(g.status, 0) << g.err;
    const double wave = g.level(kFirstTick + 50, kFirstTick + 450);
    const size_t cd = msOf(firstLoud(g.out, fr(700), 0.01));
    ASSERT_LT(cd, 1000u);
    // A half-scale sine on both sides at its full level: 0.5 / sqrt(2).
    EXPECT_NEAR(wave, 0.354, 0.01);
    EXPECT_NEAR(g.level(cd + 50, cd + 450), wave, 0.01);
    for (size_t ms : {kFirstTick + 100, cd + 100})  // both sides alike
        EXPECT_EQ(g.out.samples[fr(ms) * 2], g.out.samples[fr(ms) * 2 + 1]) << ms;
}
