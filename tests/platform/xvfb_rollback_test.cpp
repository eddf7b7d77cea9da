// Going back a page in a real window under a window manager, the pointer never moved: a blue
// page, Return to a red one, BackSpace brings the blue page back. Skipped without the X tools.
#include <gtest/gtest.h>

#include <cstdlib>

#include "x_screen.h"

using namespace yv;

TEST(XvfbRollback, BackSpaceBringsBackThePageBefore) {
    const std::string missing = missingXTools(true);
    if (!missing.empty()) GTEST_SKIP() << missing;
    TempDir game, io, data;
    game.write("start.ini", "[WindowTitle]\r\nTitle=Back\r\n");
    game.write("t.txt", sjis("\"青いページ\\p\";\r\n\"赤いページ\\p\";\r\n"));
    game.write("script.txt", sjis("#createtextf(1, 2);\r\n#loadtextf(\"t.txt\");\r\n#locatef(0, 40, 400);\r\n"
                                  "#settextspeedf(0, -1);\r\n"
                                  "#fillclr(1, rgb(0, 128, 255));\r\n#paint();\r\n#printtextf(0, 1);\r\n"
                                  "#fillclr(1, rgb(255, 0, 0));\r\n#paint();\r\n#printtextf(0, 2);\r\n"
                                  "|idle:\r\n#wait(50);\r\n#goto(\"idle\");\r\n"));
    ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    const std::string out = runOnX(game, io, true,
                                   "start; sleep 1.5; xdotool windowfocus \"$w\"; sleep 0.3\n"
                                   "xdotool key Return; sleep 0.8; geom win; shot red\n"
                                   "xdotool key BackSpace; sleep 0.8; shot blue; stop\n");
    ::unsetenv("XDG_DATA_HOME");
    ASSERT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
    const Picture red = readXwd(io.path() / "red.xwd"), blue = readXwd(io.path() / "blue.xwd");
    ASSERT_GT(red.w, 0) << out;
    // Most of the 640 x 480 picture is the page's colour; the text takes a little.
    EXPECT_GT(colourArea(red, 255, 0, 0).count, 640L * 480 * 9 / 10) << out;
    EXPECT_EQ(colourArea(blue, 255, 0, 0).count, 0) << out;
    const ColourArea sky = colourArea(blue, 0, 128, 255);
    EXPECT_GT(sky.count, 640L * 480 * 9 / 10) << out;
    // A picture for a look: /tmp/shots-rollback/ (or YV_SHOTS).
    const char* keep = std::getenv("YV_SHOTS");
    const std::filesystem::path dir = keep ? keep : "/tmp/shots-rollback";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const Rect win = geometryIn(out, "win");
    const int bar = win.h - 480;
    writePngPart(blue, Rect{sky.box.x, sky.box.y - bar, win.w, win.h}, dir / "after-backspace.png");
    writePngPart(red, Rect{sky.box.x, sky.box.y - bar, win.w, win.h}, dir / "before-backspace.png");
}
