// Start-up and shutdown through the real program: quiet end without start.ini, the first
// script missing, a second copy on the same game, the icon and cursor names, system.dat at close.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "ui/ico_file.h"
#include "app/instance.h"
#include "shell_fixture.h"

using namespace yv;

TEST(Startup, NoStartIniEndsQuietly) {
    TempDir d;
    d.write("script.txt", "#end();\r\n");
    const RunResult r = runYorvane({"--headless", d.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.find("dialog:"), std::string::npos);
    EXPECT_FALSE(d.exists("system.dat"));
}

TEST(Startup, FolderProblemsAndBadScalesAreToldApart) {
    TempDir d;
    d.write("afile", "x");
    d.write("empty/readme.txt", "x");
    d.write("upper/START.INI", "");
    d.write("upper/script.txt", "#end();\r\n");
    const struct {
        std::string folder, says;
    } cases[] = {{(d.path() / "nothere").string(), "does not exist"},
                 {(d.path() / "afile").string(), "is a file, not a game folder"},
                 {(d.path() / "empty").string(), "no start.ini in"}};
    for (const auto& c : cases) {
        const RunResult r = runYorvane({"--headless", c.folder});
        EXPECT_EQ(r.status, 1) << c.folder;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    // start.ini is found in any letter case; given itself (a file manager opens it so), it
    // names its folder. Another file of the folder does not.
    EXPECT_EQ(runYorvane({"--headless", (d.path() / "upper").string()}).status, 0);
    EXPECT_EQ(runYorvane({"--headless", (d.path() / "upper/START.INI").string()}).status, 0);
    const RunResult other = runYorvane({"--headless", (d.path() / "upper/script.txt").string()});
    EXPECT_EQ(other.status, 1);
    EXPECT_NE(other.err.find("is a file, not a game folder"), std::string::npos) << other.err;
    for (const char* bad : {"0", "2.7", "-1", "x"}) {
        const RunResult r = runYorvane({"--headless", "--scale", bad, (d.path() / "upper").string()});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("--scale: expected a whole number from 1 to 8"), std::string::npos) << r.err;
    }
    // A wrong option says what is wrong and where the options are, not the whole list.
    const RunResult r = runYorvane({"--frobnicate", (d.path() / "upper").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    EXPECT_NE(r.err.find("yorvane --help"), std::string::npos) << r.err;
}

// With a display that cannot be reached SDL offers only drivers that show nothing: the start-up
// box would wait there for an answer nobody can give. The message is on stderr and the program
// ends.
TEST(Startup, AStartupFailureWithAnUnreachableDisplayEndsWithoutABox) {
    TempDir d;
    const std::string err = (d.path() / "err").string();
    // Without leak checks: the desktop bus library SDL opens keeps an allocation until exit.
    const std::string cmd =
        "unset SDL_VIDEODRIVER WAYLAND_DISPLAY; ASAN_OPTIONS=detect_leaks=0 DISPLAY=:97 YORVANE_ERROR_BOX=1 "
        "timeout 20 '" YV_BINARY "' '" + (d.path() / "no such game").string() + "' 2>'" + err + "'";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st));
    EXPECT_EQ(WEXITSTATUS(st), 1) << d.read("err");
    EXPECT_NE(d.read("err").find("yorvane: the game folder"), std::string::npos) << d.read("err");
}

TEST(Startup, MissingFirstScriptSaysSo) {
    TempDir d;
    d.write("start.ini", "[Script]\r\nScript=nothere.txt\r\n");
    const RunResult r = runYorvane({"--headless", d.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("dialog: load script error: first script, not find!"), std::string::npos) << r.err;
}

TEST(Startup, SecondCopyOnTheSameGameEnds) {
    TempDir d;
    d.write("start.ini", "");
    d.write("script.txt", "#end();\r\n");
    InstanceLock first;
    ASSERT_TRUE(first.acquire(d.path()));
    const RunResult r = runYorvane({"--headless", d.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("dialog: Information: アプリケーションが完全に閉じられていません。\\n"
                         "多重起動防止の為、終了します。"),
              std::string::npos)
        << r.err;
    // Another game folder is not affected, and the lock goes with its holder.
    TempDir other;
    other.write("start.ini", "");
    other.write("script.txt", "#end();\r\n");
    EXPECT_EQ(runYorvane({"--headless", other.path().string()}).status, 0);
    first.release();
    EXPECT_EQ(runYorvane({"--headless", d.path().string()}).status, 0);
}

namespace {

// XDG_RUNTIME_DIR pointed at a folder of its own while a test runs.
struct RuntimeDir {
    RuntimeDir() {
        if (const char* v = std::getenv("XDG_RUNTIME_DIR")) old = v;
        setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    }
    ~RuntimeDir() {
        if (old)
            setenv("XDG_RUNTIME_DIR", old->c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }
    size_t files() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir.path()),
                                                 std::filesystem::directory_iterator()));
    }
    TempDir dir;
    std::optional<std::string> old;
};

}  // namespace

