// Movies on the headless platform's clock: playavi's frames at their timer's ticks, in the
// rectangle, as tiles and over the screen; a second movie replacing the first; damaged files;
// playmciavi holding the script, skipped by a click or Escape, and its device check.
#include <gtest/gtest.h>

#include <fstream>

#include "app/input.h"
#include "app/window_view.h"
#include "graphics/present.h"
#include "media/avi_util.h"
#include "platform/audio/audio_engine.h"
#include "platform/headless/headless_platform.h"
#include "platform/presented_frame.h"
#include "runtime.h"
#include "script/command_table.h"
#include "test_util.h"

using namespace yv;
using namespace yv::testvideo;

namespace {

// Input as the window thread hands it over.
void applyInputTo(Runtime& rt, const InputEvent& e) {
    app::WindowView view = app::windowView(rt);
    app::applyInput(view, e);
}

// 10 frames a second: 100 ms a frame, so playavi's timer ticks every 101 ms.
constexpr double kTick = 101;

struct Movies {
    TempDir dir;
    HeadlessPlatform platform;
    Runtime rt{platform, dir.path()};

    Movies() {
        rt.resetForStart();
        rt.config.movie = rt.config.avi = 1;
        graphics::createScreens(rt);
        graphics::presentScreen(rt);  // the window shows black
    }
    void write(const std::string& name, const Movie& m) {
        std::string why;
        ASSERT_TRUE(writeAvi(dir.path() / name, m, &why)) << why;
    }
    void run(const char* command, const std::string& args) { callCommand(rt, command, args); }
    void advance(double ms) { platform.manualClock().advance(ms); }
    double now() { return platform.clock().nowPreciseMs(); }
    // The window's pixel at (x, y), top-down, as red, green, blue.
    std::array<uint8_t, 3> px(int x, int y) {
        int w = 0, h = 0;
        const std::vector<uint8_t> f = platform.shownFrame(w, h);
        const uint8_t* p = f.data() + (static_cast<size_t>(h - 1 - y) * w + x) * 3;
        return {p[2], p[1], p[0]};
    }
    bool is(int x, int y, Colour c, int tolerance = 8) { return near(px(x, y).data(), c, tolerance); }
    bool black(int x, int y) { return is(x, y, Colour{}, 0); }
};

}  // namespace

TEST(Playavi, FrameKIsShownAtKTicksInTheRectangleAndTheLastOneStaysUntilAPresent) {
    Movies v;
    v.write("a.avi", Movie{});  // 64 x 48, 6 frames, scaled to 128 x 96
    v.run("playavi", "(\"A.AVI\", 16, 8, 128, 96);");
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(v.is(16, 8, frameColour(k)));
        EXPECT_TRUE(v.is(80, 56, frameColour(k)));
        EXPECT_TRUE(v.is(143, 103, frameColour(k)));
        EXPECT_TRUE(v.black(15, 8) && v.black(144, 56) && v.black(80, 104));
        v.advance(kTick - 1);
        EXPECT_TRUE(v.is(80, 56, frameColour(k)));  // not yet the next one
        v.advance(1);
    }
    EXPECT_FALSE(v.rt.media.frames.playing());
    EXPECT_TRUE(v.is(80, 56, frameColour(5)));
    // Drawn on the window, never into screen 0; a present over the rectangle covers it.
    EXPECT_EQ(v.rt.screens.table[0].row(56)[80 * 3], 0);
    graphics::presentScreen(v.rt);
    v.advance(500);
    EXPECT_TRUE(v.black(80, 56));
    EXPECT_TRUE(v.platform.dialogLog().empty());
}

TEST(Playavi, TilesNameOnlyAndNoTiles) {
    Movies v;
    v.write("a.avi", Movie{});
    v.run("playavi", "(\"a.avi\", 0, 0, 10, 10, 1, 2);");  // the rectangle does not count
    for (int k = 0; k < 2; ++k, v.advance(kTick))
        for (auto [x, y] : {std::pair{0, 0}, {319, 239}, {320, 0}, {639, 239}, {0, 240}, {319, 479}, {480, 360}, {639, 479}})
            EXPECT_TRUE(v.is(x, y, frameColour(k))) << k << " " << x << "," << y;

    Movies whole;
    whole.write("a.avi", Movie{});
    whole.run("playavi", "(\"a.avi\");");
    EXPECT_TRUE(whole.is(0, 0, frameColour(0)) && whole.is(639, 479, frameColour(0)));

    for (const char* none : {"(\"a.avi\", 0, 0, 10, 10, 1, 0);", "(\"a.avi\", 0, 0, 10, 10, 1);",
                             "(\"a.avi\", 0, 0, 10, 10, 1, -3);"}) {
        Movies t;
        t.write("a.avi", Movie{});
        t.run("playavi", none);
        t.advance(kTick);
        EXPECT_TRUE(t.black(0, 0) && t.black(320, 240)) << none;
    }
}

