// What a player sees of the window on an X server, with and without a window manager, the
// pointer never moved: leaving full screen gives the window back its size, the window manager's
// own full screen looks like the program's, --scale 2 on a small game is kept, and the debug
// windows open beside the game. Skipped without Xvfb, xdotool or xwd (openbox and wmctrl for
// the managed runs).
#include <gtest/gtest.h>

#include "x_screen.h"

using namespace yv;

namespace {

const char* kBlueScript = "#fillclr(1, rgb(0, 128, 255));\r\n#paint();\r\n|idle:\r\n#wait(50);\r\n#goto(\"idle\");\r\n";

bool overlap(const Rect& a, const Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

void leaveFullScreenTwice(bool wm) {
    const std::string missing = missingXTools(wm);
    if (!missing.empty()) GTEST_SKIP() << missing;
    TempDir game, io;
    game.write("start.ini", "");
    game.write("script.txt", kBlueScript);
    const std::string out = runOnX(game, io, wm,
                                   "start; sleep 1; geom before\n"
                                   "xdotool windowfocus \"$w\"; sleep 0.2\n"
                                   "xdotool key F11; sleep 0.8; geom full1\n"
                                   "xdotool key F11; sleep 0.8; geom window1\n"
                                   "xdotool key F11; sleep 0.8; xdotool key F11; sleep 0.8; geom window2\n"
                                   "shot back; stop\n");
    ASSERT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
    const Rect before = geometryIn(out, "before"), full = geometryIn(out, "full1");
    EXPECT_EQ(before.w, 640) << out;
    EXPECT_EQ(full.w, 1280) << out;
    for (const char* name : {"window1", "window2"}) {
        const Rect r = geometryIn(out, name);
        EXPECT_EQ(r.w, before.w) << name << "\n" << out;
        EXPECT_EQ(r.h, before.h) << name << "\n" << out;
    }
    // The picture is back at its own size below the bar.
    const ColourArea blue = colourArea(readXwd(io.path() / "back.xwd"), 0, 128, 255);
    EXPECT_EQ(blue.count, 640L * 480);
}

void debugWindowsBeside(bool wm) {
    const std::string missing = missingXTools(wm);
    if (!missing.empty()) GTEST_SKIP() << missing;
    TempDir game, io;
    game.write("start.ini", "[DebugWindow]\r\nDebug=1\r\nDebugPrev=1\r\n");
    game.write("script.txt", kBlueScript);
    const std::string out = runOnX(game, io, wm,
                                   "start; sleep 2; geom game\n"
                                   "w=$(xdotool search --onlyvisible --name 'Debug Window ver' | head -1); geom monitor\n"
                                   "w=$(xdotool search --onlyvisible --name 'Debug FuncPreview' | head -1); geom preview\n"
                                   "shot all; w=$(xdotool search --onlyvisible --pid $pid | head -1); stop\n");
    ASSERT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
    const Rect g = geometryIn(out, "game"), m = geometryIn(out, "monitor"), p = geometryIn(out, "preview");
    ASSERT_EQ(g.w, 640) << out;
    ASSERT_EQ(m.w, 470) << out;
    ASSERT_EQ(p.w, 537) << out;
    EXPECT_FALSE(overlap(g, m)) << out;
    EXPECT_FALSE(overlap(g, p)) << out;
    // The whole picture shows: nothing lies over it (the preview's small copies of it lie
    // outside; a window manager's frame moves the window by a few pixels).
    const Rect around{g.x - 4, g.y - 24, g.w + 8, g.h + 48};
    EXPECT_EQ(colourArea(readXwd(io.path() / "all.xwd"), 0, 128, 255, around).count, 640L * 480);
}

}  // namespace

TEST(XvfbWindowSize, LeavingFullScreenKeepsTheWindowsSizeWithoutAWindowManager) { leaveFullScreenTwice(false); }

TEST(XvfbWindowSize, LeavingFullScreenKeepsTheWindowsSizeUnderAWindowManager) { leaveFullScreenTwice(true); }

TEST(XvfbWindowSize, TheWindowManagersFullScreenIsTheProgramsOwn) {
    const std::string missing = missingXTools(true);
    if (!missing.empty()) GTEST_SKIP() << missing;
    TempDir game, io;
    game.write("start.ini", "");
    game.write("script.txt", kBlueScript);
    const std::string out = runOnX(game, io, true,
                                   "start; sleep 1; geom before\n"
                                   "wmctrl -i -r \"$w\" -b add,fullscreen; sleep 1; geom full; shot full\n"
                                   "wmctrl -i -r \"$w\" -b remove,fullscreen; sleep 1; geom back; shot back\n"
                                   "stop\n");
    ASSERT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
    EXPECT_EQ(geometryIn(out, "full").w, 1280) << out;
    // As the program's own full screen shows it: no menu bar, the picture scaled to the display's
    // width and centred between black bands.
    const ColourArea full = colourArea(readXwd(io.path() / "full.xwd"), 0, 128, 255);
    EXPECT_EQ(full.box.x, 0);
    EXPECT_EQ(full.box.y, 32);
    EXPECT_EQ(full.box.w, 1280);
    EXPECT_EQ(full.box.h, 960);
    EXPECT_EQ(full.count, 1280L * 960);
    // The manager's end of full screen is the window's return, at the size it had.
    const Rect before = geometryIn(out, "before"), back = geometryIn(out, "back");
    EXPECT_EQ(back.w, before.w) << out;
    EXPECT_EQ(back.h, before.h) << out;
    EXPECT_EQ(colourArea(readXwd(io.path() / "back.xwd"), 0, 128, 255).count, 640L * 480);
}

TEST(XvfbWindowSize, ScaleTwoOnASmallGameIsKeptAndNotCalledTooLarge) {
    const std::string missing = missingXTools(false);
    if (!missing.empty()) GTEST_SKIP() << missing;
    TempDir game, io;
    game.write("start.ini", "[WindowSize]\r\nRight=320\r\nBottom=240\r\n");
    game.write("script.txt", kBlueScript);
    const std::string out = runOnX(game, io, false, "start --scale 2; sleep 1; geom win; stop\n");
    ASSERT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
    const Rect win = geometryIn(out, "win");
    EXPECT_EQ(win.w, 640) << out;
    EXPECT_GT(win.h, 480) << out;
    EXPECT_EQ(io.read("err").find("does not fit"), std::string::npos) << io.read("err");
}

TEST(XvfbDebugWindows, OpenBesideTheGameWithoutAWindowManager) { debugWindowsBeside(false); }

TEST(XvfbDebugWindows, OpenBesideTheGameUnderAWindowManager) { debugWindowsBeside(true); }
