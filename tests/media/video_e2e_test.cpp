// Games with movies run through the program: headless with --audio-out and --screenshot, and in
// a real window under Xvfb at scale 2 (skipped without xvfb-run/xdotool).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "media/audio_util.h"
#include "media/avi_util.h"
#include "test_util.h"

using namespace yv;
using namespace yv::testaudio;
using namespace yv::testvideo;

namespace {

constexpr size_t fr(size_t ms) { return ms * 44100 / 1000; }

struct MovieGame {
    TempDir dir;
    RunResult r;
    Wav out;
    Picture shot;

    MovieGame() {
        dir.write("start.ini", "[MCI]\r\nMOVIE=1\r\nAVI=1\r\n");
        Movie m;  // one second: 10 frames and a 440 Hz tone
        m.frames = 10;
        m.toneHz = 440;
        EXPECT_TRUE(writeAvi(dir.path() / "m.avi", m));
        // Louder than the movie's tone: where it begins is found by its level.
        dir.write("beep.wav", wavFile(sine(880, 300, 44100, 2, 0.9), 44100, 2));
    }
    void run(const std::string& script, std::vector<std::string> extra = {}) {
        dir.write("script.txt", script);
        std::vector<std::string> args = {"--headless", "--max-seconds", "60", "--audio-out",
                                         (dir.path() / "out.wav").string(), "--screenshot",
                                         (dir.path() / "shot.png").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(dir.path().string());
        r = runYorvane(args);
        out = readWav(dir.path() / "out.wav");
        shot = readPng(dir.path() / "shot.png");
    }
    double tone(double hz, size_t fromMs, size_t toMs) const { return yv::testaudio::tone(out, hz, fr(fromMs), fr(toMs)); }
};

}  // namespace

TEST(MovieGames, PlaymciaviHoldsTheScriptWhileItsSoundPlays) {
    MovieGame g;
    g.run("#playmciavi(\"m.avi\");\r\n#playwave(\"beep.wav\", 0, 0);\r\n#wait(500);\r\n#end();\r\n");
    ASSERT_EQ(g.r.status, 0) << g.r.err;
    ASSERT_GE(g.out.frames(), fr(1400));
    EXPECT_GT(g.tone(440, 100, 900), 0.2);  // the movie's tone (mono at half scale)
    EXPECT_LT(g.tone(880, 100, 900), 0.02);
    // The script went on when the movie had ended: the beep follows at one second.
    const size_t beep = firstLoud(g.out, fr(1000) - fr(40), 0.7);  // above the tone's level
    EXPECT_NEAR(static_cast<double>(beep), static_cast<double>(fr(1000)), static_cast<double>(fr(40)));
    EXPECT_GT(g.tone(880, 1060, 1280), 0.6);
    EXPECT_LT(g.tone(440, 1060, 1280), 0.02);
    ASSERT_EQ(g.shot.w, 640);
    EXPECT_TRUE(near(g.shot.at(320, 240), frameColour(9), 8));  // its last frame stays
}

TEST(MovieGames, AClickSkipsTheMovieAndPlayaviIsInTheScreenshot) {
    MovieGame g;
    g.run("#playmciavi(\"m.avi\");\r\n#playwave(\"beep.wav\", 0, 0);\r\n#wait(500);\r\n"
          "#playavi(\"m.avi\", 0, 0, 320, 240);\r\n#wait(350);\r\n#end();\r\n",
          {"--click", "100,100@250"});
    ASSERT_EQ(g.r.status, 0) << g.r.err;
    const size_t beep = firstLoud(g.out, 0, 0.7);
    EXPECT_NEAR(static_cast<double>(beep), static_cast<double>(fr(250)), static_cast<double>(fr(40)));
    EXPECT_LT(g.tone(440, 350, 700), 0.02);
    // playavi: 101 ms a frame; the script ended 350 ms (and at most a step) after it began.
    ASSERT_EQ(g.shot.w, 640);
    EXPECT_TRUE(near(g.shot.at(160, 120), frameColour(3), 8));
    EXPECT_TRUE(near(g.shot.at(320, 240), frameColour(2), 8));  // the skipped movie's frame
}

TEST(MovieGames, AMovieInAWindowAtScaleTwo) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    MovieGame g;
    Movie m;
    m.width = 160;
    m.height = 120;
    m.frames = 100;
    ASSERT_TRUE(writeAvi(g.dir.path() / "long.avi", m));
    g.dir.write("start.ini", "[MCI]\r\nMOVIE=1\r\n[WindowScreen]\r\nMENU=0\r\n");
    g.dir.write("script.txt", "#playavi(\"long.avi\", 100, 50, 320, 240);\r\n#wait(60000);\r\n");
    TempDir io;
    io.write("drive.sh",
             "#!/bin/sh\n"
             "YORVANE_WINDOW_SHOT=\"$3/window.png\" \"$1\" --scale 2 \"$2\" 2>\"$3/err\" & pid=$!\n"
             "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.1; done\n"
             "[ -n \"$w\" ] || { kill -9 $pid; echo nowindow; exit 4; }\n"
             "sleep 1.5\n"
             "for k in 1 2 3 4 5; do xdotool windowfocus \"$w\" 2>/dev/null; sleep 0.3; xdotool key F12; sleep 0.5; "
             "[ -f \"$3/window.png\" ] && break; done\n"
             "kill -TERM $pid; wait $pid\n");
    const std::string cmd = underXvfb(true) + "sh '" + (io.path() / "drive.sh").string() + "' '" YV_BINARY "' '" +
                            g.dir.path().string() + "' '" + io.path().string() + "' >'" + (io.path() / "out").string() +
                            "' 2>&1";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << io.read("out") << io.read("err");
    const Picture p = readPng(io.path() / "window.png");
    ASSERT_EQ(p.w, 1280) << io.read("err");
    ASSERT_EQ(p.h, 960);
    // The movie at (100, 50, 320, 240) of the game is (200, 100, 640, 480) of the window.
    auto frameAt = [&](int x, int y) {
        for (int k = 0; k < 12; ++k)
            if (near(p.at(x, y), frameColour(k), 8)) return k;
        return -1;
    };
    const int k = frameAt(520, 340);
    EXPECT_GE(k, 0);
    for (auto [x, y] : {std::pair{201, 101}, {838, 578}, {400, 500}}) EXPECT_EQ(frameAt(x, y), k) << x << "," << y;
    for (auto [x, y] : {std::pair{198, 300}, {842, 300}, {500, 98}, {500, 582}})
        EXPECT_TRUE(near(p.at(x, y), Colour{}, 0)) << x << "," << y;
}
