// Whether a page stays on the screen once its messages end: instant, skipped and typed text.
#include "script/command_table.h"
#include "text_fixture.h"

using namespace yv;

namespace {

class PageEnd : public TextFixture {
protected:
    void SetUp() override {
        TextFixture::SetUp();
        fillScreen(rt->screens.table[0], 90, 60, 30);
        fillScreen(rt->screens.table[1], 90, 60, 30);
    }

    // Pixels of screen 0 in the line at y (item y) that are no longer the background.
    int ink(int y) const {
        const Screen& s = rt->screens.table[0];
        int n = 0;
        for (int yy = y; yy < y + h(); ++yy)
            for (int x = 0; x < 8 * h(); ++x)
                if (pixel(s, x, yy)[0] != 90 || pixel(s, x, yy)[1] != 60 || pixel(s, x, yy)[2] != 30) ++n;
        return n;
    }

    // Name in item 0, message in item 1 (the name keeps the page with \u), shown as one page.
    void page(const std::string& name, const std::string& message) {
        cmd("settextprintf", "(1, rgb(255, 255, 255));");
        rt->text.items[0].rows[0] = sjis(name);
        rt->text.items[1].rows[0] = sjis(message);
        cmd("printtextf", "(0, 1);");
    }
};

}  // namespace

TEST_F(PageEnd, InstantOneItemPageStays) {
    table(1, 1, -1);
    show(0, "あいう\\e");
    EXPECT_TRUE(advance());
    EXPECT_GT(ink(0), 50);
}

TEST_F(PageEnd, SkippedOneItemPageStays) {
    table(1, 1, 30);
    rt->app.skip = 1;
    show(0, "あいう\\e");
    EXPECT_TRUE(advance());
    EXPECT_EQ(trace.size(), 3u);
    EXPECT_GT(ink(0), 50);
}

TEST_F(PageEnd, InstantPageStaysAfterItsClickWait) {
    table(1, 1, -1);
    show(0, "あいう\\m\\e");
    EXPECT_FALSE(advance());
    EXPECT_GT(ink(0), 50);  // the click wait shows the page
    rt->interp.leftClick = 1;
    EXPECT_TRUE(advance());
    EXPECT_GT(ink(0), 50);  // and it is laid over the screen again once complete
}

TEST_F(PageEnd, InstantOrSkippedTwoItemPageStaysOnceEveryItemEnded) {
    for (const bool skipping : {false, true}) {
        table(2, 1, skipping ? 30 : -1);
        rt->app.skip = skipping ? 1 : 0;
        fillScreen(rt->screens.table[0], 90, 60, 30);
        page("太郎\\u", "こんにちは\\e");
        EXPECT_TRUE(advance()) << skipping;
        EXPECT_GT(ink(0), 30) << skipping;
        EXPECT_GT(ink(100), 50) << skipping;
    }
}

TEST_F(PageEnd, InstantPageWithAnItemLeftIsNotComposed) {
    // Shown alone, the second item ends the first message of a two-item page: the page is not
    // complete, so nothing is laid over the screen.
    table(2, 1, -1);
    show(1, "あいう\\e");
    EXPECT_TRUE(advance());
    EXPECT_EQ(ink(100), 0);
}

TEST_F(PageEnd, TypedTextIsComposedWhenTheNextItemTypesAfterIt) {
    table(2, 1, 30);
    show(0, "太郎\\e");
    EXPECT_EQ(finish(), 3);
    EXPECT_GT(ink(0), 30);  // restored from the back screen, then composed again

    // The next item draws instantly: the typed name is only restored away.
    fillScreen(rt->screens.table[0], 90, 60, 30);
    rt->text.items[1].wait = -1;
    show(0, "太郎\\e");
    finish();
    EXPECT_EQ(ink(0), 0);

    // Skipping, the page is not complete after the first item: nothing composed yet.
    rt->text.items[1].wait = 30;
    rt->app.skip = 1;
    show(0, "太郎\\e");
    EXPECT_TRUE(advance());
    EXPECT_EQ(ink(0), 0);
}

TEST_F(PageEnd, TypedLastItemHasNoItemAfterIt) {
    // One item typed with a wait: no item follows to type after it, so the text is restored
    // away at its end, with or without a click wait before it.
    for (const char* end : {"\\e", "\\m\\e"}) {
        table(1, 1, 30);
        fillScreen(rt->screens.table[0], 90, 60, 30);
        show(0, std::string("あいう") + end);
        for (int i = 0; i < 10 && !advance(); ++i) rt->interp.leftClick = 1;
        EXPECT_FALSE(rt->text.printing) << end;
        EXPECT_EQ(ink(0), 0) << end;
    }
}

TEST_F(PageEnd, AClickWhileTypingCompletesTheMessageUpToItsWait) {
    table(1, 1, 30);
    show(0, "あいうえお\\mかき\\e");
    EXPECT_FALSE(advance());
    EXPECT_EQ(trace.size(), 1u);  // typed one character a step
    rt->interp.leftClick = 1;
    EXPECT_FALSE(advance());
    EXPECT_EQ(trace.size(), 5u);  // the rest up to the wait at once
    EXPECT_TRUE(rt->text.rs.clickWait);
    EXPECT_FALSE(advance());      // and it waits: the click that completed was used up
    EXPECT_TRUE(rt->text.rs.clickWait);
    rt->interp.leftClick = 1;
    EXPECT_FALSE(advance());
    EXPECT_EQ(trace.size(), 6u);  // after the wait, typing again
    for (int i = 0; i < 10 && !advance(); ++i) {}
    EXPECT_FALSE(rt->text.printing);
    EXPECT_EQ(ink(0), 0);  // ends as a typed message does
}
