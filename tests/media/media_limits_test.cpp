// Media files that are not what they claim: a long tail of junk behind a CD track or a movie (sparse
// files of gigabytes), a movie header claiming a huge picture, an oversized soundfont. The game
// goes on and closes at once; the file ends as a damaged one does.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>

#include "media/audio_util.h"
#include "media/avi_util.h"
#include "platform/video/video_decoder.h"
#include "test_util.h"

using namespace yv;
using namespace yv::testaudio;
using namespace yv::testvideo;

namespace {

constexpr size_t fr(size_t ms) { return ms * 44100 / 1000; }

// Makes a file `bytes` long without writing them: the tail reads as zeros.
void extend(const std::filesystem::path& file, uintmax_t bytes) { std::filesystem::resize_file(file, bytes); }

// Runs a game headless, killed after a minute (the stalls took minutes); how long it took.
struct TimedRun {
    RunResult r;
    double seconds = 0;
    Wav out;
};
TimedRun runGame(const TempDir& dir, const std::string& script) {
    dir.write("script.txt", script);
    TimedRun t;
    const auto start = std::chrono::steady_clock::now();
    t.r = runProgram("timeout", {"-k", "5", "60", YV_BINARY, "--headless", "--audio-out",
                                 (dir.path() / "out.wav").string(), dir.path().string()});
    t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    t.out = readWav(dir.path() / "out.wav");
    return t;
}

// An AVI file whose headers claim another picture width (the main header and the video format).
void setAviWidth(const std::filesystem::path& file, uint32_t width) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    std::string d((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    auto put = [&](size_t at) {
        ASSERT_LT(at + 4, d.size());
        for (int i = 0; i < 4; ++i) d[at + static_cast<size_t>(i)] = static_cast<char>((width >> (8 * i)) & 0xFF);
    };
    const size_t avih = d.find("avih");
    const size_t strf = d.find("strf", d.find("vids"));
    ASSERT_NE(avih, std::string::npos);
    ASSERT_NE(strf, std::string::npos);
    put(avih + 8 + 32);  // dwWidth
    put(strf + 8 + 4);   // biWidth
    f.seekp(0);
    f.write(d.data(), static_cast<std::streamsize>(d.size()));
}

}  // namespace

TEST(MediaLimits, ACdTrackWithALongTailHoldsNeitherTheScriptNorTheClose) {
    // Track 2 is half a second of tone followed by 4 GB of zeros: its header is never finished,
    // so it counts as damaged (silent); track 3 is whole and plays.
    for (const char* script : {"#breakapp();\r\n", "#cddaready();\r\n#openplaymcicdda(2, -1);\r\n#wait(1200);\r\n#end();\r\n"}) {
        TempDir dir;
        dir.write("start.ini", "[MCI]\r\nCdda=1\r\n");
        dir.write("track02.wav", wavFile(sine(440, 500, 44100, 2), 44100, 2));
        dir.write("track03.wav", wavFile(sine(660, 500, 44100, 2), 44100, 2));
        extend(dir.path() / "track02.wav", uintmax_t{4} << 30);
        const TimedRun t = runGame(dir, script);
        ASSERT_EQ(t.r.status, 0) << script << t.r.err;
        EXPECT_LT(t.seconds, 15) << script;
        if (t.out.frames() < fr(1000)) continue;  // breakapp: nothing played
        EXPECT_LT(tone(t.out, 440, 0, fr(1200)), 0.01);
        EXPECT_NEAR(tone(t.out, 660, fr(150), fr(550)), 0.5, 0.03);
    }
}

TEST(MediaLimits, AMovieWithSoundAndAJunkTailPlaysAndTheGameEnds) {
    TempDir dir;
    dir.write("start.ini", "[MCI]\r\nAVI=1\r\n");
    Movie m;  // one second: 10 frames and a 440 Hz tone
    m.frames = 10;
    m.toneHz = 440;
    ASSERT_TRUE(writeAvi(dir.path() / "m.avi", m));
    extend(dir.path() / "m.avi", uintmax_t{4} << 30);
    // The movie's sound decoder read the junk to its end before the sound (and the movie, and
    // the game's close) could end.
    const TimedRun t = runGame(dir, "#playmciavi(\"m.avi\");\r\n#end();\r\n");
    ASSERT_EQ(t.r.status, 0) << t.r.err;
    EXPECT_LT(t.seconds, 15);
    EXPECT_GT(tone(t.out, 440, fr(100), fr(900)), 0.3);
    EXPECT_LT(t.out.frames(), fr(1300));
}

TEST(MediaLimits, AMoviePictureLargerThan4096IsRefusedAsDamaged) {
    TempDir dir;
    Movie m;
    m.width = 4096;
    m.height = 16;
    m.frames = 2;
    ASSERT_TRUE(writeAvi(dir.path() / "edge.avi", m));
    m.width = 64;
    ASSERT_TRUE(writeAvi(dir.path() / "wide.avi", m));
    setAviWidth(dir.path() / "wide.avi", 64 + (1u << 20));  // one bit flipped: a million pixels wide

    video::Decoder::Opened why{};
    auto edge = video::Decoder::open(dir.path() / "edge.avi", why);
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->width(), 4096);
    EXPECT_TRUE(edge->advanceTo(0));
    EXPECT_FALSE(video::Decoder::open(dir.path() / "wide.avi", why));
    EXPECT_EQ(why, video::Decoder::Opened::CannotOpen);

    // playavi says so as for any damaged file; playmciavi plays nothing.
    dir.write("start.ini", "[MCI]\r\nMOVIE=1\r\nAVI=1\r\n");
    const TimedRun t = runGame(dir, "#playavi(\"wide.avi\");\r\n#playmciavi(\"wide.avi\");\r\n#end();\r\n");
    ASSERT_EQ(t.r.status, 0) << t.r.err;
    EXPECT_NE(t.r.err.find("dialog: : Error opening AVI file."), std::string::npos) << t.r.err;
}

TEST(MediaLimits, AGameFoldersSoundfontAbove512MBIsPassedOverWithOneLine) {
    TempDir dir;
    dir.write("start.ini", "[MCI]\r\nMidi=1\r\n");
    dir.write("huge.sf2", "RIFF");
    extend(dir.path() / "huge.sf2", (uintmax_t{512} << 20) + 1);
    const TimedRun t = runGame(dir, "#end();\r\n");
    ASSERT_EQ(t.r.status, 0) << t.r.err;
    const std::string line = "yorvane: soundfont larger than 512 MB, not loaded: " + (dir.path() / "huge.sf2").string() + "\n";
    const size_t at = t.r.err.find(line);
    EXPECT_NE(at, std::string::npos) << t.r.err;
    EXPECT_EQ(t.r.err.find("huge.sf2", at + line.size()), std::string::npos) << t.r.err;  // said once
}
