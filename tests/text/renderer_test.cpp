// The renderer on the manual clock: pacing, escapes, line-start prohibition, end of message.
#include "script/interpreter.h"
#include "script/command_table.h"
#include "text/renderer.h"
#include "text_fixture.h"

using namespace yv;

namespace {

class Renderer : public TextFixture {};

std::string unitText(const DrawnUnit& u) { return cp932ToUtf8(u.unit); }

}  // namespace

TEST_F(Renderer, OneCharacterPerCallAtAWait) {
    table(2, 1, 30);
    show(1, "あいう\\e");
    const uint32_t t0 = p.manualClock().nowMs();
    EXPECT_FALSE(advance());
    EXPECT_EQ(trace.size(), 1u);
    EXPECT_EQ(p.manualClock().nowMs() - t0, 30u);  // the character's wait is slept
    EXPECT_FALSE(advance());
    EXPECT_FALSE(advance());
    EXPECT_EQ(trace.size(), 3u);
    EXPECT_TRUE(advance());  // \e ends the message
    EXPECT_FALSE(rt->text.printing);
}

TEST_F(Renderer, InstantOrSkippingDrawsTheWholeMessageInOneCall) {
    table(2, 1, -1);
    show(1, "あいう\\e");
    EXPECT_TRUE(advance());
    EXPECT_EQ(trace.size(), 3u);

    trace.clear();
    rt->text.items[1].wait = 30;
    rt->app.skip = 1;
    show(1, "かきく\\e");
    EXPECT_TRUE(advance());
    EXPECT_EQ(trace.size(), 3u);
}

TEST_F(Renderer, CharactersStandOneCellApartAfterTheAdvancedPen) {
    table(2, 1, -1);
    show(1, "あい\\nう\\e");
    finish();
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_EQ(trace[0].x, h());  // the pen moves before drawing
    EXPECT_EQ(trace[1].x, 2 * h());
    EXPECT_EQ(trace[2].x, h());
    EXPECT_EQ(trace[2].y, 100 + h());
}

TEST_F(Renderer, HangsPunctuationAtTheLineEnd) {
    table(2, 1, -1, 10);
    show(1, "あいうえおかきくけこ。さ\\e");
    finish();
    ASSERT_EQ(trace.size(), 12u);
    EXPECT_EQ(unitText(trace[10]), "。");
    EXPECT_EQ(trace[10].y, 100);
    EXPECT_EQ(trace[10].x, 11 * h());
    EXPECT_EQ(trace[11].y, 100 + h());
    EXPECT_TRUE(trace[11].lineStart);

    trace.clear();
    show(1, "あいうえおかきくけこさ\\e");
    finish();
    ASSERT_EQ(trace.size(), 11u);
    EXPECT_EQ(trace[10].y, 100 + h());
    EXPECT_EQ(trace[10].x, h());
}

TEST_F(Renderer, HangsExclamationAndQuestionMarks) {
    table(2, 1, -1, 10);
    show(1, "あいうえおかきくけこ！？さ\\e");
    finish();
    ASSERT_EQ(trace.size(), 13u);
    EXPECT_EQ(trace[10].y, 100);
    EXPECT_EQ(trace[11].y, 100);
    EXPECT_EQ(trace[11].x, 12 * h());
    EXPECT_EQ(trace[12].y, 100 + h());
}

TEST_F(Renderer, ClosingQuoteHangsOpeningQuoteWraps) {
    table(2, 1, -1, 10);
    show(1, "”あいうえおかきくけ”さ\\e");  // the second ” closes
    finish();
    ASSERT_EQ(trace.size(), 12u);
    EXPECT_EQ(unitText(trace[10]), "”");
    EXPECT_EQ(trace[10].y, 100);
    EXPECT_EQ(trace[11].y, 100 + h());

    trace.clear();
    show(1, "あいうえおかきくけこ”さ”\\e");  // an opening ” at the line end
    finish();
    ASSERT_EQ(trace.size(), 13u);
    EXPECT_EQ(trace[10].y, 100 + h());
    EXPECT_TRUE(trace[10].lineStart);
}

TEST_F(Renderer, PageWaitAbsorbsTheFollowingLineBreak) {
    table(2, 1, -1);
    show(1, "あ\\p\r\nい\\e");
    EXPECT_FALSE(advance());  // waiting for the click
    EXPECT_FALSE(advance());
    EXPECT_EQ(trace.size(), 1u);
    rt->interp.leftClick = 1;
    EXPECT_TRUE(advance());
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[1].y, 100);  // no empty line, not even a new one
    EXPECT_EQ(trace[1].x, h());
    EXPECT_EQ(cp932ToUtf8(rt->text.history.texts[1]), "あい");

    trace.clear();
    show(1, "あ\r\nい\\e");
    finish();
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[1].y, 100 + h());
    EXPECT_EQ(cp932ToUtf8(rt->text.history.texts[3]), "あ\nい");
}

