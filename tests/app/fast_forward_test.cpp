// Fast-forward through read text, through the real program and its read-text memory: pages read
// in an earlier run pass under Ctrl held and under the Tab mode, the first unread one stops it
// (unless 未読もスキップ), an edited script forgets only its own pages, a damaged memory starts
// empty; in-process: the pace, the stops at the script's click wait and at choices, the title.
#include <gtest/gtest.h>

#include <fstream>
#include <mutex>

#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "save/save_folder.h"
#include "shell_fixture.h"
#include "test_util.h"

using namespace yv;

namespace {

using Vars = std::vector<std::pair<int, int>>;

// A page typed at 100 ms a character that waits for a click, then @`var` = 1.
std::string page(const std::string& text, int var) {
    return "@A = \"" + text + "\\p\";\r\n#printtext(0);\r\n@" + std::to_string(var) + " = 1;\r\n";
}
const char* kSetup = "#createtextf(1, 1);\r\n#locatef(0, 40, 400);\r\n#settextspeedf(0, 100);\r\n";

struct Game {
    TempDir dir;
    explicit Game(const std::string& script) {
        dir.write("start.ini", sjis("[FONT]\r\nSize=24\r\n"));
        dir.write("script.txt", sjis(std::string(kSetup) + script));
    }
    Game() : Game(page("あいうえお", 901) + page("かきくけこ", 902) + page("さしすせそ", 903) + "#end();\r\n") {}
    RunResult run(std::vector<std::string> args, const std::string& seconds = "10") {
        args.insert(args.begin(), {"--headless", "--max-seconds", seconds});
        args.push_back(dir.path().string());
        return runYorvane(args);
    }
    // The variables the run left in system.dat (written at the close too).
    Vars vars() { return readSystemDat(dir.path() / "system.dat"); }
    std::filesystem::path memory() { return save::userSaveFolder(dir.path()) / "read.dat"; }
};

const std::vector<std::string> kCtrlHeld = {"--key", "Left Ctrl@0,down"};

}  // namespace

TEST(FastForward, UnderCtrlHeldEachPageReadBeforePassesAndTheFirstUnreadOneStops) {
    Game g;
    // Each run reads one page more: the one it stopped at has been shown to its end.
    RunResult r = g.run(kCtrlHeld);
    EXPECT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(g.vars(), Vars{}) << r.err;
    EXPECT_TRUE(std::filesystem::exists(g.memory()));
    r = g.run(kCtrlHeld);
    EXPECT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(g.vars(), (Vars{{901, 1}})) << r.err;
    r = g.run(kCtrlHeld);
    EXPECT_EQ(g.vars(), (Vars{{901, 1}, {902, 1}})) << r.err;
    r = g.run(kCtrlHeld);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(g.vars(), (Vars{{901, 1}, {902, 1}, {903, 1}})) << r.err;
    // Without it the read pages wait for clicks as ever.
    std::filesystem::remove(g.dir.path() / "system.dat");
    r = g.run({});
    EXPECT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(g.vars(), Vars{}) << r.err;
}

