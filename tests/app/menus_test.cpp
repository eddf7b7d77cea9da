// The menus: their entries, the lock table, check marks after speed and mode changes, the
// pop-up menu and the skip command.
#include <gtest/gtest.h>

#include "ui/app_state.h"
#include "app/menu_logic.h"
#include "core/cp932.h"
#include "runtime.h"
#include "shell_fixture.h"

using namespace yv;
using namespace yv::ui::menuid;

namespace {

std::string labelOf(const MenuItem& m) { return cp932ToUtf8(m.label); }

}  // namespace

TEST(Menus, BarAndPopupCarryTheGameEntries) {
    MenuModel m;
    auto bar = m.snapshot(MenuWhich::Bar);
    ASSERT_EQ(bar.size(), 4u);
    EXPECT_EQ(labelOf(bar[0]), "ﾌｧｲﾙ(&F)");
    EXPECT_EQ(labelOf(bar[1]), "選択肢まで進む");
    EXPECT_EQ(bar[1].id, kBarSkip);
    EXPECT_EQ(labelOf(bar[2]), "設定");
    EXPECT_EQ(labelOf(bar[3]), "ﾍﾙﾌﾟ(&H)");
    ASSERT_EQ(bar[0].sub.size(), 6u);
    EXPECT_EQ(bar[0].sub[0].sub.size(), 31u);
    EXPECT_EQ(bar[0].sub[0].sub[30].id, 32842);
    EXPECT_EQ(bar[0].sub[1].sub[10].id, 32843);
    EXPECT_EQ(labelOf(bar[0].sub[0].sub[7]), "7: ----/--/-- --:--:--");
    EXPECT_TRUE(bar[0].sub[0].sub[0].greyed);
    EXPECT_EQ(bar[0].sub[5].id, kExit);
    EXPECT_EQ(labelOf(*m.find(MenuWhich::Bar, kAbout)), "ﾊﾞｰｼﾞｮﾝ情報(&A)...");
    EXPECT_EQ(labelOf(*m.find(MenuWhich::Bar, kBarNoWait)), "ﾉｰｳｪｲﾄ");

    auto pop = m.snapshot(MenuWhich::Popup);
    ASSERT_EQ(pop.size(), 11u);
    EXPECT_TRUE(pop[2].separator && pop[4].separator && pop[9].separator);
    EXPECT_EQ(pop[3].id, kHistory);
    EXPECT_EQ(pop[7].id, kPopSkip);
    EXPECT_EQ(pop[8].id, kPopVolume);
    EXPECT_EQ(pop[10].id, kPopClose);
    EXPECT_EQ(labelOf(pop[5]), "画面変更");
    EXPECT_EQ(pop[6].sub[3].id, kPopNoWait);
    // The shipped pop-up gives its save entries 10-30 the load ids.
    EXPECT_EQ(pop[0].sub[10].id, loadSlotId(10));
    EXPECT_EQ(slotOfSaveId(32822), 10);
    EXPECT_EQ(slotOfLoadId(32811), 9);
    EXPECT_EQ(slotOfLoadId(32864), -1);
}

TEST(Menus, OpeningThePopupRewritesSlotEntries) {
    ShellGame g("[WindowScreen]\r\nPOPMENU=1\r\n");
    ASSERT_TRUE(g.started);
    g.dir.write("flag3.sav", "x");
    g.shell->onMouseButton(2, true, 10, 10);
    EXPECT_EQ(g.platform.popupOpens(), 1);
    EXPECT_EQ(g.rt().interp.rightClick.load(), 1);
    g.shell->onMouseButton(2, false, 10, 10);
    EXPECT_EQ(g.rt().interp.rightClick.load(), 0);
    auto pop = g.menus().snapshot(MenuWhich::Popup);
    EXPECT_EQ(pop[0].sub[10].id, saveSlotId(10));
    EXPECT_EQ(pop[0].sub[30].id, 32842);
    EXPECT_EQ(labelOf(pop[1].sub[7]), " 7:  ----/--/-- --:--:--");
    EXPECT_TRUE(pop[1].sub[7].greyed);
    EXPECT_FALSE(pop[1].sub[3].greyed);
    EXPECT_NE(labelOf(pop[1].sub[3]).find(" 3:  20"), std::string::npos);
}

