// The saved-game file byte by byte: a file built here from the layout loads with its picture
// and state; sizes that do not match, cut and damaged files; failures and their messages.
#include <gtest/gtest.h>

#include <random>

#include "../graphics/gfx_util.h"
#include "save/save_file.h"
#include "save/save_state.h"
#include "save_fixture.h"

using namespace yv;
using namespace yv::test;

namespace {

// Pixels of a 4 x 2 screen in memory order (bottom-up rows of b, g, r).
std::vector<uint8_t> pattern(size_t bytes) {
    std::vector<uint8_t> p(bytes);
    for (size_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(7 * i + 3);
    return p;
}

// The state text scrambled as the writer leaves it: bytes 0 and 1 kept, the rest XOR byte 1.
std::string scrambled(std::string t) {
    for (size_t i = 2; i < t.size(); ++i) t[i] = static_cast<char>(t[i] ^ t[1]);
    return t;
}

// A file laid out by hand: "%d," with the picture size plus one, pixels stored b1 b2 b0.
std::string handmadeFile(const std::vector<uint8_t>& px, size_t declared, const std::string& state) {
    std::string f = std::to_string(declared + 1) + ",";
    for (size_t i = 0; i + 3 <= px.size(); i += 3) {
        f += static_cast<char>(px[i + 1]);
        f += static_cast<char>(px[i + 2]);
        f += static_cast<char>(px[i]);
    }
    return f + scrambled(state);
}

const std::string kState =
    "@300,0,script.txt,9,0,@302,0,script.txt,9,0,@95,script.txt,@1,9,8,@201,7,42,@201,950,3,"
    "@200,0," + sjis("こんにちは") + ",@70,0,0,@92,0,64,0,32,32,0,100,@94,700,@86,2,10,20,@88,Title,";

}  // namespace

TEST(SaveFile, AFileBuiltFromTheLayoutLoads) {
    SaveGame g("@1 = 1;\n@2 = 2;\n", 4, 2);
    const std::vector<uint8_t> px = pattern(24);
    g.dir.write("flag0.sav", handmadeFile(px, 24, kState));
    g.rt.interp.ivar[950] = 1;
    g.rt.interp.ivar[951] = 5;  // 901+ survive a load when the file does not name them
    ASSERT_TRUE(save::loadGame(g.rt, g.dir.path() / "flag0.sav", "flag0.sav"));
    EXPECT_EQ(g.rt.screens.table[1].pixels, px);
    EXPECT_EQ(g.rt.screens.table[0].pixels, px);
    int w = 0, h = 0;
    EXPECT_EQ(g.platform.shownFrame(w, h), px);
    EXPECT_EQ(g.var(7), 42);
    EXPECT_EQ(g.var(950), 3);
    EXPECT_EQ(g.var(951), 5);
    EXPECT_EQ(g.rt.interp.svar[0], sjis("こんにちは"));
    EXPECT_EQ(g.rt.interp.pos, 8);  // the saved statement runs again
    EXPECT_EQ(g.rt.text.defaultWait, 700);
    EXPECT_EQ(g.rt.text.icon.posMode, 2);  // 86, the last record before the title, was replayed
    EXPECT_EQ(g.rt.text.icon.posY, 20);
    EXPECT_EQ(g.dialogs().back(), "Test: Loadに成功しました。\\n");
}

TEST(SaveFile, SavesOfTheSameStateAreIdenticalAndReadBack) {
    SaveGame g("@1 = 1;\n", 8, 6);
    std::mt19937 rng(5);
    for (auto& b : g.rt.screens.table[1].pixels) b = static_cast<uint8_t>(rng());
    g.rt.interp.ivar[3] = -9;
    g.rt.interp.svar[1] = "x,y";
    ASSERT_TRUE(save::saveGame(g.rt, g.dir.path() / "a.sav", "a.sav"));
    ASSERT_TRUE(save::saveGame(g.rt, g.dir.path() / "b.sav", "b.sav"));
    const std::string a = g.dir.read("a.sav");
    EXPECT_EQ(a, g.dir.read("b.sav"));
    // The layout: header, picture in b1 b2 b0 order, then the scrambled state text.
    ASSERT_EQ(a.substr(0, 4), "145,");
    const auto& px = g.rt.screens.table[1].pixels;
    EXPECT_EQ(static_cast<uint8_t>(a[4]), px[1]);
    EXPECT_EQ(static_cast<uint8_t>(a[5]), px[2]);
    EXPECT_EQ(static_cast<uint8_t>(a[6]), px[0]);
    std::string state = a.substr(4 + 144);
    save::scramble(state);
    EXPECT_EQ(state.rfind("@300,0,script.txt,", 0), 0u);
    EXPECT_NE(state.find("@200,1,x\x1b" "cy,"), std::string::npos);
    EXPECT_EQ(state.substr(state.size() - 10), ",@88,Test,");
}

TEST(SaveFile, OtherPictureSizesNeverOverrunAndStillFindTheState) {
    const std::vector<uint8_t> px = pattern(24);
    {
        // Smaller: the first pixels come back, the rest of the picture stays as it was.
        SaveGame g("", 4, 2);
        g.rt.screens.table[1].pixels.assign(24, 0xEE);
        g.dir.write("s.sav", handmadeFile(std::vector<uint8_t>(px.begin(), px.begin() + 12), 12, kState));
        ASSERT_TRUE(save::loadGame(g.rt, g.dir.path() / "s.sav", "s.sav"));
        const auto& b = g.rt.screens.table[1].pixels;
        EXPECT_TRUE(std::equal(px.begin(), px.begin() + 12, b.begin()));
        EXPECT_EQ(std::count(b.begin() + 12, b.end(), 0xEE), 12);
        EXPECT_EQ(g.var(7), 42);
    }
    {
        // Larger: what fits is taken; the state text follows the declared size.
        SaveGame g("", 4, 2);
        const std::vector<uint8_t> big = pattern(60);
        g.dir.write("l.sav", handmadeFile(big, 60, kState));
        ASSERT_TRUE(save::loadGame(g.rt, g.dir.path() / "l.sav", "l.sav"));
        EXPECT_TRUE(std::equal(big.begin(), big.begin() + 24, g.rt.screens.table[1].pixels.begin()));
        EXPECT_EQ(g.var(7), 42);
    }
}

TEST(SaveFile, FilesThatAreNoSaveFailBeforeAnythingIsReset) {
    const std::vector<uint8_t> px = pattern(24);
    const std::string whole = handmadeFile(px, 24, kState);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"no comma", scrambled("@300,0,script.txt,9,0,@201,7,11,")},
        {"no number", "," + whole.substr(3)},
        {"a sign", "+" + whole},
        {"zero", "0," + whole.substr(3)},
        {"cut inside the picture", whole.substr(0, 3 + 10)},
        {"no state text", whole.substr(0, 3 + 24)},
        {"another record first", handmadeFile(px, 24, "@201,7,11,@1,0,0,")},
        {"a huge picture", "99999999999999999999," + whole.substr(3)},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        EXPECT_NE(save::notASave(bytes), nullptr);
        SaveGame g("", 4, 2);
        g.rt.interp.ivar[7] = 5;
        g.rt.interp.pos = 3;
        g.rt.screens.table[1].pixels.assign(24, 0xEE);
        g.dir.write("d.sav", bytes);
        EXPECT_FALSE(save::loadGame(g.rt, g.dir.path() / "d.sav", "d.sav"));
        EXPECT_EQ(g.var(7), 5);
        EXPECT_EQ(g.rt.interp.pos, 3);
        EXPECT_EQ(std::count(g.rt.screens.table[1].pixels.begin(), g.rt.screens.table[1].pixels.end(), 0xEE), 24);
        EXPECT_TRUE(g.dialogs().empty());  // the caller says it failed
        EXPECT_FALSE(g.rt.save.justLoaded);
    }
    // Every file this runtime writes passes, whatever the screen and the state.
    for (auto [w, h] : {std::pair{4, 2}, std::pair{1, 1}, std::pair{5, 3}}) {
        SaveGame g("@1 = 1;\n", w, h);
        EXPECT_EQ(save::notASave(save::buildSaveFile(g.rt)), nullptr);
        g.rt.interp.calls.depth = 3;
        g.rt.interp.svar[0] = "@300,";
        EXPECT_EQ(save::notASave(save::buildSaveFile(g.rt)), nullptr);
    }
}

