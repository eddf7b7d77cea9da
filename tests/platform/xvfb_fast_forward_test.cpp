// Fast-forward in a real window under a window manager, the pointer never moved: five pages read
// in an earlier run pass while Ctrl is held, and the first unread page stops it. Skipped without
// the X tools.
#include <gtest/gtest.h>

#include <cstdlib>

#include "x_screen.h"

using namespace yv;

TEST(XvfbFastForward, CtrlHeldPassesReadPagesAndStopsAtTheFirstUnread) {
    const std::string missing = missingXTools(true);
    if (!missing.empty()) GTEST_SKIP() << missing;
    TempDir game, io, data;
    game.write("start.ini", "[WindowTitle]\r\nTitle=Fast\r\n");
    game.write("t.txt", sjis("\"一\\p\";\r\n\"二\\p\";\r\n\"三\\p\";\r\n\"四\\p\";\r\n\"五\\p\";\r\n"
                             "\"まだ読んでいない\\p\";\r\n\"その先\\p\";\r\n"));
    // Pages 1 to 5 in blue; the first run ends after them. Page 6 is green, page 7 red.
    std::string script = "#systemload();\r\n#createtextf(1, 7);\r\n#loadtextf(\"t.txt\");\r\n#locatef(0, 40, 400);\r\n"
                         "#settextspeedf(0, 40);\r\n#fillclr(1, rgb(0, 128, 255));\r\n#paint();\r\n";
    for (int p = 1; p <= 5; ++p) script += "#printtextf(0, " + std::to_string(p) + ");\r\n";
    script += "#if(@901 == 0)\r\n{\r\n@901 = 1;\r\n#systemsave();\r\n#end();\r\n}\r\n"
              "#fillclr(1, rgb(0, 255, 0));\r\n#paint();\r\n#printtextf(0, 6);\r\n"
              "#fillclr(1, rgb(255, 0, 0));\r\n#paint();\r\n#printtextf(0, 7);\r\n"
              "|idle:\r\n#wait(50);\r\n#goto(\"idle\");\r\n";
    game.write("script.txt", sjis(script));
    ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    const RunResult first = runYorvane({"--headless", "--auto-click", "300", "--max-seconds", "20", game.path().string()});
    const std::string out = runOnX(game, io, true,
                                   "start; sleep 1.5; xdotool windowfocus \"$w\"; sleep 0.3\n"
                                   "xdotool keydown Control_L; sleep 1.5; geom win; shot held\n"
                                   "xdotool keyup Control_L; sleep 0.5; shot after; stop\n");
    ::unsetenv("XDG_DATA_HOME");
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
    const Picture held = readXwd(io.path() / "held.xwd"), after = readXwd(io.path() / "after.xwd");
    ASSERT_GT(held.w, 0) << out;
    // Typed at 40 ms a character with a click wanted at each page, the five read pages would
    // have kept the window blue: held Ctrl passed them, and the unread page stopped it.
    const ColourArea green = colourArea(held, 0, 255, 0);
    EXPECT_GT(green.count, 640L * 480 * 9 / 10) << out;
    EXPECT_EQ(colourArea(held, 255, 0, 0).count, 0) << out;
    EXPECT_GT(colourArea(after, 0, 255, 0).count, 640L * 480 * 9 / 10) << out;
    const char* keep = std::getenv("YV_SHOTS");
    const std::filesystem::path dir = keep ? keep : "/tmp/shots-fast";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const Rect win = geometryIn(out, "win");
    writePngPart(held, Rect{green.box.x, green.box.y - (win.h - 480), win.w, win.h}, dir / "ctrl-held.png");
}
