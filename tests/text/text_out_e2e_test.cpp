// --text-out and 設定 > テキストをコピー through the real program: each page once as read, the
// speaker's name first, never again when a going back or a load shows it once more.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <sstream>

#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// Two named pages (the second with a line break), a choice (right: row 5, left: row 6), then a
// last page. Item 0 shows the name, item 1 the message at once; the pages wait for a click.
struct TalkGame {
    TempDir dir, io, data;
    TalkGame() {
        dir.write("start.ini", "[WindowSize]\r\nRight=320\r\nBottom=240\r\n");
        dir.write("t.txt", sjis("\"アリス\",\"一頁目\\p\";\r\n\"ボブ\",\"二頁目\\nです\\p\";\r\n\"右へ\",\"\";\r\n"
                                "\"左へ\",\"\";\r\n\"アリス\",\"右の頁\\p\";\r\n\"ボブ\",\"左の頁\\p\";\r\n"
                                "\"アリス\",\"終わり\\p\";\r\n"));
        dir.write("script.txt",
                  "#createtextf(2, 7);\r\n#loadtextf(\"t.txt\");\r\n#locatef(0, 20, 20);\r\n#locatef(1, 20, 120);\r\n"
                  "#settextspeedf(0, -1);\r\n#settextspeedf(1, -1);\r\n#settextprintf(1, rgb(255, 255, 255));\r\n"
                  "#printtextf(0, 1);\r\n#printtextf(0, 2);\r\n"
                  "#select();\r\n{\r\n#printtextf(0, 3, \"r\");\r\n#printtextf(0, 4, \"l\");\r\n}\r\n"
                  "#printtextf(0, 7);\r\n#end();\r\n"
                  "|r:\r\n#printtextf(0, 5);\r\n#return();\r\n|l:\r\n#printtextf(0, 6);\r\n#return();\r\n");
    }
    RunResult run(std::vector<std::string> args, const std::string& answers = "") {
        io.write("answers.txt", answers);
        // The player folder and the remembered settings stay in the test's folders.
        ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", data.path().c_str(), 1);
        std::vector<std::string> all = {"--headless", "--answers", (io.path() / "answers.txt").string(),
                                        "--text-out", (io.path() / "out.txt").string()};
        all.insert(all.end(), args.begin(), args.end());
        all.push_back(dir.path().string());
        RunResult r = runYorvane(all);
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_CONFIG_HOME");
        return r;
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        std::istringstream in(io.read("out.txt"));
        for (std::string l; std::getline(in, l);) out.push_back(l);
        return out;
    }
};

using Lines = std::vector<std::string>;

// Where the choices are (item 0 at (20, 20), lines of 24).
const std::string kRight = "60,32@", kLeft = "60,56@";

}  // namespace

// Right, back to page 2 (Backspace), then left: page 2 shown again is not written again, the
// pages reached after it are.
TEST(TextOut, GoingBackWritesNoPageTwice) {
    TalkGame g;
    RunResult r = g.run({"--click", "5,5@1000", "--click", "5,5@1300", "--click", kRight + "1700",
                         "--key", "Backspace@2000", "--click", "5,5@2300", "--click", kLeft + "2700",
                         "--click", "5,5@3000", "--click", "5,5@3300", "--max-seconds", "10"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(g.lines(), (Lines{"アリス　一頁目", "ボブ　二頁目 です", "アリス　右の頁", "ボブ　左の頁", "アリス　終わり"}));
    EXPECT_EQ(r.err.find("clipboard:"), std::string::npos) << r.err;  // off unless asked for
}

// F5 on page 1, on to page 2, F9 back (yes to its question): page 1 shown again is not written;
// page 2, reached again by playing on, is. A second run appends.
TEST(TextOut, AQuickLoadWritesTheLoadedPageNoMore) {
    TalkGame g;
    RunResult r = g.run({"--key", "F5@500", "--click", "5,5@1000", "--key", "F9@1500", "--click", "5,5@2000",
                         "--max-seconds", "2.5"},
                        "yes\n");
    ASSERT_EQ(r.status, 124) << r.err;
    ASSERT_NE(r.err.find("quick load:"), std::string::npos) << r.err;
    EXPECT_EQ(g.lines(), (Lines{"アリス　一頁目", "ボブ　二頁目 です", "ボブ　二頁目 です"}));
    ASSERT_EQ(g.run({"--max-seconds", "0.5"}).status, 124);
    EXPECT_EQ(g.lines().size(), 4u);
    EXPECT_EQ(g.lines().back(), "アリス　一頁目");
}

// テキストをコピー turned on from the menu: the pages after it reach the clipboard with their
// line breaks, and the next run remembers the choice.
TEST(TextOut, TheClipboardEntryIsRememberedPerGame) {
    TalkGame g;
    RunResult r = g.run({"--menu", "40114@500", "--click", "5,5@1000", "--max-seconds", "1.5"});
    ASSERT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(r.err.find("clipboard: アリス"), std::string::npos) << r.err;  // shown before the entry
    EXPECT_NE(r.err.find("clipboard: ボブ　二頁目\\nです\n"), std::string::npos) << r.err;
    RunResult again = g.run({"--max-seconds", "0.5"});
    EXPECT_NE(again.err.find("clipboard: アリス　一頁目\n"), std::string::npos) << again.err;
}

// A folder is refused at once; a FIFO nobody reads never holds the game.
TEST(TextOut, AFolderIsRefusedAndAFifoWithoutReaderDoesNotBlock) {
    TalkGame g;
    RunResult bad = runYorvane({"--headless", "--text-out", g.io.path().string(), g.dir.path().string()});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("is a folder"), std::string::npos) << bad.err;

    const fs::path fifo = g.io.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Played to its end with no reader ever: the lines go nowhere and the game is not held.
    RunResult r = runYorvane({"--headless", "--text-out", fifo.string(), "--auto-click", "50", "--max-seconds", "5",
                              g.dir.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
}
