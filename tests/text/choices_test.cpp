// Choice blocks, click areas, highlights, click waits, mouse traps and the keys of choices,
// stepped on the manual clock.
#include <gtest/gtest.h>

#include <random>

#include "ui/app_state.h"
#include "app/input.h"
#include "app/window_view.h"
#include "graphics/present.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "script/interpreter.h"
#include "test_util.h"
#include "script/command_table.h"
#include "text/choice_list.h"
#include "text/choices.h"
#include "text/text_state.h"

using namespace yv;

namespace {

// Input as the window thread hands it over.
void applyInputTo(Runtime& rt, const InputEvent& e) {
    app::WindowView view = app::windowView(rt);
    app::applyInput(view, e);
}


// A game on the headless platform: text item 0 at (100, 300) with the rows "はい", "いいえ",
// "たぶん", stepped by hand.
struct ChoiceGame {
    TempDir dir;
    HeadlessPlatform platform;
    Runtime rt{platform, dir.path()};

    explicit ChoiceGame(const std::string& script) {
        rt.resetForStart();
        text::configure(rt);
        graphics::createScreens(rt);
        dir.write("text.txt", sjis("\"はい\";\r\n\"いいえ\";\r\n\"たぶん\";\r\n"));
        const std::string head = "#createtextf(1, 3);\n#loadtextf(\"text.txt\");\n#locatef(0, 100, 300);\n";
        dir.write("script.txt", sjis(head + script));
        rt.interp.scriptName = "script.txt";
        rt.interp.setText(sjis(head + script));
        rt.interp.running = 1;
        rt.interp.stepsEnabled = 1;
    }
    void step(double ms = 30) {
        script::step(rt);
        platform.manualClock().advance(ms);
    }
    // Steps until choices are offered (bounded); false when they never are.
    bool toChoices() {
        for (int i = 0; i < 200 && !rt.choices.ready && rt.interp.running && !rt.interp.halt; ++i) step();
        return rt.choices.ready;
    }
    void runToEnd() {
        for (int i = 0; i < 2000 && rt.interp.running && !rt.interp.halt; ++i) step();
    }
    void pointAt(int x, int y) {
        rt.app.mouseX = x;
        rt.app.mouseY = y;
    }
    // The skip entry of the menu bar.
    bool skipGreyed() { return rt.app.menus.topGreyed(MenuWhich::Bar, 1); }
    int32_t var(int i) const { return rt.interp.ivar[static_cast<size_t>(i)]; }
    const uint8_t* px(int screen, int x, int y) {
        const Screen& s = rt.screens.table[static_cast<size_t>(screen)];
        return s.row(y) + static_cast<size_t>(x) * 3;
    }
};

const std::string kThreeChoices =
    "#select();\n{\n#printtextf(0, 1, \"c1\");\n#printtextf(0, 2, \"c2\");\n#printtextf(0, 3, \"c3\");\n}\n"
    "@1 = 99;\n#end();\n"
    "|c1:\n@2 = 1;\n#return();\n|c2:\n@2 = 2;\n#return();\n|c3:\n@2 = 3;\n#return();\n";

}  // namespace

TEST(ChoiceBlock, ThreeLinesGiveThreeAreasOneLineApart) {
    ChoiceGame g(kThreeChoices);
    ASSERT_TRUE(g.toChoices());
    const auto& r = g.rt.choices.records;
    ASSERT_EQ(r.size(), 3u);
    const int h = g.rt.text.font.height;
    ASSERT_EQ(h, 24);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(r[static_cast<size_t>(i)].left, 100 + h);
        EXPECT_EQ(r[static_cast<size_t>(i)].top, 300 + i * h);
        EXPECT_EQ(r[static_cast<size_t>(i)].bottom, 300 + (i + 1) * h - 1);
        EXPECT_EQ(r[static_cast<size_t>(i)].button, 1);
        EXPECT_EQ(r[static_cast<size_t>(i)].base, 0);
    }
    EXPECT_EQ(r[1].top, 324);
    // Two characters, then three: each line's area ends where its text does.
    EXPECT_EQ(r[0].right, 100 + 2 * h + h);
    EXPECT_EQ(r[1].right, 100 + 3 * h + h);
    EXPECT_EQ(r[0].label, "c1");
    // The block put the text settings back and offers the menus without the skip entry.
    EXPECT_FALSE(g.rt.text.selectMode);
    EXPECT_EQ(g.rt.text.textType, -1);
    EXPECT_TRUE(g.skipGreyed());
    EXPECT_FALSE(g.rt.app.menus.topGreyed(MenuWhich::Bar, 0));
    EXPECT_EQ(g.rt.app.choiceBlock, 1);
    EXPECT_EQ(g.rt.app.choiceList, 1);
}

