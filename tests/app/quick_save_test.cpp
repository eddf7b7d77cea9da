// F5 and F9 through the real program: the quick slot brings back variables, the picture and the
// statement, and F9 asks first only when the game went on since the last save or load.
#include <gtest/gtest.h>

#include "save/save_folder.h"
#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// Page A (red, @10 = 7), then page B (blue, @10 = 99). @901 counts how often A was passed and
// @902 is what @10 held then: 7 each time when a load brought the variables back.
struct QuickGame {
    TempDir dir, io;
    QuickGame() {
        dir.write("start.ini", "");
        dir.write("script.txt",
                  "@10 = 7;\r\n#fillclr(1, rgb(200, 30, 30));\r\n#paint();\r\n#mouseclickwait(1);\r\n"
                  "@902 = @10;\r\n@10 = 99;\r\n@901 = @901 + 1;\r\n"
                  "#fillclr(1, rgb(20, 30, 200));\r\n#paint();\r\n#mouseclickwait(1);\r\n"
                  "@903 = 1;\r\n#systemsave();\r\n#end();\r\n");
    }
    RunResult run(std::vector<std::string> args, const std::string& answers = "") {
        io.write("answers.txt", answers);
        std::vector<std::string> all = {"--headless", "--answers", (io.path() / "answers.txt").string()};
        all.insert(all.end(), args.begin(), args.end());
        all.push_back(dir.path().string());
        return runYorvane(all);
    }
    std::vector<std::pair<int, int>> vars() { return readSystemDat(dir.path() / "system.dat"); }
};

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

const char* kQuestion = "Back to the quick save?";  // the tests run in English

}  // namespace

TEST(QuickSave, LoadBringsBackVariablesPictureAndStatement) {
    QuickGame g;
    // Saved at A, A passed (@10 = 99, blue), loaded: A waits again with @10 = 7, red.
    const fs::path shot = g.io.path() / "shot.png";
    const RunResult at = g.run({"--key", "F5@500", "--click", "10,10@1000", "--key", "F9@1500", "--max-seconds", "2",
                                "--screenshot", shot.string()},
                               "yes\n");
    EXPECT_EQ(at.status, 124) << at.err;
    const Picture p = readPng(shot);
    ASSERT_GT(p.w, 0);
    EXPECT_EQ(p.at(5, 5)[0], 200);
    EXPECT_EQ(p.at(5, 5)[2], 30);
    // The player folder holds the quick slot; the game folder no slot of the game's.
    EXPECT_TRUE(fs::is_regular_file(save::userSaveFolder(g.dir.path()) / "quick.sav"));
    EXPECT_FALSE(g.dir.exists("quick.sav"));
    EXPECT_FALSE(g.dir.exists("flag0.sav"));
    EXPECT_EQ(count(at.err, "Loadに成功しました"), 0u) << at.err;

    // Played on: A is passed a second time with the 7 the load gave back, then B.
    fs::remove(save::userSaveFolder(g.dir.path()) / "quick.sav");
    const RunResult done = g.run({"--key", "F5@500", "--click", "10,10@1000", "--key", "F9@1500", "--click",
                                  "10,10@2000", "--click", "10,10@2500", "--max-seconds", "5"},
                                 "yes\n");
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(g.vars(), (std::vector<std::pair<int, int>>{{901, 2}, {902, 7}, {903, 1}})) << done.err;
}

TEST(QuickSave, LoadAsksOnlyAfterProgress) {
    QuickGame g;
    // Loaded at once after the save: nothing to lose, no question. After A was passed: asked,
    // and "no" leaves the game at B.
    const RunResult r = g.run({"--key", "F5@500", "--key", "F9@700", "--click", "10,10@1000", "--key", "F9@1500",
                               "--click", "10,10@2000", "--max-seconds", "5"},
                              "no\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(count(r.err, kQuestion), 1u) << r.err;
    EXPECT_EQ(count(r.err, "quick load: "), 1u) << r.err;
    EXPECT_EQ(g.vars(), (std::vector<std::pair<int, int>>{{901, 1}, {902, 7}, {903, 1}})) << r.err;
}

TEST(QuickSave, NoQuickSaveSaysSoAndChangesNothing) {
    QuickGame g;
    fs::remove(save::userSaveFolder(g.dir.path()) / "quick.sav");
    const RunResult r = g.run({"--key", "F9@500", "--click", "10,10@1000", "--click", "10,10@1500", "--max-seconds", "5"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("no quick save"), std::string::npos) << r.err;
    EXPECT_EQ(count(r.err, kQuestion), 0u) << r.err;
    EXPECT_EQ(g.vars(), (std::vector<std::pair<int, int>>{{901, 1}, {902, 7}, {903, 1}})) << r.err;
}

// A choice taken is progress as a page passed is: saved while the choices were offered, F9
// after one was taken asks, and "yes" offers them again.
TEST(QuickSave, AChoiceTakenIsProgress) {
    TempDir d, io;
    d.write("start.ini", sjis("[FONT]\r\nSize=24\r\n"));
    d.write("text.txt", sjis("\"右の道へ\";\r\n\"左の道へ\";\r\n\"引き返す\";\r\n"));
    d.write("script.txt",
            sjis("#createtextf(1, 3);\r\n#loadtextf(\"text.txt\");\r\n#locatef(0, 100, 300);\r\n#select();\r\n{\r\n"
                 "#printtextf(0, 1, \"right\");\r\n#printtextf(0, 2, \"left\");\r\n#printtextf(0, 3, \"back\");\r\n}\r\n"
                 "#mouseclickwait(1);\r\n@902 = 1;\r\n#systemsave();\r\n#end();\r\n"
                 "|right:\r\n@901 = 1;\r\n#return();\r\n|left:\r\n@901 = 2;\r\n#return();\r\n"
                 "|back:\r\n@901 = 3;\r\n#return();\r\n"));
    io.write("answers.txt", "yes\n");
    const RunResult r = runYorvane({"--headless", "--answers", (io.path() / "answers.txt").string(), "--key",
                                    "F5@1000", "--click", "150,335@2000", "--key", "F9@2500", "--click",
                                    "150,360@3500", "--click", "10,10@4000", "--max-seconds", "10",
                                    d.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(count(r.err, kQuestion), 1u) << r.err;
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (std::vector<std::pair<int, int>>{{901, 3}, {902, 1}})) << r.err;
}