TEST_F(Renderer, ColourEscapeAndRestore) {
    table(2, 1, -1);
    show(0, "あ\\c(255,0,0)い\\c()う\\u");  // item 0 keeps its overlay
    finish();
    ASSERT_EQ(trace.size(), 3u);
    const Screen& img = rt->screens.overlayImage;
    auto brightest = [&](const DrawnUnit& u) {
        int best = -1;
        Rgb c;
        for (int y = u.y; y < u.y + h(); ++y)
            for (int x = u.x; x < u.x + h(); ++x) {
                const uint8_t* q = pixel(img, x, y);
                if (q[0] + q[1] + q[2] > best) best = q[0] + q[1] + q[2], c = Rgb{q[2], q[1], q[0]};
            }
        return c;
    };
    EXPECT_EQ(brightest(trace[0]), (Rgb{255, 255, 255}));
    EXPECT_EQ(brightest(trace[1]), (Rgb{255, 0, 0}));
    EXPECT_EQ(brightest(trace[2]), (Rgb{255, 255, 255}));
}

TEST_F(Renderer, TimedPauseWithAndWithoutATime) {
    table(2, 1, 30);
    show(1, "あ\\w(500)い\\e");
    EXPECT_FALSE(advance());
    EXPECT_FALSE(advance());  // the pause starts
    p.manualClock().advance(499);
    EXPECT_FALSE(advance());
    EXPECT_EQ(trace.size(), 1u);
    p.manualClock().advance(1);
    EXPECT_FALSE(advance());
    EXPECT_EQ(trace.size(), 2u);
    EXPECT_TRUE(advance());

    trace.clear();
    cmd("settextwait", "(200);");
    show(1, "あ\\wい\\e");
    advance();
    advance();
    p.manualClock().advance(199);
    advance();
    EXPECT_EQ(trace.size(), 1u);
    p.manualClock().advance(1);
    advance();
    EXPECT_EQ(trace.size(), 2u);
    finish();

    trace.clear();
    rt->text.items[1].wait = -1;  // an instant item does not pause
    show(1, "あ\\w(500)い\\e");
    EXPECT_TRUE(advance());
    EXPECT_EQ(trace.size(), 2u);
}

TEST_F(Renderer, ClickWaitsEndWithALeftClick) {
    for (const char* code : {"\\m", "\\p"}) {
        trace.clear();
        table(2, 1, 30);
        show(1, std::string("あ") + code + "い\\e");
        for (int i = 0; i < 20; ++i) EXPECT_FALSE(advance());
        EXPECT_EQ(trace.size(), 1u) << code;
        rt->interp.rightClick = 1;  // the wrong button
        EXPECT_FALSE(advance());
        EXPECT_EQ(trace.size(), 1u) << code;
        rt->interp.leftClick = 1;
        EXPECT_FALSE(advance());
        EXPECT_EQ(trace.size(), 2u) << code;
        EXPECT_TRUE(advance());
    }
}

TEST_F(Renderer, EndOfMessageRestoresTheTextRectangleFromTheBackScreen) {
    fillScreen(rt->screens.table[1], 255, 0, 0);  // blue back screen
    fillScreen(rt->screens.table[0], 0, 0, 255);  // red on show
    table(2, 1, -1);
    show(1, "あいう\\p\\e");
    EXPECT_FALSE(advance());
    // The page wait composed the text over the red screen.
    bool inked = false;
    for (int x = h(); x < 4 * h(); ++x)
        if (pixel(rt->screens.table[0], x, 100 + h() / 2)[1] != 0) inked = true;
    EXPECT_TRUE(inked);
    rt->interp.leftClick = 1;
    EXPECT_TRUE(advance());
    const Screen& s0 = rt->screens.table[0];
    EXPECT_EQ(pixel(s0, 5, 105)[0], 255);           // inside the rectangle: blue
    EXPECT_EQ(pixel(s0, 3 * h() + 5, 110)[0], 255);
    EXPECT_EQ(pixel(s0, 4 * h() + 40, 110)[2], 255);  // right of it and the icon: still red
    EXPECT_EQ(pixel(s0, 5, 95)[2], 255);              // above it: still red
    EXPECT_EQ(rt->text.items[1].rect.left, 0);
    EXPECT_EQ(rt->text.items[1].rect.top, 100);
    EXPECT_GE(rt->text.items[1].rect.bottom, 100 + h());
}