TEST(ChoiceBlock, FirstChoiceStartsHighlightedAndAClickPicksTheOneUnderThePointer) {
    ChoiceGame g("#selectcolor(rgb(0, 0, 200));\n" + kThreeChoices);
    ASSERT_TRUE(g.toChoices());
    g.pointAt(0, 0);  // nowhere near a choice
    g.step();
    // The cell corner of the first character is not inked: the tint shows there.
    EXPECT_EQ(g.px(0, 124, 300)[0], 200);
    EXPECT_EQ(g.px(0, 124, 324)[0], 0);
    // The texts are laid over the screen: some pixel of each area is lit in white.
    for (int i = 0; i < 3; ++i) {
        int lit = 0;
        for (int y = 300 + 24 * i; y < 324 + 24 * i; ++y)
            for (int x = 124; x < 172; ++x) lit += g.px(0, x, y)[2] > 128;
        EXPECT_GT(lit, 0) << "choice " << i;
    }
    // Moving onto the second choice moves the highlight.
    g.pointAt(140, 330);
    g.step();
    EXPECT_EQ(g.px(0, 124, 300)[0], 0);
    EXPECT_EQ(g.px(0, 124, 324)[0], 200);
    g.rt.interp.leftClick = 1;
    g.step();
    EXPECT_FALSE(g.rt.choices.ready);
    g.runToEnd();
    EXPECT_EQ(g.var(2), 2);
    EXPECT_EQ(g.var(1), 99);  // the subroutine returned after the block
    EXPECT_FALSE(g.skipGreyed());
    EXPECT_EQ(g.rt.app.choiceBlock, 0);
    EXPECT_EQ(g.rt.app.choiceList, 0);
    // The screen came back without highlight or text, and the back screen took it.
    EXPECT_EQ(g.px(0, 124, 324)[0], 0);
    EXPECT_EQ(g.px(1, 124, 324)[0], 0);
}

TEST(ChoiceBlock, AClickAwayFromEveryChoiceDoesNothingAndSelectexJumpsWithGoto) {
    ChoiceGame g("#selectex();\n{\n#printtextf(0, 1, \"c1\");\n#printtextf(0, 2, \"c2\");\n}\n@1 = 99;\n#end();\n"
                 "|c1:\n@2 = 1;\n#end();\n|c2:\n@2 = 2;\n#end();\n");
    ASSERT_TRUE(g.toChoices());
    g.pointAt(0, 0);
    g.rt.interp.leftClick = 1;
    g.step();
    EXPECT_TRUE(g.rt.choices.ready);
    g.pointAt(130, 310);
    g.rt.interp.leftClick = 1;
    g.step();
    g.runToEnd();
    EXPECT_EQ(g.var(2), 1);
    EXPECT_EQ(g.var(1), 0);  // a goto does not come back; the script ran on from the label
}

