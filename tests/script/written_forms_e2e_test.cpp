// Statements written in forms authors get wrong, through the real program: what the script sees
// afterwards, read back from system.dat.
#include <gtest/gtest.h>

#include "test_util.h"

using namespace yv;

namespace {

using Vars = std::vector<std::pair<int, int>>;

Vars run(const TempDir& d) {
    const RunResult r = runYorvane({"--headless", "--max-seconds", "10", d.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    return readSystemDat(d.path() / "system.dat");
}

}  // namespace

// A command without its parentheses names no command: the statement does nothing and the
// script goes on, so the game keeps running.
TEST(WrittenForms, CommandWithoutParenthesesDoesNothing) {
    TempDir d;
    d.write("start.ini", "[WindowTitle]\r\nTitle=t\r\n");
    d.write("script.txt", "@901 = 1;\r\n#breakapp;\r\n@902 = 1;\r\n#end();\r\n");
    EXPECT_EQ(run(d), (Vars{{901, 1}, {902, 1}}));
}

// Each inline call returns into the statement that showed the message, also the second call to
// the same subroutine; the script then goes on after that statement.
TEST(WrittenForms, TwoInlineCallsInOneMessage) {
    TempDir d;
    d.write("start.ini", "[WindowTitle]\r\nTitle=t\r\n");
    d.write("text.txt", sjis("\"あい\\#gosub(\"sub\")うえ\\#gosub(\"sub\")おか\\e\";\r\n"));
    d.write("script.txt", sjis("#createtextf(1, 1);\r\n#loadtextf(\"text.txt\");\r\n#settextspeedf(0, -1);\r\n"
                               "#printtextf(0, 1);\r\n@902 = 1;\r\n#end();\r\n|sub:\r\n@901 += 1;\r\n#return();\r\n"));
    EXPECT_EQ(run(d), (Vars{{901, 2}, {902, 1}}));
}