TEST_F(Renderer, AutomaticContinuationPrintsTheNameThenTheMessage) {
    table(2, 1, -1);
    cmd("settextprintf", "(1);");
    rt->text.items[0].rows[0] = sjis("太郎\\u");
    rt->text.items[1].rows[0] = sjis("こんにちは\\e");
    cmd("printtextf", "(0, 1);");
    EXPECT_TRUE(advance());
    ASSERT_EQ(trace.size(), 7u);
    EXPECT_EQ(trace[0].y, 0);
    EXPECT_EQ(trace[2].y, 100);
    EXPECT_EQ(rt->text.display.colour, (Rgb{0, 0, 0}));  // the continuation colour
    EXPECT_EQ(rt->text.display.continuations, 0);
    EXPECT_EQ(cp932ToUtf8(rt->text.history.labels[0]), "太郎");
    EXPECT_EQ(cp932ToUtf8(rt->text.history.texts[1]), "こんにちは");
}

TEST_F(Renderer, ChoiceLinesAreLaidOutOneLineApart) {
    table(1, 3, 30);
    rt->text.items[0].x = 100;
    rt->text.items[0].y = 300;
    rt->text.selectMode = true;
    for (const char* s : {"はい\\e", "いいえ\\e", "わからない\\e"}) {
        show(0, s);
        EXPECT_TRUE(advance());  // instant while choices are laid out
    }
    ASSERT_EQ(rt->text.choiceLines.size(), 3u);
    const TextRect& r = rt->text.choiceLines[1].rect;
    EXPECT_EQ(r.top, 324);
    EXPECT_EQ(r.left, 124);
    EXPECT_EQ(r.right, 100 + 3 * 24 + 24);
    EXPECT_EQ(r.bottom, 347);
    EXPECT_EQ(trace[2].y, 324);
}

TEST_F(Renderer, InlineSubroutineRunsAndTheMessageGoesOn) {
    dir.write("msg.txt", sjis("\"名前\",\"あ\\#gosub(\"sub\")い\\#foo(1)う\\p\\e\";\r\n"));
    rt->interp.setText(sjis("#createtextf(2, 1);\n#settextspeedf(1, -1);\n#loadtextf(\"msg.txt\");\n"
                            "#printtextf(1, 1);\n@1 = 5;\n#end();\n|sub:\n@2 = @3 + 7;\n#return();\n"));
    rt->interp.scriptName = "script.txt";
    dir.write("script.txt", rt->interp.text());
    rt->interp.running = 1;
    rt->interp.stepsEnabled = 1;
    for (int i = 0; i < 200 && !rt->interp.halt; ++i) {
        if (trace.size() == 1) {
            EXPECT_EQ(rt->interp.ivar[2], 0);
        }
        rt->interp.leftClick = 1;
        script::step(*rt);
        p.manualClock().advance(30);
    }
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_EQ(unitText(trace[1]), "い");  // the unknown inline command was passed over
    EXPECT_EQ(rt->interp.ivar[2], 7);
    EXPECT_EQ(rt->interp.ivar[1], 5);
}

TEST_F(Renderer, MalformedTextNeverReadsOrDrawsOutOfBounds) {
    rt->text.layoutTrace = nullptr;
    table(2, 1, 0, 5);
    std::vector<std::string> texts = {"\x81", "a\\", "\\c(255,", "\\c(1,2)x", "\\w(", "\\#gosub(\"nowhere\"",
                                      "\\#gosub", "\\#loadimage(1, \"x.bmp\")", "\\z\\z\\m", "\r\r\n\n\\n\\"};
    uint32_t seed = 12345;
    for (int i = 0; i < 120; ++i) {
        std::string s;
        for (int k = 0; k < 48; ++k) {
            seed = seed * 1103515245u + 12345u;
            const char pool[] = "\\cwpmzeu#n()\",0129\x81\x82\x88\x9F\xE0\xFC\x40\x7E\xA0\xDF\r\n ab";
            s += pool[(seed >> 16) % (sizeof(pool) - 1)];
        }
        texts.push_back(s);
    }
    for (int type = -1; type <= 5; ++type) {
        rt->text.textType = type;
        for (const std::string& t : texts) {
            rt->text.items[1].rows[0] = t + "\\e";
            cmd("printtextf", "(1, 1);");
            for (int k = 0; k < 300 && rt->text.printing; ++k) {
                rt->interp.leftClick = 1;
                advance();
                p.manualClock().advance(1000);
            }
            rt->text.printing = false;
            text::render(*rt, -1, {}, 0, 0, 0, Rgb{});
        }
    }
    SUCCEED();
}

namespace {
// A system picture whose icon pictures are red (rows 0-15) and green (rows 16-31), masked black.
void iconPicture(Screen& sys) {
    sys.allocate(128, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 64; x < 96; ++x) {
            uint8_t* q = sys.row(y) + static_cast<size_t>(x) * 3;
            q[y < 16 ? 2 : 1] = 255;
        }
}
}  // namespace