TEST(Startup, LockFileIsRemovedAtExit) {
    RuntimeDir run;
    TempDir d;
    d.write("start.ini", "");
    d.write("script.txt", "#end();\r\n");
    EXPECT_EQ(runYorvane({"--headless", d.path().string()}).status, 0);
    EXPECT_EQ(run.files(), 0u);
    d.write("script.txt", "|top:\r\n#mouseclickwait(1);\r\n#goto(\"top\");\r\n");
    EXPECT_EQ(runYorvane({"--headless", "--max-seconds", "0.2", d.path().string()}).status, 124);
    EXPECT_EQ(run.files(), 0u);
    TempDir noIni;
    EXPECT_EQ(runYorvane({"--headless", noIni.path().string()}).status, 1);
    EXPECT_EQ(run.files(), 0u);
}

TEST(InstanceLock, FileLivesWithItsHolderAndAStaleOneIsTakenOver) {
    RuntimeDir run;
    TempDir game;
    const auto path = instanceLockPath(game.path());
    {
        InstanceLock a;
        ASSERT_TRUE(a.acquire(game.path()));
        EXPECT_TRUE(std::filesystem::exists(path));
        InstanceLock b;
        EXPECT_FALSE(b.acquire(game.path()));
        EXPECT_TRUE(std::filesystem::exists(path));  // a refused copy leaves the holder's file
        a.release();
        EXPECT_FALSE(std::filesystem::exists(path));
        ASSERT_TRUE(b.acquire(game.path()));
        InstanceLock c;
        EXPECT_FALSE(c.acquire(game.path()));  // b's new file is the one at the path
    }
    EXPECT_EQ(run.files(), 0u);
    // A copy that died left its (unlocked) file behind: the next one takes it and removes it.
    std::ofstream(path) << "";
    InstanceLock d;
    EXPECT_TRUE(d.acquire(game.path()));
    d.release();
    EXPECT_EQ(run.files(), 0u);
}

TEST(Startup, IconAndCursorAreNamedAfterTheGameProgram) {
    TempDir d;
    EXPECT_EQ(applicationName(d.path()), "yorvane");
    d.write("Game.EXE", "MZ");
    EXPECT_EQ(applicationName(d.path()), "Game");
    d.write("setup.exe", "MZ");
    EXPECT_EQ(applicationName(d.path()), "yorvane");

    TempDir g;
    g.write("start.ini", "");
    g.write("script.txt", "#end();\r\n");
    g.write("Kanon.exe", "MZ");
    g.write("kanon.ico", "x");
    g.write("KANON.CUR", "x");
    HeadlessPlatform p;
    Options o;
    o.gameDir = g.path();
    Shell s(p, o);
    std::string why;
    ASSERT_TRUE(s.start(why)) << why;
    EXPECT_NE(p.iconFile().find("kanon.ico"), std::string::npos);
    EXPECT_NE(p.cursorFile().find("KANON.CUR"), std::string::npos);
}

