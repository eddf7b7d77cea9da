// A rich state saved, everything changed, loaded back: variables, image screens, text settings,
// a call stack two deep in another script file and an open choice block come back, the picture
// shown is the same, and the game goes on at the saved statement.
#include <gtest/gtest.h>

#include "../graphics/gfx_util.h"
#include "save/replay.h"
#include "save/slots.h"
#include "save_fixture.h"

using namespace yv;
using namespace yv::test;

namespace {

const char* kMain =
    "#createimage(2, 2, 64, 48);\n"
    "#loadimage(3, \"pic.bmp\");\n"
    "#createimage(6, 7, 16, 8);\n"
    "#bitblt(1, 0, 0, 64, 48, 3, 0, 0, 0);\n"
    "#bitblt(0, 0, 0, 64, 48, 1, 0, 0, 0);\n"
    "#createtextf(2, 2);\n"
    "#loadtextf(\"t.txt\", 2, 2);\n"
    "#locatef(0, 2, 4);\n"
    "#locatef(1, 5, 30);\n"
    "#settextspeedf(0, -1);\n"
    "#settextspeedf(1, 4);\n"
    "#setdefaultcolor(0, rgb(250, 240, 10));\n"
    "#setmessagelength(0, 10);\n"
    "#settextspeed(7);\n"
    "#settextwait(500);\n"
    "#setfont(\"ＭＳ ゴシック\", 12, 400, 0, 1, 0);\n"
    "#settexttype(1, rgb(9, 8, 7));\n"
    "#settextprintf(0, rgb(4, 5, 6));\n"
    "#setrectwaiticon(3, 0, 0, 8, 8, 2, 50);\n"
    "#settextwaitpos(1, 30, 40);\n"
    "#selectcolor(rgb(11, 12, 13));\n"
    "#trapbuffer();\n"
    "@901 = 77;\n@1500 = 3;\n@5 = -3;\n@A = \"a,b\";\n@z = \"ｚｚ\";\n"
    "#gosub(\"sub1\", \"other.txt\");\n"
    "@950 = @20;\n"
    "#end();\n";

const char* kOther =
    "|sub1:\n#gosub(\"sub2\", \"other.txt\");\n#return();\n"
    "|sub2:\n@10 = 1;\n"
    "#select();\n{\n#printtextf(0, 1, \"la\", \"other.txt\");\n#printtextf(0, 2, \"lb\", \"other.txt\");\n}\n"
    "@11 = 1;\n#return();\n"
    "|la:\n@20 = 1;\n#return();\n|lb:\n@20 = 2;\n#return();\n";

void writeFiles(SaveGame& g) {
    std::vector<Bgr> px;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            px.push_back({static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 5), static_cast<uint8_t>(x ^ y)});
    g.dir.write("pic.bmp", bmp24(64, 48, px));
    g.dir.write("t.txt", sjis("\"はい\",\"x\";\r\n\"いいえ\",\"y\";\r\n"));
    g.dir.write("other.txt", sjis(kOther));
}

bool toChoices(SaveGame& g) {
    for (int i = 0; i < 500 && !g.rt.choices.ready && g.rt.interp.running; ++i) g.step();
    return g.rt.choices.ready;
}

std::vector<uint8_t> shown(SaveGame& g) {
    int w = 0, h = 0;
    return g.platform.shownFrame(w, h);
}

// Changes everything a save holds.
void messUp(SaveGame& g) {
    Runtime& rt = g.rt;
    for (const char* c : {"releaseimage( 3 );", "releaseimage( 6 );"}) {
        const std::string s = c;
        save::runCommandText(rt, s.substr(0, s.find('(')), s.substr(s.find('(')));
    }
    save::runCommandText(rt, "createimage", "( 4, 4, 8, 8 );");
    save::runCommandText(rt, "fillclr", "( 2, rgb(1, 1, 1) );");
    save::runCommandText(rt, "createtextf", "( 1, 1 );");
    save::runCommandText(rt, "setfont", "( \"x\", 30, 700, 1, 0, 1 );");
    save::runCommandText(rt, "settextwait", "( 9 );");
    save::runCommandText(rt, "settexttype", "( 3 );");
    save::runCommandText(rt, "selectcolor", "( rgb(200, 0, 0) );");
    rt.text.trapBuffer = false;
    for (int i = 0; i <= 900; ++i) rt.interp.ivar[static_cast<size_t>(i)] = 1234;
    rt.interp.ivar[901] = 5;
    rt.interp.ivar[1500] = 0;
    for (Bytes& s : rt.interp.svar) s = "zz";
    save::runCommandText(rt, "goto", "( \"la\", \"other.txt\" );");
    rt.screens.table[1].pixels.assign(rt.screens.table[1].pixels.size(), 9);
}

}  // namespace