TEST(ChoiceBlock, EnterTakesTheHighlightedChoiceWhereverThePointerIs) {
    // Shown afresh, the first choice is highlighted: Enter takes it with the pointer elsewhere.
    ChoiceGame g(kThreeChoices);
    ASSERT_TRUE(g.toChoices());
    g.pointAt(0, 0);
    g.step();
    applyInputTo(g.rt, InputEvent::keyEvent(kKeyEnter, true));
    g.step();
    EXPECT_FALSE(g.rt.choices.ready);
    g.runToEnd();
    EXPECT_EQ(g.var(2), 1);
    // The keys moved the highlight to the third: Enter takes that one.
    ChoiceGame k(kThreeChoices);
    ASSERT_TRUE(k.toChoices());
    k.step();
    k.rt.app.navSteps = 2;
    k.step();
    applyInputTo(k.rt, InputEvent::keyEvent(kKeyEnter, true));
    k.step();
    k.runToEnd();
    EXPECT_EQ(k.var(2), 3);
}

TEST(ChoiceBlock, AnEmptyLabelEndsTheList) {
    ChoiceGame g("#select();\n{\n#printtextf(0, 1, \"c1\");\n#printtextf(0, 2);\n#printtextf(0, 3, \"c3\");\n}\n"
                 "#end();\n|c1:\n#return();\n|c3:\n#return();\n");
    ASSERT_TRUE(g.toChoices());
    ASSERT_EQ(g.rt.choices.records.size(), 1u);
    // The third line is not offered: a click on it does nothing.
    g.step();
    g.pointAt(130, 355);
    g.rt.interp.leftClick = 1;
    g.step();
    EXPECT_TRUE(g.rt.choices.ready);
}

TEST(ChoiceBlock, SelectEndsSkippingAndUpDownMoveThePointer) {
    ChoiceGame g(kThreeChoices);
    g.rt.app.skip = 1;
    ASSERT_TRUE(g.toChoices());
    EXPECT_EQ(g.rt.app.skip, 0);
    g.pointAt(5, 6);
    g.step();  // the first choice is highlighted
    g.rt.app.navSteps += 2;  // Down twice
    g.step();
    const ChoiceRecord& third = g.rt.choices.records[2];
    EXPECT_EQ(g.platform.pointerX(), (third.left + third.right) / 2);
    EXPECT_EQ(g.platform.pointerY(), (third.top + third.bottom) / 2);
    g.rt.app.navSteps -= 1;
    g.step();
    const ChoiceRecord& second = g.rt.choices.records[1];
    EXPECT_EQ(g.platform.pointerY(), (second.top + second.bottom) / 2);
    g.rt.interp.leftClick = 1;
    g.step();
    g.runToEnd();
    EXPECT_EQ(g.var(2), 2);
    // The pointer went back where the player had left it.
    EXPECT_EQ(g.platform.pointerX(), 5);
    EXPECT_EQ(g.platform.pointerY(), 6);
}

TEST(ClickAreas, RightButtonAreaIgnoresLeftClicks) {
    ChoiceGame g("#mouseclickevent();\n{\n  10, 10, 100, 40, \"r\", \"\", right, 0, -1\n}\n@1 = 99;\n#end();\n"
                 "|r:\n@2 = 5;\n#return();\n");
    ASSERT_TRUE(g.toChoices());
    g.pointAt(50, 20);
    g.rt.interp.leftClick = 1;
    g.step();
    EXPECT_TRUE(g.rt.choices.ready);
    g.rt.interp.rightClick = 1;
    g.step();
    EXPECT_FALSE(g.rt.choices.ready);
    g.runToEnd();
    EXPECT_EQ(g.var(2), 5);
    EXPECT_EQ(g.var(1), 99);
}

TEST(ClickAreas, NumberGoesToTheJumpAndExFormsGoto) {
    // A click outside every area does nothing; the ex form jumps without a return point.
    ChoiceGame g("#mouseclickeventex();\n{\n0,0,9,9,\"a\",\"\",1,0,-1\n20,0,29,9,\"b\",\"script.txt\",left,0,-1;\n}\n"
                 "#end();\n|a:\n@2 = 1;\n#end();\n|b:\n@2 = 2;\n#end();\n");
    ASSERT_TRUE(g.toChoices());
    g.pointAt(15, 5);
    g.rt.interp.leftClick = 1;
    g.step();
    EXPECT_TRUE(g.rt.choices.ready);
    g.pointAt(25, 5);
    g.rt.interp.leftClick = 1;
    g.step();
    g.runToEnd();
    EXPECT_EQ(g.var(2), 2);
    EXPECT_EQ(g.rt.interp.calls.depth, 0);
}

