// Auto mode: pages that wait for a click go on by themselves after a pause that grows with what
// they showed, on the game's clock; any click or key ends it; choices and script waits for a
// click are left to the player.
#include <gtest/gtest.h>

#include <mutex>

#include "ui/app_state.h"
#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "shell_fixture.h"
#include "test_util.h"

using namespace yv;

namespace {

using Vars = std::vector<std::pair<int, int>>;

// Two pages shown at once in one text item (five characters, then three), each ending at a
// click wait; @901 and @902 mark them passed; then a script wait for a click and a choice.
const char* kPages =
    "#createtextf(1, 1);\r\n#locatef(0, 40, 400);\r\n#settextspeedf(0, -1);\r\n"
    "@A = \"あいうえお\\p\";\r\n#printtext(0);\r\n@901 = 1;\r\n"
    "@A = \"かきく\\p\";\r\n#printtext(0);\r\n@902 = 1;\r\n";

// The moments (the game's clock) at which the page's click wait began and ended, seen by a
// probe every millisecond on the interpreter thread.
struct WaitLog {
    std::mutex m;
    std::vector<std::pair<uint32_t, int>> changes;  // time, the new textClickWait value
    int last = 0;
};

}  // namespace

TEST(AutoMode, PagesGoOnAfterTheBasePlusTheirCharactersAndScriptWaitsAreLeftAlone) {
    TempDir dir;
    dir.write("start.ini", sjis("[FONT]\r\nSize=24\r\n"));
    dir.write("script.txt", sjis(std::string(kPages) + "#mouseclickwait(1);\r\n@903 = 1;\r\n"
                                                       "|top:\r\n#wait(100);\r\n#goto(\"top\");\r\n"));
    HeadlessPlatform platform;
    Options o;
    o.gameDir = dir.path();
    Shell shell(platform, o);
    Runtime& rt = shell.runtime();
    ManualClock& clock = platform.manualClock();
    WaitLog log;
    clock.schedule(1, [&] {
        const int now = rt.app.textClickWait;
        std::lock_guard lock(log.m);
        if (now != log.last) log.changes.push_back({clock.nowMs(), now});
        log.last = now;
    }, 1);
    int32_t at901 = -1, at902 = -1, at903 = -1, waiting = -1;
    clock.schedule(20000, [&] {
        at901 = rt.interp.ivar[901], at902 = rt.interp.ivar[902], at903 = rt.interp.ivar[903];
        waiting = rt.interp.clickWaitMode;
        shell.forceClose(false);
    });
    shell.onKey(kKeyA, true);  // the player turns it on before the first page
    EXPECT_TRUE(rt.app.menus.find(MenuWhich::Bar, ui::menuid::kAuto)->checked);
    std::string why;
    ASSERT_TRUE(shell.start(why)) << why;
    EXPECT_EQ(shell.run(), 0);

    std::lock_guard lock(log.m);
    ASSERT_EQ(log.changes.size(), 4u);
    // 1500 ms and 60 ms for each character: 1800 for the first page, 1680 for the second.
    EXPECT_EQ(log.changes[0].second, 1);
    EXPECT_EQ(log.changes[1].first - log.changes[0].first, 1800u);
    EXPECT_EQ(log.changes[3].first - log.changes[2].first, 1680u);
    EXPECT_EQ(at901, 1);
    EXPECT_EQ(at902, 1);
    // The script's own wait for a click is the player's.
    EXPECT_EQ(at903, 0);
    EXPECT_EQ(waiting, 1);
    EXPECT_EQ(rt.app.autoMode, 1);
}

