// Choices in a real window on an X server (Xvfb): picked with the arrow keys and Enter, and with
// the mouse; the branch taken is read back from system.dat. Skipped without xvfb-run/xdotool.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "test_util.h"

using namespace yv;

namespace {

// Three choices at (100, 300) in a 24-pixel font: areas from x 124, tops 300, 324 and 348. The
// window has no menu bar and scale 1, so window pixels are game pixels.
void writeGame(const TempDir& d) {
    d.write("start.ini", sjis("[WindowScreen]\r\nMENU=0\r\n[FONT]\r\nSize=24\r\n"));
    d.write("text.txt", sjis("\"東へ\";\r\n\"西へ\";\r\n\"南へ\";\r\n"));
    d.write("script.txt",
            sjis("#createtextf(1, 3);\r\n#loadtextf(\"text.txt\");\r\n#locatef(0, 100, 300);\r\n#select();\r\n{\r\n"
                 "#printtextf(0, 1, \"east\");\r\n#printtextf(0, 2, \"west\");\r\n#printtextf(0, 3, \"south\");\r\n"
                 "}\r\n@902 = 1;\r\n#breakapp();\r\n"
                 "|east:\r\n@901 = 1;\r\n#return();\r\n|west:\r\n@901 = 2;\r\n#return();\r\n"
                 "|south:\r\n@901 = 3;\r\n#return();\r\n"));
}

using Vars = std::vector<std::pair<int, int>>;

}  // namespace

TEST(XvfbChoices, ArrowKeysAndEnterPickAChoice) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    TempDir d, io;
    writeGame(d);
    // The first choice starts highlighted: Down twice reaches the third.
    const int st = playInWindow(d, io, "sleep 1.5; xdotool key Down; sleep 0.3; xdotool key Down; sleep 0.3; "
                                       "xdotool key Return\n");
    EXPECT_EQ(st, 0) << io.read("out") << io.read("err");
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (Vars{{901, 3}, {902, 1}})) << io.read("err");
}

TEST(XvfbChoices, MouseClickPicksAChoice) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    TempDir d, io;
    writeGame(d);
    const int st = playInWindow(d, io,
                                "sleep 1.5; xdotool mousemove --window \"$w\" 150 335; sleep 0.3; "
                                "xdotool mousemove --window \"$w\" 151 336; sleep 0.3; xdotool click 1\n");
    EXPECT_EQ(st, 0) << io.read("out") << io.read("err");
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (Vars{{901, 2}, {902, 1}})) << io.read("err");
}