TEST(Startup, ClosingMidScriptStopsTheThreadAndWritesSystemDat) {
    TempDir d;
    d.write("start.ini", "");
    d.write("script.txt", "@901 = 7;\r\n|top:\r\n#mouseclickwait(1);\r\n#goto(\"top\");\r\n");
    const RunResult r = runYorvane({"--headless", "--max-seconds", "1", d.path().string()});
    EXPECT_EQ(r.status, 124) << r.err;
    const auto vars = readSystemDat(d.path() / "system.dat");
    ASSERT_EQ(vars.size(), 1u);
    EXPECT_EQ(vars[0], std::make_pair(901, 7));
}

namespace {

// A 2 x 2 icon, 24 bits a pixel, with its mask: top-left transparent.
std::string tinyIcon(uint16_t type, uint16_t hotX, uint16_t hotY) {
    auto u16 = [](std::string& s, uint32_t v) { s += char(v & 255); s += char((v >> 8) & 255); };
    auto u32 = [&](std::string& s, uint32_t v) { u16(s, v & 0xFFFF); u16(s, v >> 16); };
    std::string dib;
    u32(dib, 40); u32(dib, 2); u32(dib, 4); u16(dib, 1); u16(dib, 24); u32(dib, 0);
    u32(dib, 0); u32(dib, 0); u32(dib, 0); u32(dib, 0); u32(dib, 0);
    // Rows bottom-up, padded to 4 bytes: bottom row blue, green; top row red, white.
    dib += std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00", 8);
    dib += std::string("\x00\x00\xFF\xFF\xFF\xFF\x00\x00", 8);
    // Mask rows bottom-up: bottom row opaque; top row: first pixel transparent.
    dib += std::string("\x00\x00\x00\x00", 4);
    dib += std::string("\x80\x00\x00\x00", 4);
    std::string f;
    u16(f, 0); u16(f, type); u16(f, 1);
    f += char(2); f += char(2); f += char(0); f += char(0);
    u16(f, hotX); u16(f, hotY); u32(f, static_cast<uint32_t>(dib.size())); u32(f, 22);
    return f + dib;
}

}  // namespace

TEST(IconFile, DecodesColoursMaskAndHotspot) {
    auto img = decodeIconFile(tinyIcon(2, 1, 1));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->width, 2);
    EXPECT_EQ(img->height, 2);
    EXPECT_EQ(img->hotX, 1);
    const auto px = [&](int x, int y) {
        const uint8_t* p = &img->rgba[static_cast<size_t>(y * 2 + x) * 4];
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(px(0, 0), (std::vector<int>{255, 0, 0, 0}));  // red, transparent
    EXPECT_EQ(px(1, 0), (std::vector<int>{255, 255, 255, 255}));
    EXPECT_EQ(px(0, 1), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(px(1, 1), (std::vector<int>{0, 255, 0, 255}));
}

TEST(IconFile, RejectsCutAndForeignFiles) {
    const std::string ok = tinyIcon(1, 0, 0);
    for (size_t n = 0; n < 22 + 40 + 16; n += 3) EXPECT_FALSE(decodeIconFile(ok.substr(0, n))) << n;
    EXPECT_FALSE(decodeIconFile("BM not an icon at all"));
    std::string huge = ok;
    huge[22 + 4] = '\xFF';  // width 255, far past the data
    huge[22 + 5] = '\x7F';
    EXPECT_FALSE(decodeIconFile(huge));
}

// The options that play for a player headless are refused aloud in a window.
TEST(Startup, HeadlessOnlyOptionsInAWindowSaySo) {
    if (!have("xvfb-run")) GTEST_SKIP() << "xvfb-run missing";
    TempDir d, io;
    d.write("start.ini", "");
    d.write("script.txt", "#wait(60000);\r\n");
    const std::string cmd = underXvfb() + "'" YV_BINARY "' --max-seconds 2 --auto-click 100 --click 1,1@10 '" +
                            d.path().string() + "' 2>'" + (io.path() / "err").string() + "'";
    EXPECT_EQ(WEXITSTATUS(std::system(cmd.c_str())), 124) << io.read("err");
    const std::string err = io.read("err");
    EXPECT_NE(err.find("yorvane: --auto-click is for headless runs; ignored in a window"), std::string::npos) << err;
    EXPECT_NE(err.find("yorvane: --click is for headless runs; ignored in a window"), std::string::npos) << err;
}