TEST(ClickAreas, RecordWithoutColourAddsBlue128FromTheBaseScreen) {
    ChoiceGame g("#mouseclickevent();\n{\n10,10,19,19,\"x\",\"\",1,0,1\n30,10,39,19,\"y\",\"\",1,0,-1\n}\n#end();\n");
    Screen& back = g.rt.screens.table[1];
    for (size_t i = 0; i + 2 < back.pixels.size(); i += 3) {
        back.pixels[i] = 50;
        back.pixels[i + 1] = 60;
        back.pixels[i + 2] = 70;
    }
    ASSERT_TRUE(g.toChoices());
    g.pointAt(15, 15);
    g.step();
    const uint8_t* p = g.px(0, 15, 15);
    EXPECT_EQ(p[0], 178);
    EXPECT_EQ(p[1], 60);
    EXPECT_EQ(p[2], 70);
    EXPECT_EQ(g.px(0, 20, 15)[0], 0);  // just outside the area
    // Base -1: no highlight; the first area comes back from the copy taken when it was offered.
    g.pointAt(35, 15);
    g.step();
    EXPECT_EQ(g.px(0, 35, 15)[0], 0);
    EXPECT_EQ(g.px(0, 15, 15)[0], 0);
}

TEST(ClickAreas, ImageModeCopiesOrStepsTowardThePicture) {
    ChoiceGame g("#mouseimageclickevent();\n{\n10,10,19,19,\"x\",\"\",1,0,0,5,5,2,0\n"
                 "30,10,39,19,\"y\",\"\",1,0,0,5,5,2,40\n}\n#end();\n");
    Screen& pic = g.rt.screens.table[2];
    pic.allocate(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint8_t* q = pic.row(y) + x * 3;
            q[0] = static_cast<uint8_t>(x * 8);
            q[1] = 200;
            q[2] = static_cast<uint8_t>(y * 8);
        }
    ASSERT_TRUE(g.toChoices());
    g.pointAt(12, 13);
    g.step();
    EXPECT_EQ(g.px(0, 12, 13)[0], 7 * 8);  // source (5 + 2, 5 + 3)
    EXPECT_EQ(g.px(0, 12, 13)[1], 200);
    EXPECT_EQ(g.px(0, 12, 13)[2], 8 * 8);
    g.pointAt(32, 10);
    g.step();
    EXPECT_EQ(g.px(0, 12, 13)[1], 0);  // restored
    EXPECT_EQ(g.px(0, 32, 10)[1], 40);  // one step of 40 toward 200
    EXPECT_EQ(g.px(0, 32, 10)[0], 40);  // toward 7 * 8 = 56, by at most 40
    EXPECT_EQ(g.px(0, 32, 10)[2], 40);
}

TEST(ClickAreas, UnreadableFileYieldsZeroAndOffersNothing) {
    ChoiceGame g("#end();\n");
    EXPECT_EQ(callCommand(g.rt, "mouseclickevent", "(\"missing.txt\");"), 0);
    EXPECT_FALSE(g.rt.choices.ready);
    g.dir.write("areas.txt", "0,0,9,9,\"a\",\"\",1,0,-1\r\n;");
    EXPECT_EQ(callCommand(g.rt, "mouseclickevent", "(\"areas.txt\");"), 1);
    EXPECT_TRUE(g.rt.choices.ready);
    g.rt.resetForLoad();
    EXPECT_FALSE(g.rt.choices.ready);
}