TEST(Playavi, ASecondMovieReplacesTheFirst) {
    Movies v;
    v.write("a.avi", Movie{});
    Movie b;
    b.firstColour = 6;
    v.write("b.avi", b);
    v.run("playavi", "(\"a.avi\", 0, 0, 64, 48);");
    v.advance(150);
    v.run("playavi", "(\"b.avi\", 100, 100, 64, 48);");
    EXPECT_TRUE(v.is(10, 10, frameColour(1)));
    EXPECT_TRUE(v.is(110, 110, frameColour(6)));
    graphics::presentScreen(v.rt);  // the first movie's picture goes for good
    for (int k = 1; k < 6; ++k) {
        v.advance(kTick);
        EXPECT_TRUE(v.is(110, 110, frameColour(6 + k))) << k;  // timed from its own start
        EXPECT_TRUE(v.black(10, 10)) << k;
    }
}

TEST(Playavi, CinepakPlaysAndTheSwitchOffDoesNothing) {
    Movies v;
    Movie m;
    m.codec = "cinepak";
    v.write("c.avi", m);
    v.run("playavi", "(\"c.avi\", 0, 0, 64, 48);");
    v.advance(2 * kTick);
    EXPECT_TRUE(v.is(32, 24, frameColour(2), 24));

    Movies off;
    off.rt.config.movie = 0;
    off.write("a.avi", Movie{});
    off.run("playavi", "(\"nothere.avi\");");
    off.run("playavi", "(\"a.avi\");");
    EXPECT_TRUE(off.black(0, 0));
    EXPECT_TRUE(off.platform.dialogLog().empty());
}

TEST(Playavi, UnreadableFilesShowTheirMessagesAndDamagedOnesEndCleanly) {
    Movies v;
    Movie sound;
    sound.video = false;
    sound.toneHz = 440;
    v.write("sound.avi", sound);
    v.dir.write("junk.avi", std::string(3000, 'x'));
    v.run("playavi", "(\"missing.avi\");");
    v.run("playavi", "(\"junk.avi\");");
    v.run("playavi", "(\"sound.avi\");");
    EXPECT_EQ(v.platform.dialogLog(), (std::vector<std::string>{": Error opening AVI file.", ": Error opening AVI file.",
                                                                ": Video stream not found!"}));
    EXPECT_FALSE(v.rt.media.frames.playing());

    Movie big;
    big.frames = 20;
    v.write("good.avi", big);
    const std::string good = v.dir.read("good.avi");
    v.dir.write("cut.avi", good.substr(0, good.size() * 6 / 10));
    v.dir.write("head.avi", good.substr(0, 300));
    std::string bad = good;
    for (size_t i = 400; i < bad.size(); i += 97) bad[i] = static_cast<char>(bad[i] ^ 0x5A);
    v.dir.write("bad.avi", bad);
    for (const char* name : {"cut.avi", "head.avi", "bad.avi"}) {
        v.run("playavi", std::string("(\"") + name + "\");");
        v.advance(25 * kTick);
        EXPECT_FALSE(v.rt.media.frames.playing()) << name;
    }
    // The cut file shows its first frame, then what it has.
    v.run("playavi", "(\"cut.avi\");");
    EXPECT_TRUE(v.is(0, 0, frameColour(0)));
}

TEST(Playmciavi, HoldsTheScriptForTheMovieWithItsSoundAndFrames) {
    Movies v;
    Movie m;
    m.frames = 8;
    m.toneHz = 440;
    v.write("m.avi", m);
    const double t0 = v.now();
    std::vector<bool> frames, sounding;
    for (int k = 0; k < 8; ++k)
        v.platform.manualClock().schedule(t0 + 50 + 100 * k, [&, k] {
            frames.push_back(v.is(80, 56, frameColour(k)) && v.black(15, 8));
            sounding.push_back(v.platform.audio()->sounding(audio::kVoiceMovie));
        });
    v.run("playmciavi", "(\"m.avi\", 16, 8, 128, 96);");
    EXPECT_GE(v.now() - t0, 800);
    EXPECT_LE(v.now() - t0, 830);
    EXPECT_EQ(frames, std::vector<bool>(8, true));
    EXPECT_EQ(sounding, std::vector<bool>(8, true));
    EXPECT_FALSE(v.platform.audio()->sounding(audio::kVoiceMovie));
    EXPECT_FALSE(v.rt.media.movie.playing);

    // Without all four numbers: the screen rectangle.
    v.run("playmciavi", "(\"m.avi\", 5, 5);");
    EXPECT_TRUE(v.is(0, 0, frameColour(7)) && v.is(639, 479, frameColour(7)));
}

