// Text commands as scripts use them: the table file, settings, records, printtext.
#include "text/text_table.h"
#include "text_fixture.h"

using namespace yv;

namespace {
class TextCommands : public TextFixture {
protected:
    std::string row(int item, int r) { return cp932ToUtf8(rt->text.items[static_cast<size_t>(item)].rows[static_cast<size_t>(r)]); }
};
}  // namespace

TEST_F(TextCommands, TextTableFileFillsTheItemsRows) {
    dir.write("table.txt", sjis("名前,メッセージ;\r\n\"花子\",\"null\";\r\n\"\",\"a,b\\p\";\r\n\\z,x;"));
    cmd("createtextf", "(2, 5);");
    EXPECT_EQ(cmd("loadtextf", "(\"table.txt\");"), 1);
    EXPECT_EQ(row(0, 0), "名前\\e");
    EXPECT_EQ(row(1, 0), "メッセージ\\e");
    EXPECT_EQ(row(0, 1), "花子\\e");
    EXPECT_EQ(row(1, 1), "\\e");  // "null" is an empty message
    EXPECT_EQ(row(0, 2), "\\e");
    EXPECT_EQ(row(1, 2), "a,b\\p\\e");
    EXPECT_EQ(row(0, 3), "\\e");  // a field holding \z is emptied
    EXPECT_EQ(row(1, 3), "x\\e");
    EXPECT_EQ(row(0, 4), "\\e");  // rows the file does not reach stay empty

    // An empty message starts nothing.
    cmd("printtextf", "(1, 2);");
    EXPECT_FALSE(rt->text.printing);
    cmd("printtextf", "(1, 1);");
    EXPECT_TRUE(rt->text.printing);
}

TEST_F(TextCommands, TextTableSizesAreLoweredNotRaised) {
    dir.write("t.txt", "a,b,c;\r\nd,e,f;");
    cmd("createtextf", "(3, 4);");
    cmd("loadtextf", "(\"t.txt\", 2, 9);");
    ASSERT_EQ(rt->text.items.size(), 2u);
    EXPECT_EQ(rt->text.rowCount, 4);
    EXPECT_EQ(row(1, 1), "e\\e");
}

TEST_F(TextCommands, MissingTableFileIsReportedAndChangesNothing) {
    cmd("createtextf", "(1, 1);");
    EXPECT_EQ(cmd("loadtextf", "(\"none.txt\");"), 0);
    const auto log = p.dialogLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("nothing file name is none.txt one!"), std::string::npos);
    EXPECT_EQ(row(0, 0), "\\e");
}

TEST_F(TextCommands, SplitterKeepsQuotedInlineArguments) {
    const auto f = text::texttable::splitRecord(sjis("\"名\" , \"あ\\#gosub(\"x\")い\""));
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[1], sjis("あ\\#gosub(\"x\")い"));
}

TEST_F(TextCommands, WaitIconSettings) {
    const WaitIcon& ic = rt->text.icon;
    cmd("setrectwaiticon", "(3, 0, 0, 16, 16, 4, 100);");
    EXPECT_EQ(ic.delay, 100);
    EXPECT_EQ(ic.frames, 4);
    cmd("setrectwaiticon", "(3, 0, 0, 16, 16, 4, 300);");
    EXPECT_EQ(ic.delay, 255);
    cmd("setrectwaiticon", "(3);");
    EXPECT_EQ(ic.sx, 64);
    EXPECT_EQ(ic.delay, 255);
    cmd("setrectwaiticon", "(0);");
    EXPECT_EQ(ic.sx, 64);
    EXPECT_EQ(ic.sy, 0);
    EXPECT_EQ(ic.w, 32);
    EXPECT_EQ(ic.h, 32);
    EXPECT_EQ(ic.frames, 0);
    EXPECT_EQ(ic.delay, 100);
}

TEST_F(TextCommands, RecordsWhileLogging) {
    rt->save.log.logging = 1;
    cmd("createtextf", "(2, 3);");
    cmd("locatef", "(1, 20, 340);");
    cmd("settextspeedf", "(1);");
    cmd("setmessagelength", "(1, 26);");
    cmd("setdefaultcolor", "(1, rgb(255, 128, 0));");
    cmd("settexttype", "(4, rgb(0, 0, 0));");
    cmd("setfont", sjis("(\"ＭＳ 明朝\", 20, 400);"));
    cmd("setrectwaiticon", "(0);");
    cmd("settextwaitpos", "(1, 600, 440);");
    cmd("settextprintf", "(1, rgb(10, 20, 30));");
    cmd("settextwait", "(700);");
    cmd("settextspeed", "(50);");
    cmd("releasetextf", "();");
    EXPECT_EQ(cp932ToUtf8(rt->save.log.text),
              "@70,2,3,@73,1,20,340,@80,1,-1,@85,1,26,@81,1,-200010001,255,128,0,"
              "@89,4,-200010001,0,0,0,@78,ＭＳ 明朝,20,400,0,0,0,@92,0,64,0,32,32,0,100,"
              "@86,1,600,440,@87,1,-200010001,10,20,30,@94,700,@79,50,@77,");
    EXPECT_EQ(cp932ToUtf8(rt->interp.strResult), "ＭＳ 明朝");  // setfont sets the string result
}

TEST_F(TextCommands, TextTypeTakesAColourInPlaceOfTheType) {
    cmd("settexttype", "(rgb(1, 2, 3));");
    EXPECT_EQ(rt->text.textType, -1);
    EXPECT_EQ(rt->text.decoration, (Rgb{1, 2, 3}));
    cmd("settexttype", "();");
    EXPECT_EQ(rt->text.textType, -1);
    EXPECT_EQ(rt->text.decoration, (Rgb{1, 2, 3}));
}

TEST_F(TextCommands, PrinttextShowsAStringVariableWithOrWithoutATable) {
    rt->interp.svar[2] = sjis("変数の文");  // @C
    cmd("printtext", "(2, rgb(0, 255, 0));");
    ASSERT_TRUE(rt->text.printing);
    EXPECT_EQ(rt->text.display.colour, (Rgb{0, 255, 0}));
    finish();
    EXPECT_EQ(trace.size(), 4u);

    trace.clear();
    table(2, 1, -1);
    rt->text.items[0].rows[0] = sjis("表の文\\e");
    cmd("printtext", "(2);");
    finish();
    EXPECT_EQ(trace.size(), 4u);  // still the variable, not the row
    EXPECT_EQ(rt->text.display.colour, (Rgb{255, 255, 255}));

    cmd("printtext", "(5);");  // empty: nothing starts
    EXPECT_FALSE(rt->text.printing);
}

TEST_F(TextCommands, PainttextbufferLaysTheOverlayOverTheBackScreen) {
    fillScreen(rt->screens.table[1], 0, 0, 200);
    table(2, 1, -1);
    show(0, "■\\u");  // item 0 keeps the overlay
    finish();
    cmd("painttextbuffer", "();");
    const Screen& s0 = rt->screens.table[0];
    EXPECT_EQ(pixel(s0, 300, 300)[2], 200);  // the back screen
    EXPECT_EQ(pixel(s0, h() + h() / 2, h() / 2)[1], 255);  // the white square
}
