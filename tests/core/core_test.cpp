// Byte helpers, CP932 conversion, path lookup and the manual clock.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "core/bytes.h"
#include "core/clock.h"
#include "core/cp932.h"
#include "core/paths.h"
#include "test_util.h"

using namespace yv;

TEST(Bytes, LowerAsciiStepsOverSecondBytes) {
    // ア is 83 41: its second byte must not be folded.
    const Bytes a = "\x83\x41" "ABC";
    EXPECT_EQ(lowerAscii(a), "\x83\x41" "abc");
    EXPECT_TRUE(equalsNoCaseMb("BitBlt", "bitblt"));
    EXPECT_FALSE(equalsNoCaseMb("\x83\x41", "\x83\x61"));
}

TEST(Bytes, SameBytesAgreesWithEqualityAtEveryLengthAndPlace) {
    // The short compare reads overlapping words: a difference in any byte, at any length, must
    // show, and nothing past either end may be read (the sanitizer build sees that).
    for (size_t n = 0; n <= 40; ++n) {
        const std::string a(n, 'x');
        EXPECT_TRUE(sameBytes(a, std::string(n, 'x'))) << n;
        EXPECT_FALSE(sameBytes(a, std::string(n + 1, 'x'))) << n;
        for (size_t i = 0; i < n; ++i) {
            std::string b = a;
            b[i] = static_cast<char>(0x82);
            EXPECT_FALSE(sameBytes(a, b)) << n << " at " << i;
            EXPECT_TRUE(sameBytes(b, std::string(b))) << n << " at " << i;
        }
    }
}

TEST(Bytes, LeadingIntReadsAsAtoi) {
    EXPECT_EQ(leadingInt("42abc"), 42);
    EXPECT_EQ(leadingInt("  -7"), -7);
    EXPECT_EQ(leadingInt("abc"), 0);
    EXPECT_EQ(leadingInt("99999999999999"), 2147483647);
    EXPECT_EQ(leadingInt("-99999999999999"), -2147483647 - 1);
}

TEST(Cp932, RoundTripsJapaneseAndKeepsBackslash) {
    const std::string utf8 = "表示\\①髙ｱ";
    const std::string sjis = utf8ToCp932(utf8);
    EXPECT_EQ(sjis.substr(0, 2), "\x95\x5C");  // 表 has 0x5C as second byte
    EXPECT_EQ(cp932ToUtf8(sjis), utf8);
}

TEST(Cp932, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(cp932ToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(cp932ToUtf8("a\x82"), "a\xEF\xBF\xBD");  // cut-off lead byte
}

TEST(Paths, SplitStepsOverSecondBytes) {
    const Bytes name = "dir\\" "\x95\x5C" ".bmp";  // 表.bmp
    auto parts = PathResolver::split(name);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[1], "\x95\x5C.bmp");
}

TEST(Paths, FindsNamesWithoutRegardToCase) {
    TempDir dir;
    dir.write("Data/BG01.Bmp", "x");
    dir.write("表.txt", "y");
    PathResolver r(dir.path());
    auto p = r.find("data\\bg01.BMP");
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->filename().string(), "BG01.Bmp");
    ASSERT_TRUE(r.find(utf8ToCp932("表.TXT")).has_value());
    EXPECT_FALSE(r.find("data\\missing.bmp").has_value());
    EXPECT_EQ(r.forWrite("DATA\\new.sav"), dir.path() / "Data" / "new.sav");
}

TEST(Paths, FindsRawCp932NamesOnDisk) {
    TempDir dir;
    const std::string raw = "\x95\x5C\x8E\xA6.txt";  // 表示.txt stored as CP932 bytes
    std::ofstream(dir.path() / raw) << "z";
    PathResolver r(dir.path());
    EXPECT_TRUE(r.find(raw).has_value());
}

TEST(ManualClock, FiresScheduledEventsInOrderAtTheirTimes) {
    ManualClock c;
    std::vector<uint32_t> fired;
    c.schedule(100, [&] { fired.push_back(c.nowMs()); }, 100);
    c.schedule(150, [&] { fired.push_back(c.nowMs() + 10000); });
    c.sleepMs(320);
    EXPECT_EQ(fired, (std::vector<uint32_t>{100, 10150, 200, 300}));
    EXPECT_EQ(c.nowMs(), 320u);
}

// The sleep a close cuts short: on the manual clock time stops at the event that ended it.
TEST(ManualClock, WaitForEndsAtTheEventThatMakesItsConditionTrue) {
    ManualClock c;
    WakeSignal signal;
    std::atomic<bool> closing{false};
    c.schedule(50, [&] { closing = true; });
    EXPECT_TRUE(c.waitFor(200, signal, [&] { return closing.load(); }));
    EXPECT_EQ(c.nowMs(), 50u);
    EXPECT_TRUE(c.waitFor(200, signal, [&] { return closing.load(); }));  // already true: no time
    EXPECT_EQ(c.nowMs(), 50u);
    closing = false;
    EXPECT_FALSE(c.waitFor(200, signal, [&] { return closing.load(); }));
    EXPECT_EQ(c.nowMs(), 250u);
}

TEST(RealClock, WaitForWakesWhenAnotherThreadStoresAFlag) {
    RealClock c;
    WakeSignal signal;
    WakeFlag halt(signal, 0);
    std::thread closer([&] { halt = 1; });
    // Bounded so that a lost wake fails the test instead of hanging it.
    EXPECT_TRUE(c.waitFor(20000, signal, [&] { return halt != 0; }));
    closer.join();
    EXPECT_LT(c.nowMs(), 15000u);
}

// A notifier that finds nobody waiting skips the lock: many rounds of a flag changed while the
// other thread is about to wait, is waiting, or has not yet begun must never lose a wake.
TEST(WakeSignal, NoWakeIsLostWhenNotifiersSkipTheLock) {
    WakeSignal signal;
    WakeFlag turn(signal, 0);
    std::atomic<int32_t> plain{0};
    constexpr int kRounds = 2000;
    std::thread other([&] {
        for (int i = 1; i <= kRounds; ++i) {
            signal.wait([&] { return turn == 2 * i - 1; });
            turn = 2 * i;
        }
        // The last round changes an ordinary atomic and notifies by hand, as slot requests do.
        signal.wait([&] { return plain.load() == 1; });
        turn = -1;
    });
    for (int i = 1; i <= kRounds; ++i) {
        turn = 2 * i - 1;
        // Bounded: a lost wake fails the test instead of hanging it.
        ASSERT_TRUE(signal.waitUntil(std::chrono::steady_clock::now() + std::chrono::seconds(20),
                                     [&] { return turn == 2 * i; }));
    }
    plain.store(1, std::memory_order_relaxed);
    signal.notify();
    EXPECT_TRUE(signal.waitUntil(std::chrono::steady_clock::now() + std::chrono::seconds(20),
                                 [&] { return turn == -1; }));
    other.join();
}
