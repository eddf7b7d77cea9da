// The history list's line breaking: between any two characters, the name kept with its message,
// no line begun by a closing mark while the character before it can go along.
#include <gtest/gtest.h>

#include "platform/sdl/text_wrap.h"

using namespace yv;

namespace {
std::string wrap(const std::string& s, float width) {
    return wrapToWidth(s, width, [](uint32_t) { return 1.0f; });
}
}  // namespace

TEST(TextWrap, BreaksBetweenCharactersAndNeverBeforeAClosingMark) {
    // The full-width space after a name is no place to break at.
    EXPECT_EQ(wrap("坊っちゃん　親譲り", 8), "坊っちゃん　親譲\nり");
    EXPECT_EQ(wrap("坊っちゃん　親譲り", 20), "坊っちゃん　親譲り");
    EXPECT_EQ(wrap("あいうえ。", 4), "あいう\nえ。");
    EXPECT_EQ(wrap("あいう。」かき", 3), "あい\nう。」\nかき");
    EXPECT_EQ(wrap("。。。。", 2), "。。\n。。");
    EXPECT_EQ(wrap("ab\ncdef", 3), "ab\ncde\nf");
    // A character wider than the line stands alone; nothing is lost.
    EXPECT_EQ(wrap("あい", 0.5f), "あ\nい");
    EXPECT_EQ(wrap("", 3), "");
    // Widths as the font gives them: narrow letters fill a line further.
    EXPECT_EQ(wrapToWidth("abcあい", 4, [](uint32_t cp) { return cp < 0x80 ? 0.5f : 1.0f; }), "abcあい");
    EXPECT_EQ(wrapToWidth("abcあいう", 4, [](uint32_t cp) { return cp < 0x80 ? 0.5f : 1.0f; }), "abcあい\nう");
}
