// if, goto, gosub, return, end, breakapp, wait, int, cstring, and their replay records.
#include <gtest/gtest.h>

#include "script_fixture.h"

using namespace yv;

TEST(If, TrueRunsTheBlockFalseSkipsIt) {
    ScriptRun s(
        "@1 = 1;\n#if(@1 == 1)\n{\n@2 = 2;\n}\n#if(@1 == 2)\n{\n@3 = 3;\n{\n@4 = 4;\n}\n@5 = 5;\n}\n@6 = 6;\n");
    s.runToEnd();
    EXPECT_EQ(s.var(2), 2);
    EXPECT_EQ(s.var(3), 0);
    EXPECT_EQ(s.var(4), 0);
    EXPECT_EQ(s.var(5), 0);
    EXPECT_EQ(s.var(6), 6);
    EXPECT_EQ(s.rt.interp.blocks.depth, 0);
}

TEST(If, FalseSkipsOneStatementWithoutBraces) {
    ScriptRun s("@1 = 2;\n#if(@1==1)\n#cstring(\"skipped\");\n@2 = #int(\"5\");\n");
    s.runToEnd();
    EXPECT_NE(s.rt.interp.strResult, "skipped");
    EXPECT_EQ(s.var(2), 5);
}

TEST(If, ConnectivesLeftToRight) {
    ScriptRun s(
        "@1 = 1;\n@2 = 3;\n"
        "#if(@1==1 && @2==2)\n{\n@10 = 1;\n}\n"
        "#if(@1==1 || @2==2)\n{\n@11 = 1;\n}\n"
        "#if(@1==0 || @2==3)\n{\n@12 = 1;\n}\n"
        // An && fails the whole condition even after a satisfied ||.
        "#if(@1==1 || @2==3 && @1==5)\n{\n@13 = 1;\n}\n"
        "#if(@1 != 0 && @2 > 2 && @2 < 4)\n{\n@14 = 1;\n}\n"
        "#if(@2 >= 3)\n{\n@15 = 1;\n}\n#if(@2 <= 2)\n{\n@16 = 1;\n}\n");
    s.runToEnd();
    EXPECT_EQ(s.var(10), 0);
    EXPECT_EQ(s.var(11), 1);
    EXPECT_EQ(s.var(12), 1);
    EXPECT_EQ(s.var(13), 0);
    EXPECT_EQ(s.var(14), 1);
    EXPECT_EQ(s.var(15), 1);
    EXPECT_EQ(s.var(16), 0);
}

TEST(If, ElseIsNotPartOfTheLanguage) {
    // True: both blocks run. False: both are skipped and "else" is shown.
    ScriptRun s(
        "@1 = 1;\n#if(@1==1)\n{\n@2 = 1;\n}\nelse\n{\n@3 = 1;\n}\n"
        "#if(@1==2)\n{\n@4 = 1;\n}\nelse\n{\n@5 = 1;\n}\n@6 = 1;\n");
    s.runToEnd();
    EXPECT_EQ(s.var(2), 1);
    EXPECT_EQ(s.var(3), 1);
    EXPECT_EQ(s.var(4), 0);
    EXPECT_EQ(s.var(5), 0);
    EXPECT_EQ(s.var(6), 1);
    ASSERT_EQ(s.dialogs().size(), 1u);
    EXPECT_NE(s.dialogs()[0].find(": else"), std::string::npos);
}

TEST(Goto, JumpsToLabelsAndReportsMisses) {
    ScriptRun s("@1 = #goto(\"over\");\n@2 = 1;\n|over:\n@3 = #goto(\"nowhere\");\n@4 = 4;\n");
    s.runToEnd();
    EXPECT_GT(s.var(1), 0);
    EXPECT_EQ(s.var(2), 0);
    EXPECT_EQ(s.var(3), 0);
    EXPECT_EQ(s.var(4), 4);
}

TEST(Goto, StatementAfterALabelOnItsLineRuns) {
    ScriptRun s("#goto(\"l\");\n@1 = 1;\n|l:#cstring(\"after\");\n");
    s.runToEnd();
    EXPECT_EQ(s.rt.interp.strResult, "after");
    EXPECT_EQ(s.var(1), 0);
}

