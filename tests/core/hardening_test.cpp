// A game folder is untrusted input: special files read as missing ones, sizes are bounded,
// absurd numbers neither overflow nor abort.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "io/file_reader.h"
#include "graphics/png_write.h"
#include "graphics/screens.h"
#include "script/script_fixture.h"
#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// The program, bounded in time: a hang fails the test instead of stopping the suite.
RunResult runBounded(const std::vector<std::string>& args) {
    std::vector<std::string> all{"60", YV_BINARY};
    all.insert(all.end(), args.begin(), args.end());
    return runProgram("timeout", all);
}

// A 2 x 2 picture of 8 bits a pixel with a two-colour palette.
std::string paletteBmp() {
    auto u16 = [](std::string& s, uint32_t v) { s += char(v & 255); s += char((v >> 8) & 255); };
    auto u32 = [&](std::string& s, uint32_t v) { u16(s, v & 0xFFFF); u16(s, v >> 16); };
    std::string f = "BM";
    u32(f, 14 + 40 + 8 + 8); u32(f, 0); u32(f, 14 + 40 + 8);
    u32(f, 40); u32(f, 2); u32(f, 2); u16(f, 1); u16(f, 8); u32(f, 0); u32(f, 8);
    u32(f, 0); u32(f, 0); u32(f, 2); u32(f, 0);
    f += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);
    f += std::string("\x00\x01\x00\x00\x01\x00\x00\x00", 8);
    return f;
}

}  // namespace