TEST_F(Renderer, ClickWaitIconBlinksEverySixteenFramesAndLeavesOnTheClick) {
    iconPicture(rt->screens.systemPicture);
    table(2, 1, -1);
    show(1, "あ\\m\\e");
    const Screen& s0 = rt->screens.table[0];
    const int ix = 2 * h() + 5, iy = 100 + 5;  // the icon stands right after the last character
    EXPECT_FALSE(advance());  // two frames: the \m itself and the wait
    for (int i = 2; i <= 14; ++i) advance();
    EXPECT_EQ(pixel(s0, ix, iy)[2], 255);
    advance();  // the sixteenth frame turns it off
    EXPECT_EQ(pixel(s0, ix, iy)[2], 0);
    for (int i = 0; i < 16; ++i) advance();
    EXPECT_EQ(pixel(s0, ix, iy)[2], 255);
    rt->interp.leftClick = 1;
    EXPECT_TRUE(advance());
    EXPECT_EQ(pixel(s0, ix, iy)[2], 0);
}

// A page at rest presents only what changes: the blinking icon twice in 32 frames, and again
// after anything else was presented over it.
TEST_F(Renderer, ClickWaitIconPresentsOnlyWhenItChanges) {
    iconPicture(rt->screens.systemPicture);
    table(2, 1, -1);
    show(1, "あ\\p\\e");
    advance();
    const int before = p.presentCount();
    for (int i = 0; i < 32; ++i) advance();
    EXPECT_EQ(p.presentCount() - before, 2);
    graphics::presentScreen(*rt);
    advance();
    EXPECT_EQ(p.presentCount() - before, 4);
    // A framed icon of one frame shows the same picture every call.
    cmd("setrectwaiticon", "(5, 64, 0, 32, 16, 1, 50);");
    for (int i = 0; i < 10; ++i) advance();
    EXPECT_EQ(p.presentCount() - before, 5);
}

TEST_F(Renderer, FramedClickWaitIconStepsThroughItsFrames) {
    iconPicture(rt->screens.systemPicture);
    table(2, 1, -1);
    cmd("setrectwaiticon", "(5, 64, 0, 32, 16, 2, 50);");
    cmd("settextwaitpos", "(1, 300, 200);");
    show(1, "あ\\p\\e");
    const Screen& s0 = rt->screens.table[0];
    const uint32_t t0 = p.manualClock().nowMs();
    advance();
    EXPECT_EQ(pixel(s0, 310, 205)[2], 255);  // frame 0: red
    advance();
    EXPECT_EQ(pixel(s0, 310, 205)[1], 255);  // frame 1: green
    EXPECT_EQ(pixel(s0, 310, 205)[2], 0);
    advance();
    EXPECT_EQ(pixel(s0, 310, 205)[2], 255);
    EXPECT_EQ(p.manualClock().nowMs() - t0, 150u);  // each frame waits its delay
}

TEST_F(Renderer, SetfontChangesTheCell) {
    table(2, 1, -1);
    cmd("setfont", sjis("(\"ＭＳ 明朝\", 32, 400);"));
    show(1, "あい\\nう\\e");
    finish();
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_EQ(trace[1].x, 64);
    EXPECT_EQ(trace[2].y, 132);
}

TEST_F(Renderer, SkipSetToStopAtAWaitEndsAtTheClickWait) {
    table(2, 1, 30);
    rt->app.skip = 1;
    rt->app.stopAtWait = 1;
    show(1, "あい\\mうえ\\e");
    EXPECT_FALSE(advance());
    EXPECT_EQ(trace.size(), 2u);  // drawn at once up to the wait
    EXPECT_EQ(rt->app.skip, 0);
    rt->interp.leftClick = 1;
    EXPECT_FALSE(advance());  // one character a call again
    EXPECT_EQ(trace.size(), 3u);
}

TEST_F(Renderer, TrapFlagLetsTheSpaceKeyHoldTheMessageOnce) {
    table(2, 1, 30);
    cmd("trapbuffer", "();");
    show(1, "あいう\\e");
    advance();
    rt->interp.rightClick = 1;
    EXPECT_FALSE(advance());
    EXPECT_FALSE(advance());
    EXPECT_EQ(trace.size(), 1u);
    rt->interp.leftClick = 1;
    advance();
    EXPECT_EQ(trace.size(), 2u);
}

TEST_F(Renderer, TheLastItemLeavesTheWholeOverlayClear) {
    table(2, 1, -1);
    cmd("settexttype", "(4, rgb(9, 9, 9));");
    show(0, "あいうえお\\nかきくけこ\\u");
    finish();
    show(1, "さしすせそ\\e");
    finish();
    const auto& img = rt->screens.overlayImage.pixels;
    const auto& mask = rt->screens.overlayMask.pixels;
    EXPECT_TRUE(std::all_of(img.begin(), img.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(mask.begin(), mask.end(), [](uint8_t b) { return b == 255; }));
}