TEST(FastForward, TheTabModePassesReadPagesAndUnreadOnesOnlyWith未読もスキップ) {
    Game read;
    ASSERT_EQ(read.run({"--auto-click", "300"}, "60").status, 0);
    RunResult r = read.run({"--key", "Tab@0"});
    EXPECT_EQ(r.status, 0) << r.err;

    Game unread;
    r = unread.run({"--key", "Tab@0"});
    EXPECT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(unread.vars(), Vars{}) << r.err;

    Game fresh;
    r = fresh.run({"--menu", "40113@0", "--key", "Tab@0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fresh.vars(), (Vars{{901, 1}, {902, 1}, {903, 1}})) << r.err;
    // Both choices are remembered for the game: the next run starts in the mode, unread text
    // passing too (the script edited, none of its pages is read).
    std::filesystem::remove(fresh.dir.path() / "system.dat");
    fresh.dir.write("script.txt", sjis(std::string(kSetup) + page("たちつてと", 904) + "#end();\r\n"));
    r = fresh.run({});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fresh.vars(), (Vars{{904, 1}})) << r.err;
}

TEST(FastForward, AnEditedScriptForgetsOnlyItsOwnPages) {
    Game g(page("あいうえお", 901) + "#goto(\"second\", \"second.txt\");\r\n");
    g.dir.write("second.txt", sjis("|second:\r\n" + page("かきくけこ", 902) + "#end();\r\n"));
    ASSERT_EQ(g.run({"--auto-click", "300"}, "60").status, 0);
    std::filesystem::remove(g.dir.path() / "system.dat");
    // A comment added at the end: the page keeps its place, but the file is another.
    g.dir.write("script.txt", sjis(std::string(kSetup) + page("あいうえお", 901) +
                                   "#goto(\"second\", \"second.txt\");\r\n// edited\r\n"));
    RunResult r = g.run(kCtrlHeld);
    EXPECT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(g.vars(), Vars{}) << r.err;
    // Read again in that run; second.txt's page, not shown since the edit, is still known.
    r = g.run(kCtrlHeld);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(g.vars(), (Vars{{901, 1}, {902, 1}})) << r.err;
}

TEST(FastForward, AGarbageMemoryStartsEmptyAndIsReplaced) {
    Game g;
    std::filesystem::create_directories(g.memory().parent_path());
    {
        std::ofstream out(g.memory(), std::ios::binary);
        out << "YVREAD1\n";
        for (int i = 0; i < 3000; ++i) out.put(static_cast<char>(i * 7919 >> 3));
    }
    RunResult r = g.run(kCtrlHeld);
    EXPECT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(g.vars(), Vars{});
    EXPECT_NE(r.err.find("read-text memory"), std::string::npos) << r.err;
    r = g.run(kCtrlHeld);
    EXPECT_EQ(g.vars(), (Vars{{901, 1}})) << r.err;
    EXPECT_EQ(r.err.find("read-text memory"), std::string::npos) << r.err;
}

TEST(FastForward, TwentyPagesASecondUpToTheScriptsClickWaitAndUpToTheChoices) {
    // Variables system.dat does not keep: the first run's values do not come back.
    Game g(page("あいうえお", 11) + page("かきくけこ", 12) + "#mouseclickwait(1);\r\n@13 = 1;\r\n" +
           page("さしすせそ", 14) + page("たちつてと", 15) +
           "#createtextf(1, 2);\r\n#loadtextf(\"choices.txt\");\r\n#locatef(0, 100, 300);\r\n#select();\r\n{\r\n#printtextf(0, 1, \"r\");\r\n"
           "#printtextf(0, 2, \"l\");\r\n}\r\n#end();\r\n|r:\r\n|l:\r\n@16 = 1;\r\n#return();\r\n");
    g.dir.write("choices.txt", sjis("\"右の道へ\";\r\n\"左の道へ\";\r\n"));
    ASSERT_EQ(g.run({"--auto-click", "300"}, "60").status, 0);

    HeadlessPlatform platform;
    Options o;
    o.gameDir = g.dir.path();
    Shell shell(platform, o);
    Runtime& rt = shell.runtime();
    ManualClock& clock = platform.manualClock();
    std::mutex m;
    std::vector<std::pair<uint32_t, int>> waits;  // time, the new textClickWait value
    int last = 0;
    clock.schedule(1, [&] {
        const int now = rt.app.textClickWait;
        std::lock_guard lock(m);
        if (now != last) waits.push_back({clock.nowMs(), now});
        last = now;
    }, 1);
    struct Seen {
        std::array<int32_t, 6> vars{};
        int32_t mode = -1, clickWait = -1, choices = -1;
    } atScriptWait, atChoices;
    auto look = [&](Seen& s) {
        for (int i = 0; i < 6; ++i) s.vars[static_cast<size_t>(i)] = rt.interp.ivar[static_cast<size_t>(11 + i)];
        s.mode = rt.app.fastMode, s.clickWait = rt.interp.clickWaitMode, s.choices = rt.app.choiceList;
    };
    clock.schedule(3000, [&] {
        look(atScriptWait);
        // The player clicks the script's wait away and turns the mode on again.
        platform.postInput(InputEvent::mouseButton(1, true, 5, 5));
    });
    clock.schedule(3200, [&] { platform.postInput(InputEvent::keyEvent(kKeyTab, true)); });
    clock.schedule(6000, [&] {
        look(atChoices);
        shell.forceClose(false);
    });
    shell.onKey(kKeyTab, true);
    std::string why;
    ASSERT_TRUE(shell.start(why)) << why;
    EXPECT_EQ(shell.run(), 0);

    EXPECT_EQ(atScriptWait.vars, (std::array<int32_t, 6>{1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(atScriptWait.clickWait, 1);
    EXPECT_EQ(atScriptWait.mode, 0);  // ended where the player acts
    EXPECT_EQ(atChoices.vars, (std::array<int32_t, 6>{1, 1, 1, 1, 1, 0}));
    EXPECT_EQ(atChoices.choices, 1);
    EXPECT_EQ(atChoices.mode, 0);
    // Each of the four pages waited its moment: 50 ms, as the steps look (every pacing pass).
    std::lock_guard lock(m);
    ASSERT_EQ(waits.size(), 8u);
    for (size_t i = 0; i < 8; i += 2) {
        EXPECT_EQ(waits[i].second, 1);
        EXPECT_GE(waits[i + 1].first - waits[i].first, 50u) << i;
        EXPECT_LE(waits[i + 1].first - waits[i].first, 100u) << i;
    }
}

TEST(FastForward, TheTitleSaysSoWhileItIsOnAndTheEntriesAreCheckedAndAnyInputEndsTheMode) {
    ShellGame g("[WindowTitle]\r\nTitle=Reader\r\n");
    ASSERT_TRUE(g.started);
    Runtime& rt = g.rt();
    const std::string notice = " [Skip read pages]";  // the tests run in English
    auto title = [&] {
        g.shell->onIdle();
        return g.platform.titleUtf8();
    };
    EXPECT_EQ(title(), "Reader");
    g.shell->onKey(kKeyTab, true);
    EXPECT_EQ(title(), "Reader" + notice);
    EXPECT_TRUE(g.checked(MenuWhich::Bar, ui::menuid::kReadSkip));
    // Ctrl, letting go of a key and moving the pointer leave it on; a key or a click ends it.
    g.shell->onKey(kKeyCtrl, true);
    g.shell->onKey(kKeyCtrl, false);
    g.shell->onKey(kKeyOther, false);
    g.shell->onMouseMove(3, 3);
    EXPECT_EQ(rt.app.fastMode, 1);
    g.shell->onKey(kKeyOther, true);
    EXPECT_EQ(rt.app.fastMode, 0);
    EXPECT_FALSE(g.checked(MenuWhich::Bar, ui::menuid::kReadSkip));
    EXPECT_EQ(title(), "Reader");
    g.shell->onMenuCommand(ui::menuid::kReadSkip);
    EXPECT_EQ(title(), "Reader" + notice);
    g.shell->onMouseButton(1, true, 3, 3);
    EXPECT_EQ(title(), "Reader");
    // The held form: while Ctrl is down, and the game's own skip with it.
    g.shell->onKey(kKeyCtrl, true);
    EXPECT_EQ(rt.app.skip, 1);
    EXPECT_EQ(title(), "Reader" + notice);
    g.shell->onKey(kKeyCtrl, false);
    EXPECT_EQ(rt.app.skip, 0);
    EXPECT_EQ(title(), "Reader");
    // 未読もスキップ is a check mark of its own.
    g.shell->onMenuCommand(ui::menuid::kSkipUnread);
    EXPECT_TRUE(g.checked(MenuWhich::Bar, ui::menuid::kSkipUnread));
    EXPECT_EQ(rt.app.fastUnread, 1);
    g.shell->onMenuCommand(ui::menuid::kSkipUnread);
    EXPECT_EQ(rt.app.fastUnread, 0);
}