TEST(Menus, PopupOpensOnlyInTheModesItServes) {
    ShellGame g("[WindowScreen]\r\nPOPMENU=1\r\nPOPFULLMENU=0\r\n");
    g.shell->onKey(kKeySpace, true);  // space: as the right button
    EXPECT_EQ(g.platform.popupOpens(), 1);
    g.shell->onMenuCommand(kBarFull);
    ASSERT_TRUE(g.platform.fullScreen());
    g.shell->onMouseButton(2, true, 0, 0);
    EXPECT_EQ(g.platform.popupOpens(), 1);
    EXPECT_EQ(g.rt().interp.rightClick.load(), 1);  // the click itself still counts

    ShellGame none("");
    none.shell->onMouseButton(2, true, 0, 0);
    EXPECT_EQ(none.platform.popupOpens(), 0);
}

TEST(Menus, LockTableGreysBarAndPopupEntries) {
    ShellGame g("[WindowScreen]\r\nPOPFULLMENU=1\r\n");
    MenuModel& m = g.menus();
    auto barGrey = [&] {
        std::string s;
        for (int p = 0; p < 4; ++p) s += m.topGreyed(MenuWhich::Bar, p) ? 'x' : '.';
        return s;
    };
    auto popGrey = [&] {
        std::string s;
        for (int p = 0; p < 11; ++p) s += m.topGreyed(MenuWhich::Popup, p) ? 'x' : '.';
        return s;
    };
    ui::menuLock(g.rt().app, g.rt().config, kLockAll);
    EXPECT_EQ(barGrey(), "xxxx");
    EXPECT_EQ(popGrey(), "xxxxxxxxxxx");
    ui::menuLock(g.rt().app, g.rt().config, kUnlockSkip);
    EXPECT_EQ(barGrey(), "x.xx");
    EXPECT_EQ(popGrey(), "xxxxxxx.xxx");
    ui::menuLock(g.rt().app, g.rt().config, kUnlockAll);
    EXPECT_EQ(barGrey(), "....");
    EXPECT_EQ(popGrey(), "...........");
    ui::menuLock(g.rt().app, g.rt().config, kLockSkip);
    EXPECT_EQ(barGrey(), ".x..");
    EXPECT_EQ(popGrey(), ".......x...");
    ui::menuLock(g.rt().app, g.rt().config, kUnlockAll);
    ui::menuLock(g.rt().app, g.rt().config, kUnlockAllButSkip);
    EXPECT_EQ(barGrey(), ".x..");
    EXPECT_EQ(popGrey(), ".......x...");

    // In full screen the menu bar is left alone.
    g.shell->onMenuCommand(kBarFull);
    ui::menuLock(g.rt().app, g.rt().config, kLockAll);
    EXPECT_EQ(barGrey(), ".x..");
    EXPECT_EQ(popGrey(), "xxxxxxxxxxx");

    // Without POPFULLMENU the pop-up is never touched.
    ShellGame h("[WindowScreen]\r\nPOPMENU=1\r\n");
    ui::menuLock(h.rt().app, h.rt().config, kLockAll);
    EXPECT_TRUE(h.menus().topGreyed(MenuWhich::Bar, 0));
    EXPECT_FALSE(h.menus().topGreyed(MenuWhich::Popup, 0));
}