TEST(FileReader, OnlyRegularFilesWithinTheCap) {
    TempDir d;
    d.write("plain.txt", "hello");
    d.write("big.txt", std::string(100, 'x'));
    fs::create_directory(d.path() / "dir");
    ASSERT_EQ(::mkfifo((d.path() / "fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", d.path() / "zero");
    fs::create_symlink("/dev/null", d.path() / "null");
    fs::create_symlink(d.path() / "dir", d.path() / "dirlink");
    fs::create_symlink(d.path() / "plain.txt", d.path() / "plainlink");

    io::ReadFailure why = io::ReadFailure::None;
    auto plain = io::readRegular(d.path() / "plain.txt", io::kMaxFileBytes, &why);
    ASSERT_TRUE(plain);
    EXPECT_EQ(*plain, "hello");
    EXPECT_EQ(plain->c_str()[5], '\0');
    EXPECT_EQ(io::readRegular(d.path() / "plainlink").value_or(""), "hello");  // a link to a file is that file
    for (const char* name : {"dir", "fifo", "zero", "null", "dirlink"}) {
        EXPECT_FALSE(io::readRegular(d.path() / name, io::kMaxFileBytes, &why)) << name;
        EXPECT_EQ(why, io::ReadFailure::NotRegular) << name;
    }
    EXPECT_FALSE(io::readRegular(d.path() / "none", io::kMaxFileBytes, &why));
    EXPECT_EQ(why, io::ReadFailure::Missing);
    EXPECT_FALSE(io::readRegular(d.path() / "big.txt", 99, &why));
    EXPECT_EQ(why, io::ReadFailure::TooLarge);
    EXPECT_TRUE(io::readRegular(d.path() / "big.txt", 100));
}

// Each special file under a name the runtime reads: the game starts (or says it cannot) and
// ends; nothing hangs, aborts or fills the memory.
TEST(Hardening, SpecialFilesInTheGameFolderReadAsMissing) {
    struct Case {
        const char* name;
        int kind;  // 0 folder, 1 FIFO, 2 link to /dev/zero
    };
    for (const Case c : {Case{"system.dat", 0}, Case{"system.dat", 1}, Case{"system.dat", 2},
                         Case{"Lump.cpn", 0}, Case{"Lump.cpn", 1}, Case{"Lump.cpn", 2},
                         Case{"bg.bmp", 1}, Case{"bg.bmp", 2}, Case{"text.txt", 1}}) {
        TempDir d;
        d.write("start.ini", "[DATA]\r\nDAT=1\r\n");
        d.write("script.txt", "@901 = 3;\r\n#loadimage(2, \"bg.bmp\");\r\n#createtextf(2, 1);\r\n"
                              "#loadtextf(\"text.txt\");\r\n#end();\r\n");
        const fs::path p = d.path() / c.name;
        if (c.kind == 0) fs::create_directory(p);
        if (c.kind == 1) {
            ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
        }
        if (c.kind == 2) fs::create_symlink("/dev/zero", p);
        const RunResult r = runBounded({"--headless", "--max-seconds", "5", d.path().string()});
        // The script ends by itself: 124 would be a hang cut by the timeout or the time limit.
        EXPECT_EQ(r.status, 0) << c.name << " " << c.kind << ": " << r.err;
        if (std::string(c.name) != "system.dat") {
            const auto vars = readSystemDat(d.path() / "system.dat");
            ASSERT_EQ(vars.size(), 1u) << c.name << r.err;
            EXPECT_EQ(vars[0], std::make_pair(901, 3));
        }
    }
    // A first script that is not a file is a missing one.
    TempDir d;
    d.write("start.ini", "");
    ASSERT_EQ(::mkfifo((d.path() / "script.txt").c_str(), 0600), 0);
    const RunResult r = runBounded({"--headless", "--max-seconds", "5", d.path().string()});
    EXPECT_NE(r.status, 124) << r.err;  // 124 would be the timeout's: a hang
    EXPECT_NE(r.err.find("script.txt"), std::string::npos) << r.err;
}

TEST(Hardening, ConfiguredScreenIsClampedAndSaysSo) {
    for (const char* size : {"20000", "2147483647"}) {
        TempDir d;
        d.write("start.ini", std::string("[WindowSize]\r\nRight=") + size + "\r\nBottom=" + size +
                                 "\r\nTop=2147483647\r\n[FONT]\r\nSize=-2147483648\r\n");
        d.write("pal.bmp", paletteBmp());
        d.write("text.txt", "\"abc\";\r\n");
        d.write("script.txt", "@901 = 4;\r\n#loadimage(2, \"pal.bmp\");\r\n#createtextf(1, 1);\r\n"
                              "#loadtextf(\"text.txt\");\r\n#locatef(0, 2147483647, 2147483647);\r\n"
                              "#settextspeedf(0, -1);\r\n#printtextf(0, 1);\r\n#end();\r\n");
        const RunResult r = runBounded({"--headless", "--max-seconds", "5", d.path().string()});
        EXPECT_EQ(r.status, 0) << size << r.err;
        EXPECT_NE(r.err.find("cut down to at most 4096 x 4096"), std::string::npos) << r.err;
        const auto vars = readSystemDat(d.path() / "system.dat");
        ASSERT_EQ(vars.size(), 1u) << r.err;
    }
}

// Image screens share one budget: a request beyond it fails as a failed allocation would.
TEST(Hardening, ImageScreensKeepWithinTheirBudget) {
    ScriptRun s("@1 = #createimage(2, 257, 100, 100); @2 = #createimage(9, 20000, 20000);"
                " @3 = #createimage(10, 2147483647, 2147483647);");
    s.rt.screens.imageBudget = 100 * 100 * 3 * 5;  // five screens of 100 x 100
    s.runToEnd();
    EXPECT_EQ(s.var(1), 0);
    for (int n = 2; n <= 6; ++n) EXPECT_TRUE(s.rt.screens.table[static_cast<size_t>(n)].exists()) << n;
    EXPECT_FALSE(s.rt.screens.table[7].exists());
    EXPECT_EQ(s.var(2), 0);
    EXPECT_EQ(s.var(3), 0);
    int64_t used = 0;
    for (int n = 2; n < kScreenCount; ++n) used += static_cast<int64_t>(s.rt.screens.table[static_cast<size_t>(n)].pixels.size());
    EXPECT_LE(used, s.rt.screens.imageBudget);
}

// One picture loaded into many screens: the loads beyond the budget fail (value 0) and leave
// their screens unmade.
TEST(Hardening, PicturesLoadedIntoManyScreensKeepWithinTheBudget) {
    ScriptRun s("@2 = #loadimage(2, \"big.png\"); @3 = #loadimage(3, \"big.png\"); @4 = #loadimage(4, \"big.png\");"
                " @5 = #loadimage(5, \"big.png\"); @6 = #loadimage(2, \"big.png\");");
    const std::vector<uint8_t> rgb(static_cast<size_t>(100) * 100 * 3, 90);
    ASSERT_TRUE(writePng(s.dir.path() / "big.png", rgb.data(), 100, 100));
    s.rt.screens.imageBudget = 100 * 100 * 3 * 3;
    s.runToEnd();
    EXPECT_EQ(s.var(2), 1);
    EXPECT_EQ(s.var(3), 1);
    EXPECT_EQ(s.var(4), 1);
    EXPECT_EQ(s.var(5), 0);
    EXPECT_FALSE(s.rt.screens.table[5].exists());
    EXPECT_EQ(s.var(6), 1);  // a screen loaded again counts once
}

// The replay log stops growing at its bound however long a drawing loop runs with logging on.
TEST(Hardening, ReplayLogIsBounded) {
    ScriptRun s;
    s.rt.save.log.logging = 1;
    for (int i = 0; i < 200000; ++i) s.rt.save.log.add(73, i, 1234567, 7654321);
    EXPECT_LE(s.rt.save.log.text.size(), ReplayLog::kMaxBytes + 64);
    EXPECT_GE(s.rt.save.log.text.size(), ReplayLog::kMaxBytes);
}
