// F5 and F9 in a real window under a window manager, the pointer never moved: the title says
// what happened for three seconds, F9 after a page was passed asks first (Enter answers yes) and
// brings the saved page back, and SIGTERM leaves resume.sav. Screenshots go to
// /tmp/shots-resume/. Skipped without Xvfb, xdotool, xwd, openbox or wmctrl.
#include <gtest/gtest.h>

#include "save/resume_file.h"
#include "x_screen.h"

using namespace yv;

TEST(XvfbQuickSave, TheTitleSaysWhatHappenedAndF9BringsThePageBack) {
    const std::string missing = missingXTools(true);
    if (!missing.empty()) GTEST_SKIP() << missing;
    TempDir game, io;
    game.write("start.ini", "[WindowTitle]\r\nTitle=Quick\r\n");
    game.write("script.txt", "#fillclr(1, rgb(200, 30, 30));\r\n#paint();\r\n#mouseclickwait(1);\r\n"
                             "#fillclr(1, rgb(20, 30, 200));\r\n#paint();\r\n#mouseclickwait(1);\r\n#end();\r\n");
    const std::string out = runOnX(game, io, true,
                                   "start --scale 1; sleep 1\n"
                                   "xdotool windowfocus \"$w\"; sleep 0.3\n"
                                   "xdotool key F5; sleep 0.5; echo \"saved: $(xdotool getwindowname $w)\"\n"
                                   "xdotool key Return; sleep 0.5; shot blue\n"
                                   "xdotool key F9; sleep 0.8; shot question\n"
                                   "xdotool key Return; sleep 0.8; echo \"loaded: $(xdotool getwindowname $w)\"\n"
                                   "shot red; sleep 3.5; echo \"later: $(xdotool getwindowname $w)\"\n"
                                   "stop\n");
    ASSERT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
    EXPECT_NE(out.find("saved: Quick saved"), std::string::npos) << out;
    EXPECT_NE(out.find("loaded: Quick loaded"), std::string::npos) << out << io.read("err");
    EXPECT_NE(out.find("later: Quick\n"), std::string::npos) << out;
    const Picture blue = readXwd(io.path() / "blue.xwd"), red = readXwd(io.path() / "red.xwd");
    EXPECT_EQ(colourArea(blue, 20, 30, 200).count, 640L * 480);
    EXPECT_EQ(colourArea(red, 200, 30, 30).count, 640L * 480);
    EXPECT_EQ(io.read("err").find("Loadに成功しました"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_regular_file(save::resumePath(game.path()))) << io.read("err");
    std::filesystem::create_directories("/tmp/shots-resume");
    // The question over the page it would leave, for a look.
    const Picture q = readXwd(io.path() / "question.xwd");
    const Rect page = colourArea(red, 200, 30, 30).box;  // the dialog dims the page itself
    writePngPart(q, Rect{std::max(0, page.x - 8), std::max(0, page.y - 60), page.w + 16, page.h + 70},
                 "/tmp/shots-resume/f9-question.png");
}