TEST(Menus, SpeedItemsSetPacingAndMarks) {
    ShellGame g("[WindowScreen]\r\nPOPMENU=1\r\n");
    EXPECT_TRUE(g.checked(MenuWhich::Bar, kBarNormal));
    EXPECT_TRUE(g.checked(MenuWhich::Popup, kPopNormal));
    g.shell->onMenuCommand(kPopFast);
    EXPECT_EQ(g.rt().interp.pacingMs.load(), 10.0);
    EXPECT_TRUE(g.checked(MenuWhich::Bar, kBarFast));
    EXPECT_FALSE(g.checked(MenuWhich::Bar, kBarNormal));
    EXPECT_TRUE(g.checked(MenuWhich::Popup, kPopFast));
    g.shell->onMenuCommand(kBarSlow);
    EXPECT_EQ(g.rt().interp.pacingMs.load(), 50.0);
    EXPECT_TRUE(g.checked(MenuWhich::Popup, kPopSlow));
    EXPECT_FALSE(g.checked(MenuWhich::Popup, kPopFast));
    // No wait keeps the pacing and is the one marked.
    g.shell->onMenuCommand(kBarNoWait);
    EXPECT_EQ(g.rt().interp.pacingMs.load(), 50.0);
    EXPECT_EQ(g.rt().app.noWait.load(), 1);
    EXPECT_TRUE(g.checked(MenuWhich::Bar, kBarNoWait));
    EXPECT_FALSE(g.checked(MenuWhich::Bar, kBarSlow));
    EXPECT_TRUE(g.checked(MenuWhich::Popup, kPopNoWait));
    g.shell->onMenuCommand(kBarNormal);
    EXPECT_EQ(g.rt().app.noWait.load(), 0);
    EXPECT_EQ(g.rt().interp.pacingMs.load(), 30.0);
}

TEST(Menus, StartMarksFollowFpsAndFull) {
    struct Case {
        const char* fps;
        int32_t pop;
    };
    for (const Case c : {Case{"25", kPopNormal}, Case{"70", kPopNormal}, Case{"45", kPopSlow},
                         Case{"0", kPopFast}, Case{"-5", kPopNormal}}) {
        ShellGame g(std::string("[FPS]\r\nFps=") + c.fps + "\r\n[WindowScreen]\r\nPOPMENU=1\r\n");
        EXPECT_TRUE(g.checked(MenuWhich::Popup, c.pop)) << c.fps;
        EXPECT_TRUE(g.checked(MenuWhich::Popup, kPopWindow));
    }
    ShellGame f("[WindowScreen]\r\nFull=1\r\nPOPFULLMENU=1\r\n");
    EXPECT_TRUE(f.platform.fullScreen());
    EXPECT_TRUE(f.checked(MenuWhich::Bar, kBarFull));
    EXPECT_FALSE(f.checked(MenuWhich::Bar, kBarWindow));
    EXPECT_TRUE(f.checked(MenuWhich::Popup, kPopFull));
    EXPECT_FALSE(f.platform.menuBarShown());
}

TEST(Menus, KeyZeroTakesTheSkipEntryOffTheBar) {
    ShellGame g("[WindowScreen]\r\nKey=0\r\n");
    auto bar = g.menus().snapshot(MenuWhich::Bar);
    ASSERT_EQ(bar.size(), 3u);
    EXPECT_EQ(labelOf(bar[1]), "設定");
    EXPECT_EQ(g.menus().topCount(MenuWhich::Popup), 11);  // the pop-up keeps its entry
}

TEST(Menus, DebugFileReadSecondKeepsTheSkipEntryWhenGone) {
    TempDir d;
    d.write("start.ini", "[WindowScreen]\r\nKey=0\r\n");
    d.write("_$debug", "[WindowScreen]\r\nKey=0\r\n");
    d.write("script.txt", "#end();\r\n");
    HeadlessPlatform p;
    Options o;
    o.gameDir = d.path();
    Shell s(p, o);
    std::string why;
    ASSERT_TRUE(s.start(why));
    auto bar = s.runtime().app.menus.snapshot(MenuWhich::Bar);
    ASSERT_EQ(bar.size(), 3u);
    EXPECT_EQ(cp932ToUtf8(bar[1].label), "設定");
}

