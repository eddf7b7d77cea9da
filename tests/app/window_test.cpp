// Window commands and the display-mode switch, on the headless platform.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/display_mode.h"
#include "core/cp932.h"
#include "runtime.h"
#include "script/command_table.h"
#include "shell_fixture.h"

using namespace yv;
using namespace yv::ui::menuid;

namespace {

int32_t run(Runtime& rt, const char* name, const char* args) {
    return callCommand(rt, name, args), rt.interp.result;
}

}  // namespace

TEST(WindowCommands, DeleteMenuTwiceThenCreateBringsNoBarBack) {
    ShellGame g("");
    Runtime& rt = g.rt();
    ASSERT_TRUE(g.platform.menuBarShown());
    EXPECT_EQ(run(rt, "deletemenu", "();"), 1);
    EXPECT_FALSE(g.platform.menuBarShown());
    EXPECT_EQ(rt.app.barKept.load(), 1);
    EXPECT_EQ(run(rt, "deletemenu", "();"), 1);
    EXPECT_EQ(rt.app.barKept.load(), 0);
    EXPECT_EQ(run(rt, "createmenu", "();"), 1);
    EXPECT_EQ(rt.app.menuOn.load(), 1);
    EXPECT_FALSE(g.platform.menuBarShown());
}

TEST(WindowCommands, DeleteThenCreateBringsTheBarBack) {
    ShellGame g("");
    Runtime& rt = g.rt();
    run(rt, "deletemenu", "();");
    EXPECT_EQ(rt.config.menu, 0);
    EXPECT_EQ(run(rt, "createmenu", "();"), 1);
    EXPECT_TRUE(g.platform.menuBarShown());
    // deletesubmenu keeps the bar on the window and answers 0 the second time.
    EXPECT_EQ(run(rt, "deletesubmenu", "();"), 1);
    EXPECT_TRUE(g.platform.menuBarShown());
    EXPECT_EQ(run(rt, "deletesubmenu", "();"), 0);
}

TEST(WindowCommands, CreateMenuInFullScreenOnlyTurnsTheSettingOn) {
    ShellGame g("[WindowScreen]\r\nMENU=0\r\n");
    Runtime& rt = g.rt();
    EXPECT_FALSE(g.platform.menuBarShown());
    g.shell->onMenuCommand(kBarFull);
    EXPECT_EQ(run(rt, "createmenu", "();"), 1);
    EXPECT_FALSE(g.platform.menuBarShown());
    g.shell->onMenuCommand(kBarWindow);
    EXPECT_TRUE(g.platform.menuBarShown());  // the bar kept at start comes back with the window
}

TEST(WindowCommands, DisableButtonNeedsButtonZero) {
    ShellGame g("");
    Runtime& rt = g.rt();
    EXPECT_EQ(run(rt, "disablebutton", "(0);"), 1);  // the missing second number is not 0
    EXPECT_TRUE(g.platform.closeEnabled());
    EXPECT_EQ(run(rt, "disablebutton", "(0, 1);"), 1);
    EXPECT_TRUE(g.platform.closeEnabled());
    EXPECT_EQ(run(rt, "disablebutton", "(0, 0);"), 1);
    EXPECT_FALSE(g.platform.closeEnabled());
    EXPECT_EQ(run(rt, "disablebutton", "(5, 0);"), 1);
    EXPECT_TRUE(g.platform.closeEnabled());
}

TEST(WindowCommands, ShowWindowAnswersTheFormerVisibility) {
    ShellGame g("");
    Runtime& rt = g.rt();
    EXPECT_EQ(run(rt, "showwindow", "(7);"), 0);
    EXPECT_TRUE(g.platform.visible());
    EXPECT_EQ(run(rt, "showwindow", "(-1);"), 0);
    EXPECT_EQ(run(rt, "showwindow", "(0);"), 1);
    EXPECT_FALSE(g.platform.visible());
    EXPECT_EQ(run(rt, "showwindow", "(7);"), 0);
    EXPECT_FALSE(g.platform.visible());
    EXPECT_EQ(run(rt, "showwindow", "(6);"), 0);
    EXPECT_TRUE(g.platform.visible());
}

