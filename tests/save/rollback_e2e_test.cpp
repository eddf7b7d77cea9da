// Going back a page through the real program (--key Backspace): the page's picture and
// variables come back, system.dat's variables do not, and another choice forgets the later pages.
#include <gtest/gtest.h>

#include <cstdlib>

#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

using Vars = std::vector<std::pair<int, int>>;

// `pages` message pages (text item 0 shows "ページ n" from t.txt over the back screen's copy). @1 counts the pages, @2
// depends on every page passed, @950 (system.dat's) counts the pages shown, a going back never
// counting. At the end @901 and @902 keep @1 and @2.
struct PageGame {
    TempDir dir;
    TempDir data;  // XDG_DATA_HOME: nothing may land in the real home
    explicit PageGame(int pages, const std::string& beforeEnd = "") {
        std::string text;
        for (int i = 1; i <= pages + 3; ++i) text += "\"ページ " + std::to_string(i) + " です\\p\";\r\n";
        dir.write("start.ini", "[WindowSize]\r\nRight=320\r\nBottom=240\r\n[WindowTitle]\r\nTitle=Back\r\n");
        dir.write("t.txt", sjis(text));
        dir.write("script.txt",
                  sjis("#createtextf(1, " + std::to_string(pages + 3) + ");\r\n#loadtextf(\"t.txt\");\r\n#locatef(0, 20, 100);\r\n"
                       "#settextspeedf(0, -1);\r\n#settexttype(4, rgb(0, 0, 160));\r\n#selectcolor(rgb(0, 90, 0));\r\n@1 = 0;\r\n@2 = 7;\r\n"
                       "|page:\r\n@1 += 1;\r\n@2 = (@2 * 31 + @1) % 10007;\r\n@950 += 1;\r\n"
                       "#bitblt(0, 0, 0, 320, 240, 1, 0, 0, 0);\r\n#printtextf(0, @1);\r\n#if(@1 < " + std::to_string(pages) + ")\r\n{\r\n#goto(\"page\");\r\n}\r\n" +
                       beforeEnd + "@901 = @1;\r\n@902 = @2;\r\n#systemsave();\r\n#end();\r\n"));
    }
    RunResult run(std::vector<std::string> args, const std::string& shot = "") {
        ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
        fs::remove(dir.path() / "system.dat");
        args.insert(args.begin(), "--headless");
        if (!shot.empty()) {
            args.push_back("--screenshot");
            args.push_back((dir.path() / shot).string());
        }
        args.push_back(dir.path().string());
        RunResult r = runYorvane(args);
        ::unsetenv("XDG_DATA_HOME");
        return r;
    }
    Vars systemDat() const { return readSystemDat(dir.path() / "system.dat"); }
    Picture shot(const std::string& name) const { return readPng(dir.path() / name); }
};

// `n` clicks, 300 ms apart from 1000 ms; then `keys` presses of `key`, 300 ms apart. The time
// after the last.
double schedule(std::vector<std::string>& args, int n, int keys = 0, const std::string& key = "Backspace",
                double from = 1000) {
    double t = from;
    for (int i = 0; i < n; ++i, t += 300) {
        args.push_back("--click");
        args.push_back("5,5@" + std::to_string(static_cast<int>(t)));
    }
    for (int i = 0; i < keys; ++i, t += 300) {
        args.push_back("--key");
        args.push_back(key + "@" + std::to_string(static_cast<int>(t)));
    }
    return t;
}

std::string seconds(double ms) { return std::to_string(ms / 1000.0); }

int var(const Vars& v, int n) {
    for (const auto& [k, x] : v)
        if (k == n) return x;
    return 0;
}

}  // namespace

// Back 1 and back 10 pages: the picture is the page's as first shown; the close writes system.dat
// with the pages shown counted as they happened.
TEST(GoingBackThroughTheProgram, OneAndTenPagesBringBackThePicture) {
    PageGame g(20);
    std::vector<std::string> first;
    const double t2 = schedule(first, 1) + 500;  // on page 2
    first.insert(first.end(), {"--max-seconds", seconds(t2)});
    RunResult a = g.run(first, "page2.png");
    ASSERT_EQ(a.status, 124) << a.err;
    EXPECT_EQ(var(g.systemDat(), 950), 2);
    const Picture page2 = g.shot("page2.png");
    ASSERT_EQ(page2.w, 320);

    std::vector<std::string> third;
    const double t3 = schedule(third, 2) + 500;
    third.insert(third.end(), {"--max-seconds", seconds(t3)});
    ASSERT_EQ(g.run(third, "page3.png").status, 124);
    EXPECT_NE(g.shot("page3.png").rgb, page2.rgb);  // the pages differ

    for (int back : {1, 10}) {
        std::vector<std::string> args;
        const double end = schedule(args, 1 + back, back) + 500;
        args.insert(args.end(), {"--max-seconds", seconds(end)});
        RunResult r = g.run(args, "back.png");
        ASSERT_EQ(r.status, 124) << r.err;
        EXPECT_EQ(r.err.find("Load"), std::string::npos) << r.err;  // no load message
        EXPECT_TRUE(g.shot("back.png").rgb == page2.rgb) << "back " << back;
        // The close's system.dat: the pages shown, none taken back.
        EXPECT_EQ(var(g.systemDat(), 950), 2 + back) << "back " << back;
    }
}

