// The keys of choices and skipping as the window thread delivers them to the shell.
#include <gtest/gtest.h>

#include "ui/app_state.h"
#include "runtime.h"
#include "shell_fixture.h"

using namespace yv;

TEST(ChoiceKeys, EnterTwiceWithinHalfASecondAndCtrlSkipOnlyOutsideChoices) {
    ShellGame g("");
    ASSERT_TRUE(g.started);
    Runtime& rt = g.rt();
    ManualClock& clock = g.platform.manualClock();
    g.shell->onKey(kKeyEnter, true);
    clock.advance(600);
    g.shell->onKey(kKeyEnter, true);
    EXPECT_EQ(rt.app.skip, 0);
    clock.advance(400);
    g.shell->onKey(kKeyEnter, true);
    EXPECT_EQ(rt.app.skip, 1);
    EXPECT_EQ(rt.interp.leftClick, 1);
    g.shell->onKey(kKeyCtrl, false);
    EXPECT_EQ(rt.app.skip, 0);
    g.shell->onKey(kKeyCtrl, true);
    EXPECT_EQ(rt.app.skip, 1);
    g.shell->onKey(kKeyCtrl, false);

    // With choices on the screen Enter only clicks and Ctrl does nothing.
    rt.app.choiceList = 1;
    g.shell->onKey(kKeyCtrl, true);
    EXPECT_EQ(rt.app.skip, 0);
    g.shell->onKey(kKeyEnter, true);
    g.shell->onKey(kKeyEnter, true);
    EXPECT_EQ(rt.app.skip, 0);
    g.shell->onKey(kKeyUp, true);
    g.shell->onKey(kKeyDown, true);
    g.shell->onKey(kKeyDown, true);
    EXPECT_EQ(rt.app.navSteps, 1);
}

TEST(WheelAndPageDown, UpOpensTheHistoryWhereAMenuOffersItDownClicks) {
    ShellGame g("[WindowScreen]\r\nPOPMENU=1\r\n");
    ASSERT_TRUE(g.started);
    Runtime& rt = g.rt();
    auto historyShown = [&] {
        for (const std::string& l : g.platform.dialogLog())
            if (l.find("メッセージ履歴") != std::string::npos) return true;
        return false;
    };
    g.shell->onInput(InputEvent::wheel(1));
    g.shell->onIdle();  // the window loop opens it between events, as a menu pick
    EXPECT_TRUE(historyShown());

    rt.interp.leftClick = 0;
    g.shell->onInput(InputEvent::wheel(-1));
    EXPECT_EQ(rt.interp.leftClick, 1);
    rt.interp.leftClick = 0;
    g.shell->onKey(kKeyPageDown, true);
    EXPECT_EQ(rt.interp.leftClick, 1);

    // A game without menus has no history to open.
    ShellGame bare("[WindowScreen]\r\nMENU=0\r\nPOPMENU=0\r\n");
    ASSERT_TRUE(bare.started);
    bare.shell->onInput(InputEvent::wheel(2));
    bare.shell->onIdle();
    for (const std::string& l : bare.platform.dialogLog()) EXPECT_EQ(l.find("メッセージ履歴"), std::string::npos);
}