TEST(Goto, OtherFilesAndRereadingTheCurrentFile) {
    ScriptRun s("#goto(\"start\", \"second.txt\");\n");
    s.dir.write("Second.TXT", sjis("@1 = 1;\n|start:\n@2 = 2;\n#goto(\"again\");\n|again:\n@3 = 3;\n"));
    s.rt.interp.scriptName = "script.txt";
    s.runToEnd();
    EXPECT_EQ(s.var(1), 0);
    EXPECT_EQ(s.var(2), 2);
    EXPECT_EQ(s.var(3), 3);
    EXPECT_EQ(s.rt.interp.scriptName, "second.txt");
}

TEST(Goto, MissingFileKeepsTheTextButSwitchesTheName) {
    ScriptRun s("@1 = #goto(\"x\", \"missing.txt\");\n@2 = 2;\n");
    s.runToEnd();
    EXPECT_EQ(s.var(1), 0);
    EXPECT_EQ(s.var(2), 2);
    EXPECT_EQ(s.rt.interp.scriptName, "missing.txt");
}

TEST(Gosub, ReturnContinuesAfterTheCall) {
    ScriptRun s;
    s.dir.write("script.txt", sjis("#gosub(\"sub\");\n@1 += 1;\n#end();\n|sub:\n@2 += 1;\n#return();\n"));
    s.rt.interp.setText(s.dir.read("script.txt"));
    s.rt.interp.scriptName = "script.txt";
    s.runToEnd();
    EXPECT_EQ(s.var(1), 1);
    EXPECT_EQ(s.var(2), 1);
    EXPECT_EQ(s.rt.interp.calls.depth, 0);
    EXPECT_EQ(s.rt.interp.scriptName, "script.txt");
}

TEST(Gosub, ModeOneRunsTheCallAgain) {
    ScriptRun s;
    s.dir.write("script.txt", sjis("#gosub(\"sub\", 1);\n#end();\n|sub:\n@2 += 1;\n#if(@2 >= 3)\n{\n#end();\n}\n#return();\n"));
    s.rt.interp.setText(s.dir.read("script.txt"));
    s.rt.interp.scriptName = "script.txt";
    s.runToEnd();
    EXPECT_EQ(s.var(2), 3);
}

TEST(Gosub, IntoAnotherFileAndBack) {
    ScriptRun s;
    s.dir.write("main.txt", sjis("@1 = #gosub(\"sub\", \"lib.txt\");\n@2 = 2;\n"));
    s.dir.write("lib.txt", sjis("|sub:\n@3 = 3;\n#return();\n"));
    s.rt.interp.setText(s.dir.read("main.txt"));
    s.rt.interp.scriptName = "main.txt";
    s.runToEnd();
    EXPECT_GT(s.var(1), 0);
    EXPECT_EQ(s.var(2), 2);
    EXPECT_EQ(s.var(3), 3);
}

TEST(Gosub, NestedCallWithoutFileCannotReturn) {
    // The inner call records ";" as its caller file, which names no file.
    ScriptRun s;
    s.dir.write("script.txt", sjis("#gosub(\"a\");\n@1 = 1;\n#end();\n|a:\n#gosub(\"b\");\n@2 = 2;\n#end();\n|b:\n#return();\n@3 = 3;\n#end();\n"));
    s.rt.interp.setText(s.dir.read("script.txt"));
    s.rt.interp.scriptName = "script.txt";
    s.runToEnd();
    EXPECT_EQ(s.var(3), 3);
    EXPECT_EQ(s.var(2), 0);
    EXPECT_EQ(s.rt.interp.calls.depth, 2);
}

TEST(Gosub, DeepRecursionIsRefusedNotOverrun) {
    ScriptRun s("|r:\n@1 += 1;\n#gosub(\"r\");\n");
    s.runToEnd(100000);
    EXPECT_EQ(s.rt.interp.calls.depth, 1024);
    EXPECT_EQ(s.var(1), 1025);
}

TEST(Return, OnAnEmptyStackDoesNothing) {
    ScriptRun s("@1 = #return();\n@2 = 2;\n");
    s.runToEnd();
    EXPECT_EQ(s.var(1), 1);
    EXPECT_EQ(s.var(2), 2);
}

TEST(End, StopsAndShowsTheConfiguredMessage) {
    ScriptRun s("#end();\n@1 = 1;\n");
    s.rt.config.scriptEnd = 1;
    s.rt.app.setTitle("T");
    s.runToEnd();
    EXPECT_EQ(s.var(1), 0);
    EXPECT_FALSE(s.rt.interp.running);
    ASSERT_EQ(s.dialogs().size(), 1u);
    EXPECT_EQ(s.dialogs()[0], "T: プログラムが終端にきました");
}

