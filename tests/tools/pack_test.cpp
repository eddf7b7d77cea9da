// yorvane-pack as authors use it, and games that read their files from its archives.
#include <gtest/gtest.h>

#include "test_util.h"

using namespace yv;

namespace {

RunResult runPack(const std::vector<std::string>& args) { return runProgram(YV_PACK, args); }

std::string path(const TempDir& d, const std::string& rel = "") { return (d.path() / rel).string(); }

}  // namespace

TEST(PackTool, BuildListAndExtractRoundTrip) {
    TempDir src, game, out;
    src.write("script.txt", sjis("#messagebox(\"こんにちは\", \"T\", mb_ok);"));
    src.write("BG/Sky.bmp", std::string("BM\0\x01\x02", 5));
    src.write("se/ボタン.wav", "RIFF....WAVE");
    auto b = runPack({"build", path(src), "-o", path(game)});
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_TRUE(game.exists("Lump.cpn"));
    EXPECT_TRUE(game.exists("Lump.dat"));
    // The data is scrambled, not stored as it is.
    EXPECT_EQ(game.read("Lump.dat").find("RIFF"), std::string::npos);

    auto l = runPack({"list", path(game, "Lump.cpn")});
    ASSERT_EQ(l.status, 0) << l.err;
    EXPECT_NE(l.out.find("0          5  bg\\sky.bmp"), std::string::npos) << l.out;
    EXPECT_NE(l.out.find("script.txt"), std::string::npos);
    EXPECT_NE(l.out.find("se\\ボタン.wav"), std::string::npos);

    auto x = runPack({"extract", path(game, "Lump.cpn"), "-o", path(out)});
    ASSERT_EQ(x.status, 0) << x.err;
    EXPECT_EQ(out.read("bg/sky.bmp"), std::string("BM\0\x01\x02", 5));
    EXPECT_EQ(out.read("se/ボタン.wav"), "RIFF....WAVE");
    EXPECT_EQ(out.read("script.txt"), src.read("script.txt"));

    TempDir one;
    auto n = runPack({"extract", path(game, "Lump.cpn"), "-o", path(one), "SE/ボタン.WAV", "nothing.bmp"});
    EXPECT_EQ(n.status, 1);
    EXPECT_TRUE(one.exists("se/ボタン.wav"));
    EXPECT_FALSE(one.exists("script.txt"));
    EXPECT_NE(n.err.find("no entry named \"nothing.bmp\""), std::string::npos) << n.err;
}

TEST(PackTool, RefusesNamesThatTheLookupWouldConfuse) {
    TempDir src, game;
    src.write("bg.bmp", "1");
    src.write("xbg.bmp", "2");
    src.write("Readme.TXT", "3");
    src.write("readme.txt.bak", "4");
    auto b = runPack({"build", path(src), "-o", path(game)});
    EXPECT_EQ(b.status, 1);
    EXPECT_NE(b.err.find("\"xbg.bmp\" ends with \"bg.bmp\""), std::string::npos) << b.err;
    EXPECT_FALSE(game.exists("Lump.cpn"));

    TempDir src2;
    src2.write("lump.dat", "1");  // occurs in the data file name written before every entry
    src2.write("a.txt", "2");
    auto c = runPack({"build", path(src2), "-o", path(game), "--data", "lump.dat.bin"});
    EXPECT_EQ(c.status, 1);
    EXPECT_NE(c.err.find("\"lump.dat\" also occurs inside the data file name"), std::string::npos) << c.err;
}