TEST(Menus, SkipToNextChoiceFollowsTheClickWait) {
    ShellGame g("");
    AppState& a = g.rt().app;
    // No click wait: nothing happens.
    g.rt().interp.clickWaitMode = 0;
    a.textClickWait = 0;
    app::skipToNextChoice(g.rt());
    EXPECT_EQ(a.skip.load(), 0);
    // A click wait: skipping starts; a second time asks it to stop at the next wait.
    a.textClickWait = 1;
    a.menusFree = 1;
    app::skipToNextChoice(g.rt());
    EXPECT_EQ(a.skip.load(), 1);
    EXPECT_EQ(a.menusFree.load(), 0);
    EXPECT_TRUE(g.menus().topGreyed(MenuWhich::Bar, 0));
    app::skipToNextChoice(g.rt());
    EXPECT_EQ(a.stopAtWait.load(), 1);
    // A choice block: nothing.
    ShellGame c("");
    c.rt().app.textClickWait = 1;
    c.rt().app.choiceBlock = 1;
    c.shell->onMenuCommand(kPopSkip);
    EXPECT_EQ(c.rt().app.skip.load(), 0);
}

TEST(Menus, NoWaitKeysEndSkippingAndUnlock) {
    ShellGame g("");
    AppState& a = g.rt().app;
    g.shell->onMenuCommand(kBarNoWait);
    ui::menuLock(g.rt().app, g.rt().config, kLockAll);
    a.menusFree = 0;
    g.shell->onKey(kKeyDown, true);
    EXPECT_EQ(a.endSkip.load(), 1);
    EXPECT_EQ(a.menusFree.load(), 1);
    EXPECT_FALSE(g.menus().topGreyed(MenuWhich::Bar, 0));
    EXPECT_EQ(a.navSteps.load(), 1);
}

TEST(Menus, EnterClicksAndTwiceWithinHalfASecondSkips) {
    ShellGame g("");
    g.shell->onKey(kKeyEnter, true);
    EXPECT_EQ(g.rt().app.skip.load(), 0);
    g.shell->onKey(kKeyEnter, true);
    EXPECT_EQ(g.rt().app.skip.load(), 1);
}

TEST(Menus, HeadlessPlatformPicksLikeAPlayer) {
    ShellGame g("");
    ASSERT_EQ(g.platform.menus(), &g.menus());
    g.platform.pickMenu(kBarSlow);
    g.platform.pickMenu(kAbout);
    g.platform.deliverPicks(*g.shell);
    EXPECT_EQ(g.rt().interp.pacingMs.load(), 50.0);
    ASSERT_EQ(g.platform.dialogLog().size(), 1u);
    EXPECT_EQ(g.platform.dialogLog()[0].rfind("ﾊﾞｰｼﾞｮﾝ情報: Yorvane Version ", 0), 0u);
    EXPECT_NE(g.platform.dialogLog()[0].find("GPL-3.0-or-later"), std::string::npos);
}

TEST(Menus, HelpMenuListsTheKeysBesideTheAboutBox) {
    ShellGame g("");
    const auto bar = g.menus().snapshot(MenuWhich::Bar);
    const std::vector<MenuItem>& help = bar.back().sub;
    ASSERT_EQ(help.size(), 2u);
    EXPECT_EQ(help[0].id, kKeysHelp);
    EXPECT_EQ(labelOf(help[0]), "&Keys and mouse...");  // Yorvane's own entry, in English
    EXPECT_EQ(help[1].id, kAbout);
    ASSERT_TRUE(g.shell->pickMenuEntry(kKeysHelp));
    ASSERT_EQ(g.platform.dialogLog().size(), 1u);
    const std::string line = g.platform.dialogLog()[0];
    EXPECT_EQ(line.rfind("Keys and mouse: Left click　：　Next page or the choice clicked", 0), 0u) << line;
    EXPECT_NE(line.find("\\nF12　：　"), std::string::npos) << line;
}