TEST(Breakapp, HaltsAndAsksTheWindowToClose) {
    ScriptRun s("@1 = 4;\n@2 = #int(\"6\");\n#breakapp();\n@3 = 1;\n");
    s.runToEnd();
    EXPECT_TRUE(s.platform.closeRequested());
    EXPECT_EQ(s.var(3), 0);
    EXPECT_EQ(s.rt.interp.result, 0);  // kept: the pending store reset it to 0
}

TEST(Wait, TimingOnTheManualClock) {
    ScriptRun s("#wait(500);\n@1 = 1;\n");
    const uint32_t t0 = s.platform.manualClock().nowMs();
    uint32_t when = 0;
    for (int i = 0; i < 100 && s.var(1) == 0; ++i) {
        when = s.platform.manualClock().nowMs();
        s.step(30);
    }
    EXPECT_EQ(s.var(1), 1);
    EXPECT_GE(when - t0, 500u);
    EXPECT_LE(when - t0, 570u);  // the first consultation starts the count one step later
}

TEST(Wait, ZeroAndNegative) {
    ScriptRun s("#wait(0);\n@1 = 1;\n#wait(-1);\n@2 = 1;\n");
    s.step();
    EXPECT_EQ(s.var(1), 1);
    for (int i = 0; i < 50; ++i) s.step(1000);
    EXPECT_EQ(s.var(2), 0);  // a negative time never elapses
}

TEST(ClickFlags, ForgottenAfterTheStatement) {
    ScriptRun s("#wait(100);\n@1 = 1;\n");
    s.rt.interp.leftClick = 1;
    s.step();
    EXPECT_EQ(s.rt.interp.leftClick, 0);
}

TEST(ReplayRecords, ControlFlowAppendsWhileLogging) {
    ScriptRun s;
    s.dir.write("script.txt", sjis("#savetmp();\n@1 = 1;\n#if(@1==1)\n#goto(\"a\");\n|a:\n#gosub(\"b\");\n#nonesavetmp();\n#end();\n|b:\n#return();\n"));
    s.rt.interp.setText(s.dir.read("script.txt"));
    s.rt.interp.scriptName = "script.txt";
    s.runToEnd();
    const std::string log = s.rt.save.log.text;
    EXPECT_EQ(log.rfind("@82,@71,1,-200001211,1,-214748364,@62,a,script.txt,@61,b,;,0,", 0), 0u) << log;
    EXPECT_NE(log.find("@63,"), std::string::npos);
    EXPECT_EQ(log.find("@64,"), std::string::npos);  // logging was off by then
}

TEST(Pacing, ThreadLoopPacesStepsOnTheClock) {
    // 30 ms between step starts: a one-second wait takes about 35 steps of clock time.
    ScriptRun s("#wait(1000);\n@1 = 1;\n#end();\n");
    s.rt.interp.pacingMs = 30;
    script::threadLoop(s.rt);  // returns once end has cleared the running flag
    const uint32_t t = s.platform.manualClock().nowMs();
    EXPECT_EQ(s.var(1), 1);
    EXPECT_GE(t, 1000u);
    EXPECT_LE(t, 1100u);
    EXPECT_EQ(t % 30, 0u);
    EXPECT_FALSE(s.rt.interp.threadActive);
}

TEST(Pacing, UnpacedHeadlessLoopStillMovesTime) {
    ScriptRun s("#wait(200);\n#end();\n");
    s.rt.interp.pacingMs = 0;
    script::threadLoop(s.rt);
    EXPECT_GE(s.platform.manualClock().nowMs(), 200u);
    EXPECT_LE(s.platform.manualClock().nowMs(), 205u);
}

// A jump within the file just read takes it from memory, but a file the game itself wrote is
// read again at once, however little time has passed.
TEST(Goto, AFileTheGameRewroteIsReadAgainAtTheNextJump) {
    ScriptRun s("#goto(\"a\", \"b.txt\");\n");
    s.dir.write("b.txt", sjis("|a:\n@1 += 1;\n#copyfile(\"c.txt\", \"b.txt\");\n#goto(\"a\", \"b.txt\");\n"));
    s.dir.write("c.txt", sjis("|a:\n@2 = 7;\n"));
    s.runToEnd(5);
    EXPECT_EQ(s.var(1), 1);  // the second jump found the copied text
    EXPECT_EQ(s.var(2), 7);
}
