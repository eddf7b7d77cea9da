// A click while a message is typed, through the real program: the first click shows the rest of
// the message up to its wait, the second goes on; headless and in a window under Xvfb.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include "test_util.h"

using namespace yv;

namespace {

using Vars = std::vector<std::pair<int, int>>;

// Sixty kana: at 150 ms a character the message types for nine seconds.
std::string sixtyKana() {
    const std::string row = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ";
    return row + row;
}

struct Way {
    const char* name;
    bool table;       // printtextf of a table row, else printtext of @A
    bool lineLength;  // setmessagelength(0, 20)
};

// The message ends in \p: a click wait after the typing; @901 is set once the script goes on.
void writeGame(const TempDir& d, const Way& w) {
    d.write("start.ini", sjis("[WindowScreen]\r\nMENU=0\r\n[TEXT]\r\nSpeed=20\r\n"));
    d.write("text.txt", sjis("\"" + sixtyKana() + "\\p\\e\";\r\n"));
    std::string s = "#createtextf(1, 1);\r\n#locatef(0, 20, 100);\r\n#settextspeedf(0, 150);\r\n";
    if (w.lineLength) s += "#setmessagelength(0, 20);\r\n";
    if (w.table) {
        s += "#loadtextf(\"text.txt\");\r\n#printtextf(0, 1);\r\n";
    } else {
        s += "@A = \"" + sixtyKana() + "\\p\";\r\n#printtext(0);\r\n";
    }
    s += "@901 = 1;\r\n#breakapp();\r\n";
    d.write("script.txt", sjis(s));
}

RunResult runWithClicks(const TempDir& d, std::initializer_list<int> atMs) {
    std::vector<std::string> args{"--headless", "--max-seconds", "6"};
    for (int ms : atMs) args.insert(args.end(), {"--click", "100,100@" + std::to_string(ms)});
    args.push_back(d.path().string());
    return runYorvane(args);
}

const Way kWays[] = {{"printtext", false, false},
                     {"printtext with a line length", false, true},
                     {"printtextf", true, false},
                     {"printtextf with a line length", true, true}};

}  // namespace

TEST(TypingClick, FirstClickCompletesTheMessageSecondGoesOn) {
    for (const Way& w : kWays) {
        SCOPED_TRACE(w.name);
        TempDir d;
        writeGame(d, w);
        const RunResult r = runWithClicks(d, {1000, 2000});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (Vars{{901, 1}})) << r.err;
    }
}

TEST(TypingClick, OneClickStopsAtTheMessagesWait) {
    for (const Way& w : kWays) {
        SCOPED_TRACE(w.name);
        TempDir d;
        writeGame(d, w);
        const RunResult r = runWithClicks(d, {1000});
        EXPECT_EQ(r.status, 124) << r.err;
        EXPECT_EQ(readSystemDat(d.path() / "system.dat"), Vars{}) << r.err;
    }
}

// The window's clicks reach the renderer through the window thread, not the headless clock.
TEST(TypingClick, InAWindow) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    TempDir d, io;
    writeGame(d, kWays[1]);
    const int st = playInWindow(d, io,
                                "xdotool mousemove --window \"$w\" 300 300; sleep 1\n"
                                "xdotool click 1; sleep 1; xdotool click 1",
                                50);
    EXPECT_EQ(st, 0) << io.read("out") << io.read("err");
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (Vars{{901, 1}})) << io.read("err");
}
