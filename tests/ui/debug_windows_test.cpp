// The debug windows' model driven by a real interpreter: monitor rows in every mode, the rate
// line, the preview's areas, paging and changed-flag rule, the close question, and the watch
// mode's trace, pause and single step.
#include <gtest/gtest.h>

#include "../script/script_fixture.h"
#include "ui/config.h"
#include "app/debug_settings.h"
#include "script/debug_serve.h"
#include "ui/debug_windows.h"

using namespace yv;
using ui::DebugWindows;
using ui::MonitorMode;

namespace {

struct DebugRun : ScriptRun {
    Config config;
    DebugWindows windows{rt.interp.debug, rt.interp.stepsPerSecond, app::settingsListing(config, "game.ico"),
                         false};
    explicit DebugRun(const std::string& script = "") : ScriptRun(script) {}

    // One pass of the window thread's timers around one interpreter step, served after the
    // step as the interpreter thread's loop does.
    void pass(double ms = 30) {
        windows.monitor.ask();
        step(ms);
        if (rt.interp.debug.active) script::debugAfterStep(rt, platform.manualClock().nowPreciseMs());
        windows.monitor.take();
    }
    std::string cell(size_t row, int col) { return windows.monitor.row(row).cells[col]; }
};

std::vector<uint8_t> solid(int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < px.size(); i += 3) px[i] = b, px[i + 1] = g, px[i + 2] = r;
    return px;
}

void paint(Screen& s, uint8_t b, uint8_t g, uint8_t r, bool changed) {
    s.allocate(64, 48);
    const std::vector<uint8_t> px = solid(64, 48, b, g, r);
    s.pixels.assign(px.begin(), px.end());
    s.changed = changed;
}

bool allRgb(const std::vector<uint8_t>& p, uint8_t r, uint8_t g, uint8_t b) {
    if (p.size() != static_cast<size_t>(kPreviewW) * kPreviewH * 3) return false;
    for (size_t i = 0; i < p.size(); i += 3)
        if (p[i] != r || p[i + 1] != g || p[i + 2] != b) return false;
    return true;
}

}  // namespace

TEST(DebugMonitor, IntegerRowsFollowAssignmentsWithTheirMark) {
    DebugRun d("@5 = 12;\n#wait(100);\n@5 = 0;\n@2020 = -7;\n#wait(100);\n");
    d.windows.open(DebugWindows::kMonitor, true);
    EXPECT_EQ(d.windows.monitor.columns()[0], std::string("変数番号"));
    EXPECT_EQ(d.windows.monitor.columns()[1], std::string("変数値"));
    ASSERT_EQ(d.windows.monitor.rowCount(), 2021u);
    d.pass();
    EXPECT_EQ(d.cell(5, 0), "         5");
    EXPECT_EQ(d.cell(5, 1), "                  12");
    EXPECT_EQ(d.cell(5, 2), "●");
    EXPECT_EQ(d.cell(4, 2), "");
    for (int i = 0; i < 5; ++i) d.pass();
    EXPECT_EQ(d.cell(5, 1), "                   0");
    EXPECT_EQ(d.cell(5, 2), "");
    EXPECT_EQ(d.cell(2020, 0), "      2020");
    EXPECT_EQ(d.cell(2020, 1), "                  -7");
    EXPECT_EQ(d.cell(2020, 2), "●");
    // The change list was emptied by the monitor's copies.
    EXPECT_TRUE(d.rt.interp.changes.empty());
}

