// The keys of choices and skipping as the window thread delivers them to the shell.
#include <gtest/gtest.h>

#include "app/app_state.h"
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