TEST(ChoiceList, RecordsReadAsAuthorsWriteThem) {
    Interp in;
    in.ivar[7] = 70;
    const auto r = text::choicelist::parse(in, "\t1, 2, @7, 4, \"a b\", \"f.txt\", right, 3, 5, rgb(1, 2, 3)\r\n"
                                         "// a note\r\n5,6,7,8,\"c\",\"\",left,0,0,1,2,3,4\r\n;9,9,9,9,\"z\"");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].right, 70);
    EXPECT_EQ(r[0].label, "a b");
    EXPECT_EQ(r[0].file, "f.txt");
    EXPECT_EQ(r[0].button, 2);
    EXPECT_EQ(r[0].number, 3);
    EXPECT_EQ(r[0].base, 5);
    EXPECT_EQ(r[0].colour, (Rgb{1, 2, 3}));
    EXPECT_FALSE(r[0].picture);
    EXPECT_TRUE(r[1].picture);
    EXPECT_EQ(r[1].button, 1);
    EXPECT_EQ(r[1].colour, (Rgb{0, 0, 128}));
    EXPECT_EQ(r[1].pictureScreen, 3);
    EXPECT_EQ(r[1].step, 4);
}

TEST(ClickAreas, HugeAndUpsideDownAreasAndGarbageAreHarmless) {
    ChoiceGame g("#mouseimageclickevent();\n{\n-2147483647,-2147483647,2147483647,2147483647,\"x\",\"\",1,0,0,"
                 "-2147483647,2147483647,2,7\n50,50,10,10,\"y\",\"\",1,0,0\n\"\",,,;\n}\n#end();\n");
    g.rt.screens.table[2].allocate(8, 8);
    ASSERT_TRUE(g.toChoices());
    ASSERT_EQ(g.rt.choices.records.size(), 2u);
    g.pointAt(30, 30);
    g.rt.interp.leftClick = 1;
    g.step();  // the huge area takes the click: its label is not in the script
    EXPECT_TRUE(g.rt.choices.ready);
    std::mt19937 rng(3);
    for (int round = 0; round < 200; ++round) {
        std::string junk;
        for (int i = 0; i < 40; ++i) junk += "0123456789,-\"@()rgb;\n \x82\xA0"[rng() % 22];
        for (const ChoiceRecord& r : text::choicelist::parse(g.rt.interp, junk)) {
            EXPECT_LE(r.left, 1 << 24);
            EXPECT_GE(r.bottom, -(1 << 24));
        }
    }
}

TEST(ChoiceCommands, SelectcolorIsLoggedWithItsFourSlots) {
    ChoiceGame g("#end();\n");
    g.rt.save.log.logging = 1;
    callCommand(g.rt, "selectcolor", "(rgb(1, 2, 300));");
    callCommand(g.rt, "selectcolor", "();");
    EXPECT_EQ(g.rt.save.log.text, "@90,-200010001,1,2,255,@90,-200010001,0,0,20,");
    EXPECT_EQ(g.rt.choices.colour, (Rgb{0, 0, 20}));
}

TEST(ClickWait, ModeOneEndsOnLeftModeTwoOnRightOtherModesNever) {
    for (int mode : {1, 2, 0, 5}) {
        ChoiceGame g("#mouseclickwait(" + std::to_string(mode) + ");\n@1 = 1;\n#end();\n");
        for (int i = 0; i < 10; ++i) g.step();
        EXPECT_EQ(g.var(1), 0);
        g.rt.interp.rightClick = 1;
        g.step();
        EXPECT_EQ(g.var(1), mode == 2 ? 1 : 0) << mode;
        g.rt.interp.leftClick = 1;
        g.step();
        EXPECT_EQ(g.var(1), mode == 1 || mode == 2 ? 1 : 0) << mode;
    }
}

