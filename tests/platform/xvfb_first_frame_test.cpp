// The window's first picture as the X server shows it, with and without a window manager and
// without the pointer ever moving: at 1.5 s the game's picture fills exactly the area below the
// menu bar (the whole window without one), for a window at the game's size and for one that
// changes size before it shows. Skipped without Xvfb, xdotool or xwd (openbox for the managed
// runs). YV_KEEP_FIRST_FRAME=DIR keeps the windows' pictures there as PNGs.
#include <gtest/gtest.h>

#include "x_screen.h"

using namespace yv;

namespace {

struct Case {
    const char* name;
    const char* ini;
    const char* args;
    int w, h;
    bool bar;
};

const Case kCases[] = {
    {"small-at-1x", "[WindowSize]\r\nRight=320\r\nBottom=240\r\n", "--scale 1", 320, 240, true},
    {"default-size", "", "", 640, 480, true},
    // Without a menu bar the window changes size after it was made, before it shows.
    {"small-no-bar", "[WindowSize]\r\nRight=320\r\nBottom=240\r\n[WindowScreen]\r\nMENU=0\r\n", "--scale 1", 320,
     240, false},
};

void firstFrames(bool wm) {
    const std::string missing = missingXTools(wm);
    if (!missing.empty()) GTEST_SKIP() << missing;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.name) + (wm ? " with a window manager" : " without a window manager"));
        TempDir game, io;
        game.write("start.ini", c.ini);
        game.write("script.txt", "#fillclr(1, rgb(0, 128, 255));\r\n#paint();\r\n#wait(60000);\r\n");
        const std::string out =
            runOnX(game, io, wm, std::string("start ") + c.args + "\nsleep 1.5; shot first; geom win\nstop\n");
        ASSERT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
        const Rect win = geometryIn(out, "win");
        const Picture screen = readXwd(io.path() / "first.xwd");
        ASSERT_GT(screen.w, 0) << out;
        // The client area is the picture and, above it, the bar; the picture is all blue.
        EXPECT_EQ(win.w, c.w) << out;
        if (c.bar)
            EXPECT_GT(win.h, c.h) << out;
        else
            EXPECT_EQ(win.h, c.h) << out;
        const ColourArea blue = colourArea(screen, 0, 128, 255);
        EXPECT_EQ(blue.count, long{c.w} * c.h);
        EXPECT_EQ(blue.box.w, c.w);
        EXPECT_EQ(blue.box.h, c.h);
        // (xdotool's idea of where a framed window's client area lies is off by its frame.)
        if (!wm) {
            EXPECT_EQ(blue.box.x, win.x);
            EXPECT_EQ(blue.box.y, win.y + win.h - c.h);
        }
        const int bar = win.h - c.h;
        if (const char* keep = std::getenv("YV_KEEP_FIRST_FRAME")) {
            const Rect client = wm && blue.count ? Rect{blue.box.x, blue.box.y - bar, win.w, win.h} : win;
            writePngPart(screen, client, std::filesystem::path(keep) / (std::string(c.name) + (wm ? "-wm" : "") + ".png"));
        }
        // Right above the picture, the menu bar's light ground, across the picture's width.
        if (c.bar && blue.count > 0 && blue.box.y >= bar && bar > 0) {
            for (const int x : {blue.box.x + 1, blue.box.x + c.w - 2}) {
                const uint8_t* px = screen.at(x, blue.box.y - bar / 2);
                EXPECT_GT(px[0], 150) << x;
                EXPECT_GT(px[1], 150) << x;
                EXPECT_GT(px[2], 150) << x;
            }
        }
    }
}

}  // namespace

TEST(XvfbFirstFrame, FillsTheAreaBelowTheMenuBarWithoutAWindowManager) { firstFrames(false); }

TEST(XvfbFirstFrame, FillsTheAreaBelowTheMenuBarUnderAWindowManager) { firstFrames(true); }
