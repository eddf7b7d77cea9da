// Saving and loading through the real program: the menu entries picked with --menu, and the
// script commands; the picture after a load is the picture at the save, pixel for pixel.
#include <gtest/gtest.h>

#include "../graphics/gfx_util.h"
#include "test_util.h"

using namespace yv;
using namespace yv::test;
namespace fs = std::filesystem;

namespace {

// Two choices over a picture, two calls deep in another script file; choosing the first
// changes everything a save holds and waits; choosing the second ends the game, writing what
// it found into system.dat.
const char* kIni = "[WindowSize]\r\nRight=320\r\nBottom=240\r\n[WindowTitle]\r\nTitle=SaveTest\r\n";

const char* kMain =
    "#createimage(2, 2, 320, 240);\n"
    "#loadimage(3, \"a.bmp\");\n"
    "#loadimage(4, \"b.bmp\");\n"
    "#bitblt(1, 0, 0, 320, 240, 3, 0, 0, 0);\n"
    "#paint();\n"
    "#createtextf(1, 2);\n"
    "#loadtextf(\"t.txt\");\n"
    "#locatef(0, 20, 150);\n"
    "#settextspeedf(0, -1);\n"
    "#setdefaultcolor(0, rgb(255, 255, 0));\n"
    "#settexttype(4, rgb(0, 0, 160));\n"
    "#selectcolor(rgb(0, 90, 0));\n"
    "@901 = 11;\n@A = \"x,y\";\n"
    "#gosub(\"scene\", \"two.txt\");\n"
    "@950 = @20;\n@951 = @901;\n"
    "#systemsave();\n#end();\n";

std::string two(const std::string& beforeChoice, const std::string& afterChanges) {
    return "|scene:\n#gosub(\"choice\", \"two.txt\");\n#return();\n"
           "|choice:\n" + beforeChoice +
           "#select();\n{\n#printtextf(0, 1, \"c1\", \"two.txt\");\n#printtextf(0, 2, \"c2\", \"two.txt\");\n}\n"
           "#return();\n"
           "|c1:\n@20 = 1;\n"
           "#bitblt(1, 0, 0, 320, 240, 4, 0, 0, 0);\n#paint();\n"
           "#releaseimage(3);\n#settexttype(0);\n#setdefaultcolor(0, rgb(0, 0, 0));\n"
           "@901 = 99;\n@A = \"changed\";\n" + afterChanges +
           "#wait(100000);\n#return();\n"
           "|c2:\n@20 = 2;\n@952 = #getstrlen(@A);\n#return();\n";
}

void writeGame(const TempDir& d, const std::string& twoTxt) {
    std::vector<Bgr> a, b;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            a.push_back({static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x ^ y)});
            b.push_back({static_cast<uint8_t>(255 - y), 40, static_cast<uint8_t>(x / 2)});
        }
    d.write("start.ini", kIni);
    d.write("a.bmp", bmp24(320, 240, a));
    d.write("b.bmp", bmp24(320, 240, b));
    d.write("t.txt", sjis("\"はじまりへ\";\r\n\"おわりへ\";\r\n"));
    d.write("script.txt", sjis(kMain));
    d.write("two.txt", sjis(twoTxt));
}

RunResult run(const TempDir& d, std::vector<std::string> args, const std::string& shot) {
    args.insert(args.begin(), "--headless");
    args.push_back("--screenshot");
    args.push_back((d.path() / shot).string());
    args.push_back(d.path().string());
    return runYorvane(args);
}

// Where the two choices are (item 0 at (20, 150), lines of 24).
const char* kFirst = "60,162@";
const char* kSecond = "60,186@";

}  // namespace