TEST(DebugMonitor, StringRowsSettingsListingAndRate) {
    DebugRun d("@B = \"abc\";\n@z = \"漢字\";\n#wait(100);\n");
    d.windows.open(DebugWindows::kMonitor, true);
    d.windows.monitor.setMode(MonitorMode::Strings);
    EXPECT_EQ(d.windows.monitor.columns()[1], std::string("変数文字列"));
    ASSERT_EQ(d.windows.monitor.rowCount(), 58u);
    d.pass();
    EXPECT_EQ(d.cell(1, 0), "         1 (B)");
    EXPECT_EQ(d.cell(1, 1), "abc");
    EXPECT_EQ(d.cell(1, 2), "●");
    EXPECT_EQ(d.cell(0, 2), "");
    EXPECT_EQ(d.cell(57, 0), "        57 (z)");
    EXPECT_EQ(d.cell(57, 1), "漢字");

    d.windows.monitor.setMode(MonitorMode::Settings);
    EXPECT_EQ(d.windows.monitor.columns()[0], std::string("行"));
    EXPECT_EQ(d.windows.monitor.columns()[1], std::string("設定文"));
    EXPECT_EQ(d.cell(0, 0), "  1, [WindowTitle]");
    EXPECT_EQ(d.cell(1, 0), "  2, Title");
    EXPECT_EQ(d.cell(1, 1), "Title=Yorvane");
    bool sawFontName = false, sawIcon = false, sawDebugPrev = false;
    for (size_t i = 0; i < d.windows.monitor.rowCount(); ++i) {
        sawFontName |= d.cell(i, 1) == "Name=ＭＳ ゴシック";
        sawIcon |= d.cell(i, 1) == "Icon=game.ico";
        sawDebugPrev |= d.cell(i, 1) == "DebugPrev=0";
    }
    EXPECT_TRUE(sawFontName && sawIcon && sawDebugPrev);

    d.rt.interp.stepsPerSecond = 7;
    EXPECT_EQ(d.windows.monitor.rateText(), "FPS =   7");
    d.rt.interp.stepsPerSecond = 1234;
    EXPECT_EQ(d.windows.monitor.rateText(), "FPS = 1234");
}

TEST(DebugMonitor, WritesOutsideTheChangeListStillReachTheRows) {
    // A loaded game or system.dat sets variables without the change list.
    DebugRun d("#wait(100);\n#wait(100);\n");
    d.windows.open(DebugWindows::kMonitor, true);
    d.pass();
    d.rt.interp.ivar[950] = 42;
    d.pass();
    EXPECT_EQ(d.cell(950, 1), "                  42");
    EXPECT_EQ(d.windows.monitor.intValue(950), 42);
}

TEST(DebugMonitor, NothingIsCopiedWhileClosed) {
    DebugRun d("@5 = 12;\n#wait(100);\n");
    d.pass();
    EXPECT_FALSE(d.rt.interp.debug.active);
    EXPECT_EQ(d.windows.monitor.intValue(5), 0);
    // The change list stays bounded without a monitor.
    for (int i = 0; i < 5000; ++i) d.rt.interp.setInt(1, i);
    EXPECT_LE(d.rt.interp.changes.size(), 2022u);
}