// Back 100 pages, then on to the end: the state the game ends with is the state of a run that
// never went back; system.dat's counter alone remembers the pages shown twice.
TEST(GoingBackThroughTheProgram, AHundredPagesBackThenOnToTheEnd) {
    PageGame g(110);
    std::vector<std::string> straight;
    schedule(straight, 110);
    straight.insert(straight.end(), {"--max-seconds", "200"});
    RunResult s = g.run(straight);
    ASSERT_EQ(s.status, 0) << s.err;
    const Vars plain = g.systemDat();
    ASSERT_EQ(var(plain, 901), 110);
    ASSERT_EQ(var(plain, 950), 110);

    std::vector<std::string> atStart;
    atStart.insert(atStart.end(), {"--max-seconds", "0.8"});
    ASSERT_EQ(g.run(atStart, "page1.png").status, 124);

    std::vector<std::string> args;
    const double back = schedule(args, 100, 100) + 500;  // page 101, then 100 back
    std::vector<std::string> firstPart = args;
    firstPart.insert(firstPart.end(), {"--max-seconds", seconds(back)});
    RunResult r = g.run(firstPart, "back100.png");
    ASSERT_EQ(r.status, 124) << r.err;
    EXPECT_TRUE(g.shot("back100.png").rgb == g.shot("page1.png").rgb);
    EXPECT_EQ(var(g.systemDat(), 950), 101);

    schedule(args, 110, 0, "", back);
    args.insert(args.end(), {"--max-seconds", "400"});
    RunResult all = g.run(args);
    ASSERT_EQ(all.status, 0) << all.err;
    const Vars v = g.systemDat();
    EXPECT_EQ(var(v, 901), 110);
    EXPECT_EQ(var(v, 902), var(plain, 902));
    EXPECT_EQ(var(v, 950), 210);
}

// A choice after page 3: the first way shows pages A1 and A2, the second B1. Going back to page
// 3 and taking the second forgets A1 and A2: from B1 two pages back is page 2, and forward from
// there page 3 and B1 again.
TEST(GoingBackThroughTheProgram, AnotherChoiceForgetsTheLaterPages) {
    PageGame g(3,
               "#select();\r\n{\r\n#printtextf(0, 4, \"a\");\r\n#printtextf(0, 5, \"b\");\r\n}\r\n"
               "#goto(\"end\");\r\n"
               "|a:\r\n@903 = 1;\r\n#printtextf(0, 1);\r\n#printtextf(0, 2);\r\n#return();\r\n"
               "|b:\r\n@903 = 2;\r\n#printtextf(0, 3);\r\n#return();\r\n|end:\r\n");
    ASSERT_EQ(g.run({"--click", "5,5@1000", "--max-seconds", "1.8"}, "page2.png").status, 124);
    // Where the two choices are (item 0 at (20, 100), lines of 24).
    const std::string firstChoice = "60,112@", secondChoice = "60,136@";
    std::vector<std::string> args = {"--click", "5,5@1000", "--click", "5,5@1300",  // page 3
                                     "--click", "5,5@1600",                         // the choices
                                     "--click", firstChoice + "2000",               // A1
                                     "--click", "5,5@2300",                         // A2
                                     "--key", "Backspace@2600", "--key", "Backspace@2900",  // page 3
                                     "--click", "5,5@3200",                         // the choices
                                     "--click", secondChoice + "3600",              // B1
                                     "--key", "Backspace@3900", "--key", "Backspace@4200"};  // page 2
    std::vector<std::string> toPage2 = args;
    toPage2.insert(toPage2.end(), {"--max-seconds", "5"});
    ASSERT_EQ(g.run(toPage2, "back.png").status, 124);
    EXPECT_TRUE(g.shot("back.png").rgb == g.shot("page2.png").rgb);

    // Forward twice (Shift held), then once more where no page is ahead: a click, which ends B1.
    args.insert(args.end(), {"--key", "Left Shift@4500,down", "--key", "Backspace@4600", "--key", "Backspace@4900",
                             "--key", "Backspace@5200", "--key", "Left Shift@5300,up", "--max-seconds", "10"});
    RunResult r = g.run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const Vars v = g.systemDat();
    EXPECT_EQ(var(v, 903), 2);
    EXPECT_EQ(var(v, 950), 3);  // page 3 was reached once; the choices' pages do not count
}

// 設定 > 一つ前へ is greyed on the first page and goes back a page as Backspace does.
TEST(GoingBackThroughTheProgram, TheMenuEntryGoesBackWhenThereIsAPageBefore) {
    PageGame g(5);
    RunResult none = g.run({"--menu", "40131@500", "--max-seconds", "1"});
    EXPECT_NE(none.err.find("menu: entry 40131 cannot be picked now"), std::string::npos) << none.err;
    ASSERT_EQ(g.run({"--click", "5,5@1000", "--max-seconds", "1.8"}, "page2.png").status, 124);
    RunResult r = g.run({"--click", "5,5@1000", "--click", "5,5@1300", "--menu", "40131@1600", "--max-seconds", "2.4"},
                        "back.png");
    ASSERT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(r.err.find("cannot be picked"), std::string::npos) << r.err;
    EXPECT_TRUE(g.shot("back.png").rgb == g.shot("page2.png").rgb);
}