TEST(RoundTrip, ARichStateComesBackAndTheGameGoesOn) {
    SaveGame g(kMain);
    writeFiles(g);
    ASSERT_TRUE(toChoices(g));
    ASSERT_EQ(g.rt.interp.calls.depth, 2);
    g.rt.interp.ivar[1600] = 0;
    const StateSnapshot before = StateSnapshot::of(g.rt);
    const std::vector<uint8_t> picture = shown(g);
    const std::vector<uint8_t> withoutHighlight(g.rt.screens.saveUnder.pixels.begin(), g.rt.screens.saveUnder.pixels.end());
    ASSERT_TRUE(save::saveGame(g.rt, g.dir.path() / "flag5.sav", "flag5.sav"));

    messUp(g);
    g.rt.interp.ivar[1600] = 9;  // 0 at the save: keeps its value
    ASSERT_TRUE(save::loadGame(g.rt, g.dir.path() / "flag5.sav", "flag5.sav"));
    // Right after the load the window shows the saved picture (the choice texts without the
    // highlight of the pointer).
    EXPECT_EQ(shown(g), withoutHighlight);
    EXPECT_EQ(g.rt.screens.table[1].pixels, withoutHighlight);
    EXPECT_EQ(g.var(1600), 9);
    g.rt.interp.ivar[1600] = 0;

    // The choice statement runs again and offers the same choices.
    g.rt.save.justLoaded = 0;
    ASSERT_TRUE(toChoices(g));
    StateSnapshot after = StateSnapshot::of(g.rt);
    EXPECT_EQ(after.ivar, before.ivar);
    EXPECT_EQ(after.svar, before.svar);
    for (size_t i = 0; i < before.screens.size(); ++i) EXPECT_EQ(after.screens[i], before.screens[i]) << "screen " << i + 2;
    EXPECT_EQ(after.text, before.text);
    EXPECT_EQ(after.depth, 2);
    EXPECT_EQ(after.calls, before.calls);
    EXPECT_EQ(after.scriptName, before.scriptName);
    EXPECT_EQ(after.scriptText, before.scriptText);
    EXPECT_EQ(after.pos, before.pos);
    EXPECT_EQ(shown(g), picture);

    // The second choice, then both returns and the rest of the main script.
    const auto& r = g.rt.choices.records;
    ASSERT_EQ(r.size(), 2u);
    g.rt.app.mouseX = (r[1].left + r[1].right) / 2;
    g.rt.app.mouseY = (r[1].top + r[1].bottom) / 2;
    g.step();
    g.rt.interp.leftClick = 1;
    for (int i = 0; i < 200 && !g.rt.interp.halt; ++i) g.step();
    EXPECT_EQ(g.var(20), 2);
    EXPECT_EQ(g.var(950), 2);
    EXPECT_EQ(g.var(11), 1);
}

TEST(RoundTrip, TheSaveAndLoadCommands) {
    // `save` in a script, `load` later: the statement after the save runs again after the load;
    // 901 and up keep what they became since.
    SaveGame g("@7 = 3;\n@A = \"p,q\";\n#save(\"s.sav\");\n@903 = @903 + 1;\n"
               "#if(@903 == 1)\n{\n@7 = 9;\n@A = \"x\";\n#load(\"s.sav\");\n}\n@902 = @7;\n@990 = 1;\n");
    ASSERT_TRUE(g.runUntil(990, 1));
    EXPECT_EQ(g.var(903), 2);
    EXPECT_EQ(g.var(902), 3);
    EXPECT_EQ(g.rt.interp.svar[0], "p,q");
    EXPECT_EQ(g.dialogs(), std::vector<std::string>{"Test: Loadに成功しました。\\n"});

    SaveGame h("@1 = #load(\"none.sav\");\n@990 = 1;\n");
    ASSERT_TRUE(h.runUntil(990, 1));
    EXPECT_EQ(h.var(1), 0);
    EXPECT_EQ(h.dialogs(), std::vector<std::string>{"読み込みエラー: ファイルが見つかりませんでした"});
}


TEST(RoundTrip, AScriptEnteredWithoutAFileNameComesBack) {
    // A subroutine called without a file keeps the loaded text under the name ";": the save
    // still names the file that text came from, so loading shows the same script again.
    SaveGame g("#gosub(\"sub\", \"other.txt\");\n");
    g.dir.write("other.txt", sjis("|sub:\n#gosub(\"deeper\");\n|deeper:\n@1 = 1;\n#wait(1000);\n@2 = 1;\n"));
    ASSERT_TRUE(g.runUntil(1, 1));
    g.step();
    ASSERT_EQ(g.rt.interp.scriptName, ";");
    ASSERT_TRUE(save::saveGame(g.rt, g.dir.path() / "x.sav", "x.sav"));
    save::runCommandText(g.rt, "goto", "( \"nowhere\", \"script.txt\" );");
    g.rt.interp.setText("");
    ASSERT_TRUE(save::loadGame(g.rt, g.dir.path() / "x.sav", "x.sav"));
    EXPECT_EQ(g.rt.interp.text(), sjis("|sub:\n#gosub(\"deeper\");\n|deeper:\n@1 = 1;\n#wait(1000);\n@2 = 1;\n"));
    EXPECT_EQ(g.rt.interp.scriptName, ";");
    g.rt.save.justLoaded = 0;
    EXPECT_TRUE(g.runUntil(2, 1));
}