TEST(PackTool, HelpAndErrorsNameTheFile) {
    auto h = runPack({"--help"});
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("XOR K"), std::string::npos);
    TempDir d;
    auto m = runPack({"list", path(d, "missing.cpn")});
    EXPECT_EQ(m.status, 1);
    EXPECT_NE(m.err.find("missing.cpn: cannot open"), std::string::npos) << m.err;
    d.write("src/a.txt", "a");
    ASSERT_EQ(runPack({"build", path(d, "src"), "-o", path(d)}).status, 0);
    std::filesystem::remove(d.path() / "Lump.dat");
    auto g = runPack({"list", path(d, "Lump.cpn")});
    EXPECT_EQ(g.status, 1);
    EXPECT_NE(g.err.find("its data file \"Lump.dat\" is not in"), std::string::npos) << g.err;
    auto k = runPack({"build", path(d, "src"), "--key", "0"});
    EXPECT_EQ(k.status, 1);
    EXPECT_NE(k.err.find("--key 0"), std::string::npos);
    EXPECT_EQ(runPack({"frobnicate"}).status, 2);
}

TEST(ArchiveGame, ScriptsComeFromTheArchivesSecondaryFirst) {
    TempDir primary, secondary, game;
    primary.write("script.txt", sjis("#messagebox(\"primary script\", \"T\", mb_ok);\n#gosub(\"s\", \"sub.txt\");\n"
                                     "#messagebox(\"back\", \"T\", mb_ok);\n#end();\n"));
    primary.write("sub.txt", sjis("|s:\n#messagebox(\"primary sub\", \"T\", mb_ok);\n#return();\n"));
    secondary.write("sub.txt", sjis("|s:\n#messagebox(\"secondary sub\", \"T\", mb_ok);\n#return();\n"));
    ASSERT_EQ(runPack({"build", path(primary), "-o", path(game)}).status, 0);
    ASSERT_EQ(runPack({"build", path(secondary), "-o", path(game), "--secondary"}).status, 0);
    game.write("sub.txt", sjis("|s:\n#messagebox(\"disk sub\", \"T\", mb_ok);\n#return();\n"));
    game.write("start.ini", "[DATA]\nDAT=1\n");
    auto r = runYorvane({"--headless", "--max-seconds", "20", path(game)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("dialog: T: primary script\ndialog: T: secondary sub\ndialog: T: back"), std::string::npos)
        << r.err;

    // _$debug with DAT=0: the first script was read before it, everything later comes from disk.
    game.write("_$debug", "[DATA]\nDAT=0\n");
    auto d = runYorvane({"--headless", "--max-seconds", "20", path(game)});
    EXPECT_NE(d.err.find("dialog: T: primary script\ndialog: T: disk sub"), std::string::npos) << d.err;
}

TEST(PackTool, ReadsArchivesOfOtherToolsAndNeverWritesOutsideTheFolder) {
    // '+' between entries, the size field first, an entry leaving the folder, one too long.
    TempDir game, out;
    const unsigned char k = 0x37;
    std::string idx(1, static_cast<char>(k));
    idx += '\x7F';  // the unused byte
    idx += "pack.bin#one.txt*3$0+sub\\two.txt*3$3+..\\evil.txt$0*1+long.txt$4*100";
    for (size_t i = 1; i < idx.size(); ++i) idx[i] = static_cast<char>(idx[i] ^ k);
    game.write("Lump.cpn", idx);
    std::string data = "ONETWO";
    for (char& c : data) c = static_cast<char>(c ^ k);
    game.write("PACK.BIN", data);
    auto l = runPack({"list", path(game, "Lump.cpn")});
    EXPECT_NE(l.out.find("         3          3  sub\\two.txt"), std::string::npos) << l.out;
    EXPECT_NE(l.out.find("long.txt  (reaches past the end of the data file)"), std::string::npos) << l.out;
    auto x = runPack({"extract", path(game, "Lump.cpn"), "-o", path(out, "x")});
    EXPECT_EQ(x.status, 1);
    EXPECT_EQ(out.read("x/one.txt"), "ONE");
    EXPECT_EQ(out.read("x/sub/two.txt"), "TWO");
    EXPECT_FALSE(out.exists("evil.txt"));
    EXPECT_NE(x.err.find("\"..\\evil.txt\" would be written outside"), std::string::npos) << x.err;
    EXPECT_NE(x.err.find("\"long.txt\" (offset 4, size 100) reaches past the end of"), std::string::npos) << x.err;
}