TEST(SaveFile, CutAndDamagedStateTextsLoadWhatTheyHold) {
    const std::vector<uint8_t> px = pattern(24);
    const std::string whole = handmadeFile(px, 24, kState);
    {
        // Cut inside the state text: the replay stops at the first record it cannot read.
        SaveGame g("", 4, 2);
        const size_t cut = whole.find(scrambled(kState).substr(0, 40)) + 40 + 20;
        g.dir.write("t.sav", whole.substr(0, cut));
        ASSERT_TRUE(save::loadGame(g.rt, g.dir.path() / "t.sav", "t.sav"));
        EXPECT_EQ(g.rt.interp.calls.depth, 0);
    }
    {
        // Cut right after the first record: a save with nothing in it resets the game.
        SaveGame g("", 4, 2);
        g.rt.interp.ivar[7] = 5;
        g.dir.write("r.sav", whole.substr(0, 3 + 24 + 5));
        ASSERT_TRUE(save::loadGame(g.rt, g.dir.path() / "r.sav", "r.sav"));
        EXPECT_EQ(g.var(7), 0);
    }
    // Random damage never crashes or overruns (the sanitizers watch).
    SaveGame g("", 4, 2);
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        std::string f = whole;
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            const size_t at = rng() % f.size();
            switch (rng() % 4) {
            case 0: f[at] = static_cast<char>(rng()); break;
            case 1: f.erase(at, rng() % 20); break;
            case 2: f.insert(at, 1, ",@"[rng() % 2]); break;
            default: f.resize(at); break;
            }
            if (f.empty()) f = "9";
        }
        g.dir.write("r.sav", f);
        save::loadGame(g.rt, g.dir.path() / "r.sav", "r.sav");
    }
}