TEST(DebugPreview, AreasPagingLimitsAndChangedFlag) {
    DebugRun d("#wait(100);\n#wait(100);\n#wait(100);\n#wait(100);\n#wait(100);\n");
    ui::ScreenPreview& p = d.windows.preview;
    d.windows.open(DebugWindows::kPreview, true);
    const auto a = p.areas();
    EXPECT_EQ(a[0].x, 11);
    EXPECT_EQ(a[0].y, 95);
    EXPECT_EQ(a[0].frame, "直接描画画面");
    EXPECT_EQ(a[1].label, "- * -");
    EXPECT_EQ(a[2].x, 358);
    EXPECT_EQ(a[2].label, "ﾌﾟﾗｲﾏﾘｻｰﾌｪｲｽ\n- 0 -");
    EXPECT_EQ(a[3].y, 260);
    EXPECT_EQ(a[3].label, "ﾊﾞｯｸｻｰﾌｪｲｽ\n- 1 -");
    EXPECT_EQ(a[8].x, 358);
    EXPECT_EQ(a[8].y, 426);
    EXPECT_EQ(a[8].label, "- 6 -");

    Screens& s = d.rt.screens;
    paint(s.table[0], 0, 0, 255, true);   // red, changed
    paint(s.table[2], 255, 0, 0, false);  // blue, never marked changed
    paint(s.table[3], 0, 255, 0, true);   // green
    const ui::ScreenPreview::WindowPicture window = [](int& w, int& h) {
        w = 32, h = 16;
        return solid(32, 16, 0, 255, 255);  // yellow
    };
    uint32_t now = 0;
    auto pass = [&] {
        p.ask(now, window);
        d.step(100);
        script::debugAfterStep(d.rt, d.platform.manualClock().nowPreciseMs());
        p.take();
        now += 100;
    };
    pass();
    EXPECT_TRUE(allRgb(p.picture(0), 255, 255, 0));
    EXPECT_TRUE(p.picture(1).empty());  // "- * -" receives no picture
    EXPECT_TRUE(allRgb(p.picture(2), 255, 0, 0));
    EXPECT_TRUE(p.picture(4).empty());  // screen 2 has pixels but no changed flag
    EXPECT_TRUE(allRgb(p.picture(5), 0, 255, 0));

    // The changed flag alone decides: once set, the area is drawn.
    s.table[2].changed = true;
    pass();
    EXPECT_TRUE(allRgb(p.picture(4), 0, 0, 255));

    // Paging: areas whose screen is not drawn go black; the limits hold.
    p.previous();
    EXPECT_EQ(p.offset(), 0);
    p.next();
    EXPECT_EQ(p.offset(), 5);
    pass();
    for (int k = 4; k < 9; ++k) EXPECT_TRUE(allRgb(p.picture(k), 0, 0, 0)) << k;
    EXPECT_TRUE(allRgb(p.picture(2), 255, 0, 0));  // screen 0 is on every page
    EXPECT_EQ(p.areas()[4].label, "- 7 -");
    p.last();
    EXPECT_EQ(p.offset(), 253);
    paint(s.table[257], 0, 255, 0, true);
    pass();
    EXPECT_EQ(p.areas()[8].screen, 259);
    EXPECT_TRUE(allRgb(p.picture(6), 0, 255, 0));  // screen 257
    EXPECT_TRUE(allRgb(p.picture(7), 0, 0, 0));    // 258: no such screen
    EXPECT_TRUE(allRgb(p.picture(8), 0, 0, 0));
    p.next();
    EXPECT_EQ(p.offset(), 258);
    p.next();
    EXPECT_EQ(p.offset(), 258);
    p.previous();
    EXPECT_EQ(p.offset(), 253);
    p.first();
    EXPECT_EQ(p.offset(), 0);
}

TEST(DebugWindowsClose, QuestionOnlyWithEndMessage) {
    TempDir dir;
    HeadlessPlatform platform;
    Runtime rt(platform, dir.path());
    DebugWindows asks(rt.interp.debug, rt.interp.stepsPerSecond, {}, true);
    asks.open(DebugWindows::kMonitor, true);
    asks.open(DebugWindows::kPreview, true);
    asks.askClose(DebugWindows::kMonitor);
    EXPECT_TRUE(asks.asking(DebugWindows::kMonitor));
    EXPECT_EQ(std::string(DebugWindows::kCloseQuestion), "デバッグウィンドウを終了してよろしいですか？");
    EXPECT_EQ(asks.questionCaption(DebugWindows::kMonitor), "Debug Window ver 0.1");
    EXPECT_EQ(asks.questionCaption(DebugWindows::kPreview), "Debug FuncPreview Window ver 0.1");
    asks.answerClose(DebugWindows::kMonitor, false);
    EXPECT_TRUE(asks.isOpen(DebugWindows::kMonitor));
    asks.askClose(DebugWindows::kMonitor);
    asks.answerClose(DebugWindows::kMonitor, true);
    EXPECT_FALSE(asks.isOpen(DebugWindows::kMonitor));
    EXPECT_FALSE(rt.interp.debug.monitorOn);
    EXPECT_TRUE(rt.interp.debug.active);  // the preview still looks
    asks.closeAll();
    EXPECT_FALSE(rt.interp.debug.active);

    DebugWindows quiet(rt.interp.debug, rt.interp.stepsPerSecond, {}, false);
    quiet.open(DebugWindows::kPreview, true);
    quiet.askClose(DebugWindows::kPreview);
    EXPECT_FALSE(quiet.asking(DebugWindows::kPreview));
    EXPECT_FALSE(quiet.isOpen(DebugWindows::kPreview));
}

