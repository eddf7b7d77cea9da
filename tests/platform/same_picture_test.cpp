// One game, two platforms, one picture: small games run on the headless platform and in an SDL
// window (dummy video driver, software renderer) must end on exactly the same picture.
#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_platform.h"
#include "sdl_events.h"
#include "test_util.h"

using namespace yv;

namespace {

constexpr int kW = 320, kH = 240;

// A 320 x 240 game without a menu bar, so that at scale 1 the window is the game's picture.
void writeGame(const TempDir& d, const std::string& script) {
    d.write("start.ini", sjis("[WindowSize]\r\nRight=320\r\nBottom=240\r\n[WindowScreen]\r\nMENU=0\r\n"
                              "[FONT]\r\nSize=24\r\n"));
    d.write("text.txt", sjis("\"窓と画面\\u\";\r\n\"東へ\";\r\n\"西へ\";\r\n"));
    d.write("script.txt", sjis(script));
}

struct Shot {
    std::vector<uint8_t> px;  // bottom-up BGR
    int w = 0, h = 0;
    bool operator==(const Shot&) const = default;
};

// Pixels that differ, for the failure message.
size_t differing(const Shot& a, const Shot& b) {
    if (a.w != b.w || a.h != b.h || a.px.size() != b.px.size()) return SIZE_MAX;
    size_t n = 0;
    for (size_t i = 0; i < a.px.size(); i += 3)
        if (a.px[i] != b.px[i] || a.px[i + 1] != b.px[i + 1] || a.px[i + 2] != b.px[i + 2]) ++n;
    return n;
}

// Headless: runs the game until its script ends or `closeAtMs` of its clock; `setUp` may
// schedule input first.
Shot headlessPicture(const TempDir& d, double closeAtMs = 0,
                        const std::function<void(HeadlessPlatform&)>& setUp = {}) {
    HeadlessPlatform p;
    Options o;
    o.gameDir = d.path();
    Shell shell(p, o);
    if (setUp) setUp(p);
    if (closeAtMs > 0) p.manualClock().schedule(closeAtMs, [&] { shell.forceClose(false); });
    std::string why;
    Shot pic;
    if (!shell.start(why)) return pic;
    shell.run();
    pic.px = p.shownFrame(pic.w, pic.h);
    return pic;
}

// SDL: runs the game in a window; `drive` (on another thread) acts as the player and returns
// once the window should show `expected`; the window's picture is compared with it until it
// matches or a few seconds have passed.
struct SdlRun {
    bool skipped = false;
    std::string why;
    Shot last;
};

SdlRun sdlPicture(const TempDir& d, const Shot& expected, const std::function<void(Runtime&)>& drive) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    SdlRun out;
    Options o;
    o.gameDir = d.path();
    o.scale = 1;
    auto p = makeSdlPlatform(SdlWindowOptions{o.scale}, out.why);
    if (!p) {
        out.skipped = true;
        return out;
    }
    Shell shell(*p, o);
    if (!shell.start(out.why)) return out;
    std::thread player([&] {
        drive(shell.runtime());
        waitFor([&] {
            out.last.px = sdlWindowPixels(*p, out.last.w, out.last.h);
            return out.last == expected;
        });
        p->requestClose();
    });
    shell.run();
    player.join();
    return out;
}

void scriptEnds(Runtime& rt) { waitFor([&] { return rt.interp.threadActive == 0; }, 10000); }

}  // namespace

// Screen 0 filled without a present stays unseen: only the printed line's rectangle shows it.
TEST(SamePicture, FillWithoutPresentThenPrintedText) {
    TempDir d;
    writeGame(d, "#fillclr(0, rgb(200, 30, 30));\r\n#createtextf(1, 1);\r\n#loadtextf(\"text.txt\");\r\n"
                 "#locatef(0, 40, 100);\r\n#setdefaultcolor(0, rgb(255, 255, 255));\r\n#printtextf(0, 1);\r\n"
                 "#end();\r\n");
    const Shot headless = headlessPicture(d);
    ASSERT_EQ(headless.w, kW);
    ASSERT_EQ(headless.h, kH);
    // The corners were never presented: black. The text's rectangle shows the red fill.
    EXPECT_EQ(headless.px[0] + headless.px[1] + headless.px[2], 0);
    size_t red = 0;
    for (size_t i = 0; i < headless.px.size(); i += 3) red += headless.px[i + 2] == 200;
    EXPECT_GT(red, 0u);
    EXPECT_LT(red, static_cast<size_t>(kW * kH / 4));

    const SdlRun sdl = sdlPicture(d, headless, scriptEnds);
    if (sdl.skipped) GTEST_SKIP() << "no SDL video: " << sdl.why;
    EXPECT_TRUE(sdl.last == headless) << differing(sdl.last, headless) << " pixels differ";
}

TEST(SamePicture, BlitAndCrossFade) {
    TempDir d;
    writeGame(d, "#createimage(2);\r\n#fillclr(2, rgb(10, 200, 60));\r\n#fillclr(1, rgb(90, 20, 140));\r\n"
                 "#bitblt(1, 40, 30, 100, 80, 2, 0, 0, 0);\r\n#transfade(0, 64, 256);\r\n#end();\r\n");
    const Shot headless = headlessPicture(d);
    ASSERT_EQ(headless.w, kW);
    const SdlRun sdl = sdlPicture(d, headless, scriptEnds);
    if (sdl.skipped) GTEST_SKIP() << "no SDL video: " << sdl.why;
    EXPECT_TRUE(sdl.last == headless) << differing(sdl.last, headless) << " pixels differ";
}

// The pointer over the second choice highlights it: moved by a window event in one run, by
// input scheduled on the clock in the other.
TEST(SamePicture, ChoiceHighlightedUnderThePointer) {
    TempDir d;
    writeGame(d, "#fillclr(0, rgb(30, 30, 60));\r\n#createtextf(1, 3);\r\n#loadtextf(\"text.txt\");\r\n"
                 "#locatef(0, 40, 100);\r\n#selectcolor(rgb(0, 0, 200));\r\n#select();\r\n{\r\n"
                 "#printtextf(0, 2, \"east\");\r\n#printtextf(0, 3, \"west\");\r\n}\r\n#end();\r\n"
                 "|east:\r\n#return();\r\n|west:\r\n#return();\r\n");
    const int x = 80, y = 135;  // on the second choice (tops 100 and 124 in a 24-pixel font)
    const Shot plain = headlessPicture(d, 3000);
    const Shot headless = headlessPicture(d, 3000, [&](HeadlessPlatform& p) {
        p.scheduleInput(2000, InputEvent::move(x, y));
    });
    ASSERT_EQ(headless.w, kW);
    EXPECT_GT(differing(plain, headless), 0u) << "the pointer changed nothing";
    const SdlRun sdl = sdlPicture(d, headless, [&](Runtime& rt) {
        waitFor([&] { return rt.app.choiceList != 0; });
        pushMotion(x, y);
    });
    if (sdl.skipped) GTEST_SKIP() << "no SDL video: " << sdl.why;
    EXPECT_TRUE(sdl.last == headless) << differing(sdl.last, headless) << " pixels differ";
}