TEST(Playmciavi, AClickOrEscapeSkipsTheMovieAndAClosingEndsIt) {
    Movies v;
    Movie m;
    m.frames = 30;
    m.toneHz = 440;
    v.write("m.avi", m);
    double t0 = v.now();
    v.platform.manualClock().schedule(t0 + 250, [&] { v.rt.interp.leftClick = 1; });
    v.run("playmciavi", "(\"m.avi\");");
    EXPECT_NEAR(v.now() - t0, 250, 10);
    EXPECT_EQ(v.rt.interp.leftClick, 0);  // the click was the movie's
    EXPECT_FALSE(v.platform.audio()->sounding(audio::kVoiceMovie));
    EXPECT_TRUE(v.is(0, 0, frameColour(2)));

    t0 = v.now();
    v.platform.manualClock().schedule(t0 + 300, [&] { applyInputTo(v.rt, InputEvent::keyEvent(kKeyEscape, true)); });
    v.run("playmciavi", "(\"m.avi\");");
    EXPECT_NEAR(v.now() - t0, 300, 10);
    EXPECT_FALSE(v.platform.closeRequested());
    applyInputTo(v.rt, InputEvent::keyEvent(kKeyEscape, true));  // no movie: Escape quits
    EXPECT_TRUE(v.platform.closeRequested());

    t0 = v.now();
    v.platform.manualClock().schedule(t0 + 200, [&] { v.rt.interp.closing = 1; });
    v.run("playmciavi", "(\"m.avi\");");
    EXPECT_NEAR(v.now() - t0, 200, 10);
}

TEST(Playmciavi, AFailedDeviceCheckDisablesItForTheRun) {
    Movies v;
    v.write("m.avi", Movie{});
    v.rt.media.movie.check = [](std::string& e) {
        e = "The device is not ready.";
        return false;
    };
    const double t0 = v.now();
    v.run("playmciavi", "(\"m.avi\");");
    v.rt.media.movie.check = nullptr;
    v.run("playmciavi", "(\"m.avi\");");
    ASSERT_EQ(v.platform.dialogLog().size(), 1u);
    EXPECT_NE(v.platform.dialogLog()[0].find("The device is not ready."), std::string::npos);
    EXPECT_EQ(v.now(), t0);
    EXPECT_TRUE(v.black(0, 0));

    Movies quiet;  // no name, a missing file, the switch off: nothing, silently
    quiet.write("m.avi", Movie{});
    quiet.run("playmciavi", "();");
    quiet.run("playmciavi", "(\"missing.avi\");");
    quiet.rt.config.avi = 0;
    quiet.run("playmciavi", "(\"m.avi\");");
    EXPECT_TRUE(quiet.black(0, 0));
    EXPECT_TRUE(quiet.platform.dialogLog().empty());
}

TEST(MovieLayer, AFrameLaidAtAnyPlaceIsCutToItsRectangleAndTheWindow) {
    // Pixel by pixel: window pixel (x, y) takes picture pixel (x - at.x, y - at.y) where both
    // exist and the point lies in the rectangle.
    const int W = 40, H = 30, PW = 17, PH = 11;
    std::vector<uint8_t> black(W * H * 3, 0), pic(PW * PH * 3);
    for (size_t i = 0; i < pic.size(); ++i) pic[i] = static_cast<uint8_t>(1 + i % 251);
    for (const Rect at : {Rect{5, 4, 17, 11}, Rect{-6, -3, 17, 11}, Rect{30, 25, 17, 11}, Rect{2, 2, 9, 5},
                          Rect{-20, 0, 17, 11}, Rect{39, 29, 100, 100}, Rect{1 << 30, 0, 5, 5}, Rect{0, 0, 0, 5}}) {
        PresentedFrame f;
        f.take(FrameView{black.data(), W, H}, Rect{0, 0, W, H});
        const Rect changed = f.lay(FrameView{pic.data(), PW, PH}, at);
        int touched = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int64_t px = int64_t{x} - at.x, py = int64_t{y} - at.y;
                const bool in = px >= 0 && py >= 0 && px < std::min(at.w, PW) && py < std::min(at.h, PH);
                for (int c = 0; c < 3; ++c) {
                    const uint8_t want = in ? pic[(static_cast<size_t>(PH - 1 - py) * PW + static_cast<size_t>(px)) * 3 + c] : 0;
                    ASSERT_EQ(f.pixels()[(static_cast<size_t>(H - 1 - y) * W + x) * 3 + c], want) << at.x << "," << at.y;
                }
                touched += in;
            }
        EXPECT_EQ(changed.w * changed.h, touched) << at.x << "," << at.y;
    }
}