TEST(SaveFile, FailuresKeepTheOldSaveAndSaySo) {
    SaveGame g("@1 = 1;\n", 4, 2);
    ASSERT_TRUE(save::saveGame(g.rt, g.dir.path() / "flag1.sav", "flag1.sav"));
    const std::string before = g.dir.read("flag1.sav");

    // A full disk during the write.
    struct Full : atomic_file::FileOps {
        ssize_t write(int, const void*, size_t) override {
            errno = ENOSPC;
            return -1;
        }
    } full;
    g.rt.save.fileOps = &full;
    g.rt.interp.ivar[4] = 4;
    EXPECT_FALSE(save::saveGame(g.rt, g.dir.path() / "flag1.sav", "flag1.sav"));
    EXPECT_EQ(g.dir.read("flag1.sav"), before);
    EXPECT_EQ(g.dialogs().back(), "Test: FileName is \"flag1.sav\"\\nセーブ生成に失敗しました");
    g.rt.save.fileOps = &atomic_file::systemOps();

    // A file that cannot be read: the loader says so, and the game is left as it was.
    std::filesystem::create_directory(g.dir.path() / "dir.sav");
    EXPECT_FALSE(save::loadGame(g.rt, g.dir.path() / "dir.sav", "dir.sav"));
    EXPECT_EQ(g.dialogs().back(), "Test: FileName is \"dir.sav\"\\nファイルのロードに失敗しました");
    EXPECT_EQ(g.var(4), 4);
}
