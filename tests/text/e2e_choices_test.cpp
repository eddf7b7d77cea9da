// Choices through the real program: a click at a position picks a branch (seen in system.dat),
// the screenshot shows the highlighted choice, and the --click option's forms.
#include <png.h>

#include <filesystem>

#include "app/cli.h"
#include "test_util.h"

#include <gtest/gtest.h>

using namespace yv;
namespace fs = std::filesystem;

namespace {

// Three choices at (100, 300) in a 24-pixel font: areas from x 124, tops 300, 324 and 348.
void writeGame(const TempDir& dir) {
    dir.write("start.ini", sjis("[WindowTitle]\r\nTitle=choices\r\n[FONT]\r\nSize=24\r\n"));
    dir.write("text.txt", sjis("\"右の道へ\";\r\n\"左の道へ\";\r\n\"引き返す\";\r\n"));
    dir.write("script.txt",
              sjis("#createtextf(1, 3);\r\n#loadtextf(\"text.txt\");\r\n#locatef(0, 100, 300);\r\n"
                   "#selectcolor(rgb(0, 0, 200));\r\n#select();\r\n{\r\n"
                   "#printtextf(0, 1, \"right\");\r\n#printtextf(0, 2, \"left\");\r\n"
                   "#printtextf(0, 3, \"back\");\r\n}\r\n@902 = 1;\r\n#end();\r\n"
                   "|right:\r\n@901 = 1;\r\n#return();\r\n|left:\r\n@901 = 2;\r\n#return();\r\n"
                   "|back:\r\n@901 = 3;\r\n#return();\r\n"));
}

using Vars = std::vector<std::pair<int, int>>;

}  // namespace

TEST(ChoicesEndToEnd, AClickAtAPositionPicksTheBranch) {
    TempDir d;
    writeGame(d);
    const RunResult r = runYorvane({"--headless", "--max-seconds", "30", "--click", "150,335@2000", d.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (Vars{{901, 2}, {902, 1}}));
}

TEST(ChoicesEndToEnd, RightClickDoesNotPickALeftButtonChoice) {
    TempDir d;
    writeGame(d);
    const RunResult r = runYorvane({"--headless", "--max-seconds", "30", "--click", "150,360@1500,right",
                                    "--click", "150,360@2500", d.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (Vars{{901, 3}, {902, 1}}));
}

TEST(ChoicesEndToEnd, AutoClickTakesTheHighlightedChoice) {
    TempDir d;
    writeGame(d);
    const RunResult r = runYorvane({"--headless", "--max-seconds", "30", "--auto-click", "700", d.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (Vars{{901, 1}, {902, 1}}));
}

TEST(ChoicesEndToEnd, ScreenshotShowsTheHighlightedChoice) {
    TempDir d;
    writeGame(d);
    const fs::path shot = d.path() / "shot.png";
    // The pointer rests on the third choice; nothing is clicked, so the choices stay.
    const RunResult r = runYorvane({"--headless", "--max-seconds", "5", "--click", "150,360@1000,right",
                                    "--screenshot", shot.string(), d.path().string()});
    EXPECT_EQ(r.status, 124) << r.err;
    const Picture pic = readPng(shot);
    ASSERT_EQ(pic.w, 640);
    ASSERT_EQ(pic.h, 480);
    // Corner of the first character cell of each line: only the third is tinted blue.
    EXPECT_EQ(pic.at(124, 300)[2], 0);
    EXPECT_EQ(pic.at(124, 324)[2], 0);
    EXPECT_EQ(pic.at(124, 348)[2], 200);
    EXPECT_EQ(pic.at(124, 348)[0], 0);
    EXPECT_EQ(pic.at(123, 348)[2], 0);  // left of the area
    // Every line's text is on the screen.
    for (int i = 0; i < 3; ++i) {
        int lit = 0;
        for (int y = 300 + 24 * i; y < 324 + 24 * i; ++y)
            for (int x = 124; x < 124 + 4 * 24; ++x) lit += pic.at(x, y)[0] > 160;
        EXPECT_GT(lit, 20) << "choice " << i;
    }
}

TEST(ChoicesEndToEnd, ClickOptionForms) {
    std::string error;
    auto o = parseOptions({"--click", "10,20@30", "--click", "-1,5@0.5,right", "--headless"}, error);
    ASSERT_TRUE(o) << error;
    ASSERT_EQ(o->clicks.size(), 2u);
    EXPECT_EQ(o->clicks[0].x, 10);
    EXPECT_EQ(o->clicks[0].y, 20);
    EXPECT_EQ(o->clicks[0].atMs, 30);
    EXPECT_EQ(o->clicks[0].button, 1);
    EXPECT_EQ(o->clicks[1].x, -1);
    EXPECT_EQ(o->clicks[1].button, 2);
    for (const char* bad : {"10,20", "10@5", "a,b@1", "1,2@3,middle", "1,2@-4", "1,2@"}) {
        EXPECT_FALSE(parseOptions({"--click", bad}, error)) << bad;
        EXPECT_NE(error.find("--click"), std::string::npos);
    }
    EXPECT_FALSE(parseOptions({"--click"}, error));
}

TEST(ChoicesEndToEnd, DemoGetsThroughItsChoiceWithAutomaticClicks) {
    TempDir d;
    fs::copy(fs::path(YV_SOURCE_DIR) / "examples" / "demo", d.path(), fs::copy_options::recursive);
    fs::remove(d.path() / "system.dat");
    const RunResult r = runYorvane({"--headless", "--max-seconds", "900", "--auto-click", "500", d.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find(cp932ToUtf8(sjis("dialog: Yorvane demo: 提灯を手に取って"))), std::string::npos) << r.err;
    bool picked = false;
    for (const auto& [k, v] : readSystemDat(d.path() / "system.dat")) picked |= k == 903 && v == 1;
    EXPECT_TRUE(picked);
}