TEST(MouseTrap, LeftTrapStaysArmedRightTrapDisarmsItself) {
    const std::string loop = "|loop:\n@3 += 1;\n#wait(10);\n#goto(\"loop\");\n|t:\n@2 += 1;\n#return();\n";
    {
        ChoiceGame g("#trapmouse(1, 0, \"t\");\n" + loop);
        for (int round = 1; round <= 3; ++round) {
            for (int i = 0; i < 5; ++i) g.step();
            g.rt.interp.leftClick = 1;
            for (int i = 0; i < 5; ++i) g.step();
            EXPECT_EQ(g.var(2), round);
            EXPECT_EQ(g.rt.interp.calls.depth, 0);  // each time the subroutine returned
        }
        EXPECT_GT(g.var(3), 3);
        callCommand(g.rt, "trapmouseoff", "();");
        g.rt.interp.leftClick = 1;
        for (int i = 0; i < 5; ++i) g.step();
        EXPECT_EQ(g.var(2), 3);
    }
    {
        ChoiceGame g("#trapmouse(2, 0, \"t\");\n" + loop);
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < 5; ++i) g.step();
            g.rt.interp.rightClick = 1;
            for (int i = 0; i < 5; ++i) g.step();
        }
        EXPECT_EQ(g.var(2), 1);
    }
}

TEST(MouseTrap, GotoKindJumpsWithoutReturnPoint) {
    ChoiceGame g("#trapmouse(1, 1, \"t\");\n|loop:\n#wait(10);\n#goto(\"loop\");\n|t:\n@2 = 7;\n#end();\n");
    for (int i = 0; i < 5; ++i) g.step();
    g.rt.interp.leftClick = 1;
    g.runToEnd();
    EXPECT_EQ(g.var(2), 7);
    EXPECT_EQ(g.rt.interp.calls.depth, 0);
}

TEST(ChoiceJumps, WriteTheRecordsOfTheGosubOrGotoTheyStandFor) {
    auto clickAt = [](ChoiceGame& g, int x, int y) {
        g.pointAt(x, y);
        g.rt.interp.leftClick = 1;
        g.step();
    };
    {
        ChoiceGame g("#savetmp();\n" + kThreeChoices);
        ASSERT_TRUE(g.toChoices());
        g.step();
        clickAt(g, 140, 330);
        EXPECT_EQ(g.rt.save.log.text, "@82,@61,c2,script.txt,0,166,167,");
    }
    {
        ChoiceGame g("#savetmp();\n#selectex();\n{\n#printtextf(0, 1, \"c1\", \";\");\n}\n#end();\n|c1:\n#end();\n");
        ASSERT_TRUE(g.toChoices());
        g.step();
        clickAt(g, 130, 310);
        EXPECT_EQ(g.rt.save.log.text, "@82,@62,c1,script.txt,");
    }
    {
        // The number is the gosub's mode: 1 returns onto the statement; a goto's file written
        // as ";x" is the current script.
        ChoiceGame g("#savetmp();\n#mouseclickevent();\n{\n0,0,9,9,\"a\",\"script.txt\",1,1,-1\n"
                     "20,0,29,9,\"b\",\";x\",1,-7,-1;\n}\n#end();\n|a:\n#return();\n|b:\n#return();\n");
        ASSERT_TRUE(g.toChoices());
        clickAt(g, 5, 5);
        EXPECT_EQ(g.rt.save.log.text, "@82,@61,a,script.txt,1,162,163,");
        ChoiceGame h("#savetmp();\n#mouseclickeventex();\n{\n20,0,29,9,\"b\",\";x\",1,-7,-1;\n}\n#end();\n|b:\n#end();\n");
        ASSERT_TRUE(h.toChoices());
        clickAt(h, 25, 5);
        EXPECT_EQ(h.rt.save.log.text, "@82,@62,b,script.txt,");
    }
    const char* arms[] = {"#trapmouse(1, 0, \"t\");\n", "#trapmouse(2, 1, \"t\", \"script.txt\");\n"};
    const char* records[] = {"@61,t,script.txt,0,117,118,@63,@62,loop,script.txt,", "@62,t,script.txt,"};
    for (int k = 0; k < 2; ++k) {
        ChoiceGame g(std::string("#savetmp();\n") + arms[k] + "|loop:\n#wait(10);\n#goto(\"loop\");\n|t:\n#return();\n");
        for (int i = 0; i < 8; ++i) g.step();
        g.rt.save.log.text.clear();
        g.rt.interp.rightClick = 1;
        g.rt.interp.leftClick = 1;
        g.step();
        EXPECT_EQ(g.rt.save.log.text, records[k]) << k;
    }
}
