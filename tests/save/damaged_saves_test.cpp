// Files that are no saved game fail to load, and the game goes on untouched: from load, the slot
// menu, the load dialog and the load it requests. Run through the real program.
#include <gtest/gtest.h>

#include <map>

#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(DamagedSaves, FailWithTheirMessageAndTheGameGoesOn) {
    TempDir d;
    d.write("start.ini", "[WindowSize]\r\nRight=64\r\nBottom=48\r\n[WindowTitle]\r\nTitle=Damaged\r\n");
    d.write("script.txt", sjis("@5 = 3;\n#save(\"good.sav\");\n#end();\n"));
    ASSERT_EQ(runYorvane({"--headless", d.path().string()}).status, 0);
    const std::string good = d.read("good.sav");
    const size_t comma = good.find(',');
    ASSERT_EQ(good.substr(0, comma), std::to_string(64 * 48 * 3 + 1));
    const size_t stateAt = comma + 1 + 64 * 48 * 3;
    ASSERT_GT(good.size(), stateAt + 5);

    // Each kind of file that is no save at all.
    std::string otherRecord = "@201,5,99,@1,0,0,";
    for (size_t i = 2; i < otherRecord.size(); ++i) otherRecord[i] = static_cast<char>(otherRecord[i] ^ otherRecord[1]);
    d.write("empty.sav", "");
    d.write("nohead.sav", "@300,0,script.txt,0,0," + good.substr(comma));
    d.write("short.sav", good.substr(0, stateAt - 10));
    d.write("no300.sav", good.substr(0, stateAt) + otherRecord);
    d.write("flag2.sav", good.substr(0, comma) + "x" + good.substr(comma));
    d.write("flag3.sav", good.substr(0, stateAt));  // the picture, and no state text at all
    fs::remove(d.path() / "good.sav");

    d.write("script.txt",
            sjis("@5 = 7;\n@901 = 1;\n"
                 "@902 = #startload();\n@950 = @5;\n"
                 "@910 = #load(\"empty.sav\");\n@920 = @5;\n"
                 "@911 = #load(\"nohead.sav\");\n@921 = @5;\n"
                 "@912 = #load(\"short.sav\");\n@922 = @5;\n"
                 "@913 = #load(\"no300.sav\");\n@923 = @5;\n"
                 "#wait(1500);\n@951 = @5;\n#systemsave();\n#end();\n"));
    d.write("answers.txt", "2\n");
    // Slot 3 from the menu while the script waits; slot 2 from the load dialog.
    RunResult r = runYorvane({"--headless", "--answers", (d.path() / "answers.txt").string(), "--menu", "32805@500",
                              "--max-seconds", "10", d.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    std::map<int, int> vars;
    for (auto [k, v] : readSystemDat(d.path() / "system.dat")) vars[k] = v;
    EXPECT_EQ(vars, (std::map<int, int>{{901, 1}, {902, 1}, {950, 7}, {920, 7}, {921, 7}, {922, 7}, {923, 7}, {951, 7}}))
        << r.err;
    EXPECT_EQ(r.err.find("Loadに成功しました"), std::string::npos) << r.err;
    EXPECT_EQ(count(r.err, "dialog: 読み込みエラー: ロードに失敗しました\\nファイルが壊れている可能性があります"), 4u)
        << r.err;
    EXPECT_EQ(count(r.err, "dialog: Damaged: ロードに失敗しました\\nファイルが壊れている可能性があります"), 2u)
        << r.err;
    EXPECT_EQ(count(r.err, "not a saved game"), 6u) << r.err;
}