TEST(DebugWatch, TraceFollowsAGosubIntoAnotherFile) {
    DebugRun d;
    d.dir.write("main.txt", sjis("@1 = 1;\n#gosub(\"sub\", \"lib.txt\");\n@3 = @2 + @1;\n@4 = #int(\"9\");\n#wait(100);\n"));
    d.dir.write("lib.txt", sjis("// a library\n|sub:\n@2 = 5; // five\n@B = \"表示\";\n#return();\n"));
    d.rt.interp.setText(d.dir.read("main.txt"));
    d.rt.interp.scriptName = "main.txt";
    d.windows.open(DebugWindows::kMonitor, true);
    d.windows.monitor.setMode(MonitorMode::Watch);
    EXPECT_EQ(d.windows.monitor.columns()[0], std::string("実行行数"));
    d.pass();
    auto& m = d.windows.monitor;
    ASSERT_EQ(m.rowCount(), 8u);
    const std::vector<std::array<std::string, 3>> want = {
        {"main.txt:1", "@1 = 1;", "@1←1"},
        {"main.txt:2", "#gosub(\"sub\", \"lib.txt\");", ""},
        {"lib.txt:3", "@2 = 5;", "@2←5"},
        {"lib.txt:4", "@B = \"表示\";", "@B←\"表示\""},
        {"lib.txt:5", "#return();", ""},
        {"main.txt:3", "@3 = @2 + @1;", "@3←6, @2=5, @1=1"},
        // An assignment that takes a command's result is one line, with the value stored.
        {"main.txt:4", "@4 = #int(\"9\");", "@4←9"},
        {"main.txt:5", "#wait(100);", ""},
    };
    for (size_t i = 0; i < want.size(); ++i)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(d.cell(i, c), want[i][static_cast<size_t>(c)]) << i << "," << c;
    EXPECT_TRUE(m.takeTraceGrown());
}

TEST(DebugWatch, PauseHoldsAndOneStepRunsOneStatement) {
    DebugRun d("@1 = 1;\n@2 = 2;\n@3 = 3;\n#wait(100);\n");
    auto& m = d.windows.monitor;
    d.windows.open(DebugWindows::kMonitor, true);
    m.setMode(MonitorMode::Watch);
    m.setPaused(true);
    for (int i = 0; i < 5; ++i) d.pass();
    EXPECT_EQ(d.var(1), 0);
    EXPECT_TRUE(m.holding());
    EXPECT_EQ(m.rowCount(), 0u);
    EXPECT_EQ(m.heldAt(), "script.txt:1: @1 = 1;");

    m.stepOne();
    d.pass();
    EXPECT_EQ(d.var(1), 1);
    EXPECT_EQ(d.var(2), 0);
    EXPECT_EQ(m.rowCount(), 1u);
    for (int i = 0; i < 3; ++i) d.pass();
    EXPECT_EQ(d.var(2), 0);
    m.stepOne();
    d.pass();
    EXPECT_EQ(d.var(2), 2);
    EXPECT_EQ(d.var(3), 0);
    EXPECT_EQ(m.heldAt(), "script.txt:3: @3 = 3;");

    m.setPaused(false);
    d.pass();
    EXPECT_EQ(d.var(3), 3);
    EXPECT_FALSE(m.holding());
    EXPECT_EQ(m.rowCount(), 4u);
    // Closing the monitor never leaves the game paused.
    m.setPaused(true);
    d.windows.open(DebugWindows::kMonitor, false);
    EXPECT_EQ(d.rt.interp.debug.paused, 0);
}

TEST(DebugWatch, TraceKeepsTheLast500) {
    DebugRun d("|top:\n@1 += 1;\n#if(@1 < 400)\n{\n#goto(\"top\");\n}\n#wait(100);\n");
    d.windows.open(DebugWindows::kMonitor, true);
    d.windows.monitor.setMode(MonitorMode::Watch);
    d.pass();
    EXPECT_EQ(d.windows.monitor.rowCount(), 500u);
    EXPECT_EQ(d.cell(499, 1), "#wait(100);");
    EXPECT_EQ(d.rt.interp.debug.trace.size(), 500u);
}