TEST(AutoMode, AnyClickOrKeyButAAndF12EndsItAndUnchecksTheEntry) {
    ShellGame g("");
    ASSERT_TRUE(g.started);
    Runtime& rt = g.rt();
    auto on = [&] {
        g.shell->onMenuCommand(ui::menuid::kAuto);
        return rt.app.autoMode == 1 && g.checked(MenuWhich::Bar, ui::menuid::kAuto);
    };
    auto ended = [&] { return rt.app.autoMode == 0 && !g.checked(MenuWhich::Bar, ui::menuid::kAuto); };

    ASSERT_TRUE(on());
    g.shell->onMenuCommand(ui::menuid::kAuto);  // the entry turns it off again
    EXPECT_TRUE(ended());

    const std::vector<InputEvent> enders = {
        InputEvent::mouseButton(1, true, 10, 10), InputEvent::mouseButton(2, true, 10, 10),
        InputEvent::wheel(-1),                     InputEvent::wheel(1),
        InputEvent::keyEvent(kKeyOther, true),     InputEvent::keyEvent(kKeyCtrl, true),
        InputEvent::keyEvent(kKeyEnter, true),     InputEvent::keyEvent(kKeySpace, true),
        InputEvent::keyEvent(kKeyPageDown, true),  InputEvent::keyEvent(kKeyDown, true)};
    for (size_t i = 0; i < enders.size(); ++i) {
        ASSERT_TRUE(on()) << i;
        g.shell->onInput(enders[i]);
        EXPECT_TRUE(ended()) << "input " << i;
        g.shell->onKey(kKeyCtrl, false);
    }

    // Moving the pointer, letting go of a button or a key and taking a picture leave it on.
    ASSERT_TRUE(on());
    g.shell->onMouseMove(30, 30);
    g.shell->onMouseButton(1, false, 30, 30);
    g.shell->onKey(kKeyOther, false);
    setenv("XDG_PICTURES_DIR", (g.dir.path() / "pictures").c_str(), 1);
    g.shell->onKey(kKeyF12, true);
    unsetenv("XDG_PICTURES_DIR");
    EXPECT_EQ(rt.app.autoMode, 1);
    // A toggles.
    g.shell->onKey(kKeyA, true);
    EXPECT_TRUE(ended());
    g.shell->onKey(kKeyA, true);
    EXPECT_EQ(rt.app.autoMode, 1);
}

TEST(AutoMode, AKeyPressedWhileAPageWaitsStopsItThere) {
    TempDir dir;
    dir.write("start.ini", sjis("[FONT]\r\nSize=24\r\n"));
    dir.write("script.txt", sjis(std::string(kPages) + "|top:\r\n#wait(100);\r\n#goto(\"top\");\r\n"));
    HeadlessPlatform platform;
    Options o;
    o.gameDir = dir.path();
    Shell shell(platform, o);
    Runtime& rt = shell.runtime();
    ManualClock& clock = platform.manualClock();
    // A key while the first page waits (it began at once and would go on at 1800 ms).
    clock.schedule(1000, [&] { platform.postInput(InputEvent::keyEvent(kKeyOther, true)); });
    int32_t at901 = -1;
    clock.schedule(8000, [&] {
        at901 = rt.interp.ivar[901];
        shell.forceClose(false);
    });
    shell.onKey(kKeyA, true);
    std::string why;
    ASSERT_TRUE(shell.start(why)) << why;
    EXPECT_EQ(shell.run(), 0);
    EXPECT_EQ(at901, 0);
    EXPECT_EQ(rt.app.autoMode, 0);
}

TEST(AutoMode, TheMenuEntryOfTheRealProgramPlaysTwoPagesAndLeavesTheChoice) {
    TempDir d;
    d.write("start.ini", sjis("[FONT]\r\nSize=24\r\n"));
    d.write("text.txt", sjis("\"右の道へ\";\r\n\"左の道へ\";\r\n"));
    d.write("script.txt",
            sjis(std::string(kPages) +
                 "#createtextf(1, 2);\r\n#loadtextf(\"text.txt\");\r\n#locatef(0, 100, 300);\r\n#select();\r\n{\r\n"
                 "#printtextf(0, 1, \"right\");\r\n#printtextf(0, 2, \"left\");\r\n}\r\n#end();\r\n"
                 "|right:\r\n@903 = 1;\r\n#return();\r\n|left:\r\n@903 = 2;\r\n#return();\r\n"));
    const RunResult r = runYorvane({"--headless", "--max-seconds", "30", "--menu", "40111@0", d.path().string()});
    EXPECT_EQ(r.status, 124) << r.err;  // still at the choice when the time ran out
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (Vars{{901, 1}, {902, 1}})) << r.err;
}
