// Reading start.ini: defaults, sections and keys without regard to case, _$debug over start.ini.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ui/config.h"
#include "core/cp932.h"

using namespace yv;

TEST(Config, EmptyFileGivesTheDefaults) {
    Config c;
    c.read(IniFile::parse(""));
    EXPECT_EQ(c.fps, 30);
    EXPECT_EQ(c.title, "Yorvane");
    EXPECT_EQ(c.width, 640);
    EXPECT_EQ(c.height, 480);
    EXPECT_EQ(c.menu, 1);
    EXPECT_EQ(c.dat, 0);
    EXPECT_EQ(c.script, "script.txt");
    EXPECT_EQ(cp932ToUtf8(c.fontName), "ＭＳ ゴシック");
    EXPECT_EQ(c.fontWeight, 700);
    EXPECT_EQ(c.textWait, 1000);
    EXPECT_EQ(cp932ToUtf8(c.exitMessage), "プログラムが終端にきました");
    EXPECT_EQ(c.datInfo, "Lump.cpn");
    EXPECT_EQ(c.aboutBmp, "sysetc.bmp");
}

TEST(Config, SectionsAndKeysIgnoreCaseAndScreenSizesAreIndependent) {
    Config c;
    c.read(IniFile::parse(
        "[windowsize]\r\nRIGHT=800\r\nbottom = 600\r\n[WindowScreen]\r\nRight=1024\r\nMENU=0\r\n"
        "[fps]\r\nfps=25\r\n[WindowSet]\r\nCONTRAST=40\r\n[DATA]\r\nDAT=1\r\nDATINFO=\"pack.cpn\"\r\n"));
    EXPECT_EQ(c.width, 800);
    EXPECT_EQ(c.height, 600);
    EXPECT_EQ(c.fullWidth, 1024);
    EXPECT_EQ(c.fullHeight, 480);
    EXPECT_EQ(c.menu, 0);
    EXPECT_EQ(c.fps, 25);
    EXPECT_EQ(c.contrast, 0);  // CONTRAST belongs to [WINDOWSSET]
    EXPECT_EQ(c.dat, 1);
    EXPECT_EQ(c.datInfo, "pack.cpn");
    EXPECT_EQ(c.datInfo2, "Lump2.cpn");
}

TEST(Config, SecondReadingTakesDefaultsNotEarlierValues) {
    Config c;
    c.read(IniFile::parse("[WindowTitle]\nTitle=My Game\n[TEXT]\nSpeed=5\n"));
    EXPECT_EQ(c.title, "My Game");
    c.read(IniFile::parse("[TEXT]\nWait=200\n"));
    EXPECT_EQ(c.title, "Yorvane");
    EXPECT_EQ(c.textSpeed, 30);
    EXPECT_EQ(c.textWait, 200);
}

TEST(Config, SpeedItemForThePacingInterval) {
    EXPECT_EQ(Config::speedItemFor(0), 0);
    EXPECT_EQ(Config::speedItemFor(25), 1);
    EXPECT_EQ(Config::speedItemFor(45), 2);
    EXPECT_EQ(Config::speedItemFor(70), 1);
    EXPECT_EQ(Config::speedItemFor(-5), 1);
}

TEST(Config, IntegersReadTheirLeadingDigits) {
    IniFile ini = IniFile::parse("[A]\nx=12px\ny=-3\nz=\nw=abc\n");
    EXPECT_EQ(ini.getInt("a", "X", 9), 12);
    EXPECT_EQ(ini.getInt("A", "y", 9), -3);
    EXPECT_EQ(ini.getInt("A", "z", 9), 0);
    EXPECT_EQ(ini.getInt("A", "w", 9), 0);
    EXPECT_EQ(ini.getInt("A", "missing", 9), 9);
    EXPECT_EQ(ini.getInt("B", "x", 9), 9);
}

// The display-mode switch writes Full and Bits on the window thread while a step reads them
// (and the debug listing copies the Config): the values must travel with every copy, and the
// concurrent writes and reads are data-race free (scripts/tsan_run.sh sees this test race if
// they are plain ints again).
TEST(Config, DisplayModeFieldsCopyAndMayChangeWhileRead) {
    Config c;
    c.read(IniFile::parse("[WindowScreen]\nFull=1\nBits=16\n"));
    Config copy = c;
    EXPECT_EQ(copy.full, 1);
    EXPECT_EQ(copy.fullBits, 16);
    c.full = 0;
    EXPECT_EQ(copy.full, 1);
    copy = c;
    EXPECT_EQ(copy.full, 0);
    EXPECT_EQ(copy.fullBits, 16);

    std::atomic<bool> done{false};
    std::thread switcher([&] {
        for (int i = 0; i < 2000; ++i) {
            c.full = i & 1;
            c.fullBits = (i & 1) ? 32 : 16;
        }
        done = true;
    });
    int64_t seen = 0;
    do {
        const Config snapshot = c;
        seen += snapshot.full + c.fullBits;
    } while (!done);
    switcher.join();
    EXPECT_GT(seen, 0);
}
