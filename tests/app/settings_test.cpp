// What the player chooses in the window is remembered per game between runs of the real
// program; the command line overrides it for one run without being remembered; a damaged
// settings file is passed over with one line on stderr. The recent games list keeps its order.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/player_settings.h"
#include "app/recent_games.h"
#include "core/user_dirs.h"
#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// Counts steps into @901 for the whole run, and says at its start whether the game is in full
// screen (movewindow answers 0 there) in @902.
const char* kPacingScript =
    "@902 = #movewindow(0, 0);\r\n|top:\r\n@901 = @901 + 1;\r\n#wait(1);\r\n#goto(\"top\");\r\n";

struct Game {
    TempDir dir, config;
    Game() {
        dir.write("start.ini", "[WindowTitle]\r\nTitle=Pacing\r\n");
        dir.write("script.txt", kPacingScript);
    }
    RunResult run(std::vector<std::string> extra) const {
        std::vector<std::string> args = {"XDG_CONFIG_HOME=" + config.path().string(), YV_BINARY, "--headless",
                                         "--max-seconds", "3"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(dir.path().string());
        return runProgram("/usr/bin/env", args);
    }
    fs::path settingsFile() const {
        const std::string key = user_dirs::canonicalGameFolder(dir.path()).string();
        return config.path() / "yorvane" / (user_dirs::gameFolderKeyName(key) + ".ini");
    }
    std::string settings() const {
        std::ifstream in(settingsFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // A variable of system.dat (0 ones are not written).
    int var(int n) const {
        for (auto [k, v] : readSystemDat(dir.path() / "system.dat"))
            if (k == n) return v;
        return 0;
    }
};

int lineCount(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

}  // namespace

TEST(PlayerSettings, SpeedFullScreenAndFilterSurviveARestartAndTheCommandLineIsNotRemembered) {
    Game g;
    // A fresh game: normal speed, window mode, nothing remembered.
    RunResult r = g.run({});
    ASSERT_EQ(r.status, 124) << r.err;
    const int normalSteps = g.var(901);
    EXPECT_GT(normalSteps, 10);
    EXPECT_EQ(g.var(902), 1);
    EXPECT_FALSE(fs::exists(g.settingsFile()));

    // The player picks the fast speed, full screen and the smooth filter from the menu bar.
    r = g.run({"--menu", "32816@10", "--menu", "40103@20", "--menu", "32777@30"});
    ASSERT_EQ(r.status, 124) << r.err;
    const std::string kept = g.settings();
    EXPECT_NE(kept.find("TextSpeed=fast\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("Filter=smooth\n"), std::string::npos) << kept;
    EXPECT_NE(kept.find("FullScreen=1\n"), std::string::npos) << kept;

    // The next run starts so: in full screen, stepping three times as often.
    fs::remove(g.dir.path() / "system.dat");
    r = g.run({});
    ASSERT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(g.var(902), 0);
    EXPECT_GT(g.var(901), normalSteps * 2) << normalSteps;
    EXPECT_EQ(g.settings(), kept);

    // --filter decides for its run only: a later change in the window keeps the remembered
    // filter, not the command line's. (Full screen: the speed is picked from the pop-up menu.)
    r = g.run({"--filter", "nearest", "--menu", "32821@10"});
    ASSERT_EQ(r.status, 124) << r.err;
    const std::string after = g.settings();
    EXPECT_NE(after.find("TextSpeed=slow\n"), std::string::npos) << after;
    EXPECT_NE(after.find("Filter=smooth\n"), std::string::npos) << after;
    EXPECT_EQ(after.find("nearest"), std::string::npos) << after;
}

TEST(PlayerSettings, ABrokenOrForeignFileIsIgnoredWithOneLine) {
    Game g;
    fs::create_directories(g.settingsFile().parent_path());
    const std::string key = user_dirs::canonicalGameFolder(g.dir.path()).string();
    const std::vector<std::string> bad = {
        // a value out of range spoils the whole file, full screen included
        "[Yorvane]\nFormat=1\nGame=" + key + "\nFullScreen=1\nVolume=500\n",
        // another game's settings (two folders whose names hash alike)
        "[Yorvane]\nFormat=1\nGame=/somewhere/else\nFullScreen=1\n",
        // not ours at all, and binary junk
        "[Settings]\nFullScreen=1\n",
        std::string("\x89PNG\r\n\x1a\n\0\0\0", 11),
        // a later format
        "[Yorvane]\nFormat=2\nGame=" + key + "\nFullScreen=1\n",
    };
    for (const std::string& text : bad) {
        std::ofstream(g.settingsFile(), std::ios::binary) << text;
        fs::remove(g.dir.path() / "system.dat");
        const RunResult r = g.run({});
        ASSERT_EQ(r.status, 124) << r.err;
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
        EXPECT_NE(r.err.find("ignoring the settings file " + g.settingsFile().string()), std::string::npos) << r.err;
        EXPECT_EQ(g.var(902), 1) << text;  // window mode: nothing of the file was taken
    }
    // A folder in its place is passed over the same way.
    fs::remove(g.settingsFile());
    fs::create_directory(g.settingsFile());
    const RunResult r = g.run({});
    EXPECT_EQ(lineCount(r.err), 1) << r.err;
}

TEST(PlayerSettings, TheFileReadsBackWhatWasWrittenAndPassesOverUnknownKeys) {
    PlayerSettings s;
    s.windowWidth = 1000;
    s.windowHeight = 700;
    s.fullScreen = false;
    s.speed = TextSpeed::NoWait;
    s.volume = 0;
    s.mute = true;
    s.waveVolume = 65535;
    s.autoAdvanceMs = 2500;
    s.readSkip = true;
    s.skipUnread = false;
    std::string why;
    auto back = parsePlayerSettings(formatPlayerSettings(s, "/g/a b"), "/g/a b", why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(*back, s);
    // The path is the game's whole key: a game in a folder that only starts alike is another.
    EXPECT_FALSE(parsePlayerSettings(formatPlayerSettings(s, "/g/a b"), "/g/a", why));

    // Keys of a later version are passed over; a size needs both of its halves; CRLF lines
    // (an editor's) read the same.
    auto later = parsePlayerSettings("[Yorvane]\r\nFormat=1\r\nGame=/g\r\nShaders=crt\r\nWindowWidth=800\r\n"
                                     "TextSpeed=slow\r\n", "/g", why);
    ASSERT_TRUE(later) << why;
    EXPECT_FALSE(later->windowWidth);
    EXPECT_EQ(later->speed, TextSpeed::Slow);
    for (const char* v : {"Volume=-1", "Volume=101", "Volume=5x", "Mute=2", "Filter=blurry", "WaveVolume=65536",
                          "TextSpeed=", "FullScreen", "ReadSkip=yes", "SkipUnread=2"})
        EXPECT_FALSE(parsePlayerSettings(std::string("[Yorvane]\nFormat=1\nGame=/g\n") + v + "\n", "/g", why)) << v;
}

TEST(RecentGames, MostRecentFirstWithoutRepeatsAndAtMostTen) {
    std::vector<fs::path> games;
    recent::add(games, "/g/a");
    recent::add(games, "/g/b");
    recent::add(games, "/g/a");  // played again: to the front, once
    EXPECT_EQ(games, (std::vector<fs::path>{"/g/a", "/g/b"}));
    for (int i = 0; i < 12; ++i) recent::add(games, "/g/n" + std::to_string(i));
    ASSERT_EQ(games.size(), recent::kMaxGames);
    EXPECT_EQ(games.front(), "/g/n11");
    EXPECT_EQ(games.back(), "/g/n2");

    std::string why;
    auto back = recent::parse(recent::format(games), why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(*back, games);
    // A hand-edited list: relative paths and repeats are dropped, the order is kept.
    auto edited = recent::parse("[Recent]\nGame=/x\nGame=rel/y\nGame=/z\nGame=/x\nOther=1\n", why);
    ASSERT_TRUE(edited) << why;
    EXPECT_EQ(*edited, (std::vector<fs::path>{"/x", "/z"}));
    EXPECT_FALSE(recent::parse("Game=/x\n", why));
}