TEST(WindowCommands, MoveAndCenterOnlyInWindowMode) {
    ShellGame g("[WindowCenter]\r\nCenter=0\r\n");
    Runtime& rt = g.rt();
    int x = -1, y = -1;
    EXPECT_EQ(run(rt, "movewindow", "(100, 50);"), 1);
    g.platform.windowPosition(x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
    EXPECT_EQ(run(rt, "centerwindow", "();"), 1);
    g.platform.windowPosition(x, y);
    EXPECT_EQ(x, (1280 - 640) / 2);
    g.shell->onMenuCommand(kBarFull);
    EXPECT_EQ(run(rt, "movewindow", "(5, 5);"), 0);
    EXPECT_EQ(run(rt, "centerwindow", "();"), 0);
    g.platform.windowPosition(x, y);
    EXPECT_EQ(x, 0);
}

TEST(WindowCommands, SetTitleAndShowCursorRecord) {
    ShellGame g("");
    Runtime& rt = g.rt();
    rt.save.log.logging = 1;
    EXPECT_EQ(run(rt, "settitle", ("(\"" + sjis("新しい題") + "\");").c_str()), 1);
    EXPECT_EQ(g.platform.titleUtf8(), "新しい題");
    EXPECT_EQ(cp932ToUtf8(rt.app.title()), "新しい題");
    EXPECT_EQ(run(rt, "showcursor", "(0);"), 0);
    EXPECT_EQ(g.platform.cursorCount(), -1);
    EXPECT_EQ(run(rt, "showcursor", "(3);"), 3);
    EXPECT_EQ(g.platform.cursorCount(), 0);
    EXPECT_EQ(rt.save.log.text, "@88," + sjis("新しい題") + ",@91,0,@91,3,");
    // The close confirmation uses the new title.
    rt.config.endMessage = 1;
    g.platform.setAnswers({"no"});
    EXPECT_FALSE(g.shell->onCloseRequest());
    ASSERT_EQ(g.platform.dialogLog().size(), 1u);
    EXPECT_EQ(g.platform.dialogLog()[0], "新しい題: 新しい題 を終了します。\\n終了してよろしいですか？");
}

TEST(DisplayMode, FullScreenAndBackRestoresThePosition) {
    ShellGame g("[WindowScreen]\r\nCenter=0\r\n[WindowCenter]\r\nCenter=0\r\n[WindowSize]\r\nLeft=40\r\nTop=30\r\n");
    Runtime& rt = g.rt();
    int x = 0, y = 0;
    g.platform.windowPosition(x, y);
    ASSERT_EQ(x, 40);
    g.shell->onMenuCommand(kBarFull);
    EXPECT_TRUE(g.platform.fullScreen());
    EXPECT_EQ(rt.config.full, 1);
    EXPECT_EQ(rt.interp.stepsEnabled.load(), 0);  // until the first redraw in the new shape
    EXPECT_EQ(rt.interp.suspended.load(), 0);
    EXPECT_FALSE(g.platform.menuBarShown());
    EXPECT_TRUE(g.checked(MenuWhich::Bar, kBarFull));
    EXPECT_TRUE(g.checked(MenuWhich::Popup, kPopFull));
    g.shell->onRedrawn();
    EXPECT_EQ(rt.interp.stepsEnabled.load(), 1);
    // Again: only the marks.
    g.shell->onMenuCommand(kPopFull);
    EXPECT_EQ(rt.interp.stepsEnabled.load(), 1);

    g.shell->onMenuCommand(kPopWindow);
    EXPECT_FALSE(g.platform.fullScreen());
    EXPECT_EQ(rt.config.full, 0);
    EXPECT_TRUE(g.platform.menuBarShown());
    g.platform.windowPosition(x, y);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 30);
    EXPECT_TRUE(g.checked(MenuWhich::Bar, kBarWindow));
    EXPECT_FALSE(g.checked(MenuWhich::Popup, kPopFull));
    g.shell->onRedrawn();
    EXPECT_EQ(rt.interp.stepsEnabled.load(), 1);
}

TEST(DisplayMode, BackFromFullScreenCentresWhenAsked) {
    ShellGame g("[WindowCenter]\r\nCenter=0\r\n");
    g.shell->runtime().platform.moveWindow(3, 4);
    g.shell->onMenuCommand(kBarFull);
    g.shell->onMenuCommand(kBarWindow);
    int x = 0, y = 0;
    g.platform.windowPosition(x, y);
    EXPECT_EQ(x, (1280 - 640) / 2);
    EXPECT_EQ(y, (1024 - 480) / 2);
}

TEST(DisplayMode, DisplayThatCannotShowTheGameKeepsWindowMode) {
    ShellGame g("");
    g.platform.setDesktop(1280, 1024, false);
    g.shell->onMenuCommand(kBarFull);
    EXPECT_FALSE(g.platform.fullScreen());
    EXPECT_EQ(g.rt().config.full, 0);
    EXPECT_EQ(g.rt().interp.stepsEnabled.load(), 1);
    EXPECT_TRUE(g.checked(MenuWhich::Bar, kBarWindow));
    ASSERT_EQ(g.platform.dialogLog().size(), 1u);
    EXPECT_EQ(g.platform.dialogLog()[0],
              "Yorvane: ディスプレイドライバが、指定したグラフィックスモードの設定に失敗しました。");
}

TEST(DisplayMode, FullMenuSlidesInOverTheTopBand) {
    ShellGame g("[WindowScreen]\r\nFULLMENU=1\r\nFull=1\r\n");
    ASSERT_TRUE(g.platform.fullScreen());
    EXPECT_FALSE(g.platform.menuBarShown());
    g.platform.setPointerInMenuBand(true);
    g.shell->onMouseMove(10, 0);
    EXPECT_TRUE(g.platform.menuBarShown());
    g.platform.setPointerInMenuBand(false);
    g.shell->onMouseMove(10, 200);
    EXPECT_FALSE(g.platform.menuBarShown());
    // Back to window mode with the bar.
    g.platform.setPointerInMenuBand(true);
    g.shell->onMouseMove(10, 0);
    g.shell->onMenuCommand(kBarWindow);
    EXPECT_TRUE(g.platform.menuBarShown());
    EXPECT_EQ(g.rt().app.fullMenuShown.load(), 0);
}

TEST(DisplayMode, ClosingInFullScreenRestoresTheDesktop) {
    ShellGame g("[WindowScreen]\r\nFull=1\r\n");
    ASSERT_TRUE(g.platform.fullScreen());
    EXPECT_TRUE(g.shell->onCloseRequest());
    EXPECT_FALSE(g.platform.fullScreen());
    EXPECT_EQ(g.rt().config.full, 0);
    EXPECT_EQ(g.rt().interp.halt.load(), 1);
    g.shell->onRedrawn();
    EXPECT_EQ(g.rt().interp.stepsEnabled.load(), 0);  // a closing game does not resume
}