TEST(SavesThroughTheProgram, MenuSaveThenLoadBringsBackThePictureAndTheGame) {
    TempDir d;
    writeGame(d, two("", ""));
    // The picture when slot 0 is saved, choices on screen.
    RunResult a = run(d, {"--menu", "32792@2000", "--max-seconds", "2.5"}, "at_save.png");
    ASSERT_EQ(a.status, 124) << a.err;
    ASSERT_TRUE(d.exists("flag0.sav"));
    const std::string saved = d.read("flag0.sav");
    fs::remove(d.path() / "system.dat");

    // Save, choose the first branch (everything changes), load slot 0: the same picture again.
    RunResult b = run(d, {"--menu", "32792@2000", "--click", std::string(kFirst) + "3000", "--menu", "32802@5000",
                          "--max-seconds", "6"},
                      "after_load.png");
    ASSERT_EQ(b.status, 124) << b.err;
    EXPECT_NE(b.err.find("dialog: 確認: セーブファイルが存在します。"), std::string::npos) << b.err;
    EXPECT_NE(b.err.find("dialog: SaveTest: Loadに成功しました。"), std::string::npos) << b.err;
    EXPECT_EQ(d.read("flag0.sav"), saved);  // the same state saves the same bytes
    const Picture atSave = readPng(d.path() / "at_save.png");
    const Picture afterLoad = readPng(d.path() / "after_load.png");
    ASSERT_EQ(atSave.w, 320);
    EXPECT_TRUE(atSave.rgb == afterLoad.rgb);

    // The whole way: after the load the second choice ends the game with the saved state.
    fs::remove(d.path() / "system.dat");
    RunResult c = run(d, {"--menu", "32792@2000", "--click",
                          std::string(kFirst) + "3000", "--menu", "32802@5000", "--click",
                          std::string(kSecond) + "7000", "--max-seconds", "20"},
                      "end.png");
    EXPECT_EQ(c.status, 0) << c.err;
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"),
              (std::vector<std::pair<int, int>>{{901, 11}, {950, 2}, {951, 11}, {952, 3}}));

    // Another run loads the slot at once: the same picture.
    RunResult e = run(d, {"--menu", "32802@300", "--max-seconds", "1"}, "fresh_load.png");
    ASSERT_EQ(e.status, 124) << e.err;
    EXPECT_TRUE(readPng(d.path() / "fresh_load.png").rgb == atSave.rgb);
}

TEST(SavesThroughTheProgram, ScriptCommandsSaveAndLoad) {
    TempDir d;
    // The script saves before its choice and, in the first branch, loads that save again.
    writeGame(d, two("@903 = @903 + 1;\n#if(@903 == 1)\n{\n#save(\"flag7.sav\");\n}\n",
                     "#load(\"flag7.sav\");\n"));
    RunResult a = run(d, {"--max-seconds", "2"}, "at_save.png");
    ASSERT_EQ(a.status, 124) << a.err;
    fs::remove(d.path() / "system.dat");
    fs::remove(d.path() / "flag7.sav");
    RunResult b = run(d, {"--click", std::string(kFirst) + "3000", "--max-seconds", "5"}, "after_load.png");
    ASSERT_EQ(b.status, 124) << b.err;
    EXPECT_NE(b.err.find("dialog: SaveTest: Loadに成功しました。"), std::string::npos) << b.err;
    EXPECT_TRUE(readPng(d.path() / "at_save.png").rgb == readPng(d.path() / "after_load.png").rgb);
}

TEST(SavesThroughTheProgram, MenuOptionIsCheckedAndGreyedEntriesAreNotPicked) {
    TempDir d;
    writeGame(d, two("", ""));
    RunResult bad = runYorvane({"--headless", "--menu", "32792", d.path().string()});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--menu"), std::string::npos);
    // Loading a slot that has no file: its entry is greyed, so nothing is picked.
    RunResult r = run(d, {"--menu", "32803@1000", "--max-seconds", "1.5"}, "x.png");
    EXPECT_EQ(r.status, 124);
    EXPECT_NE(r.err.find("menu: entry 32803 cannot be picked now"), std::string::npos) << r.err;
}
