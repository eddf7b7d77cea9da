// Face-name mapping, antialiased glyphs, the pixel loops and their per-pixel twins.
#include <random>

#include "text/font.h"
#include "text/renderer.h"
#include "text_fixture.h"

using namespace yv;

TEST(Fonts, FaceKeysNormaliseWindowsNames) {
    EXPECT_EQ(faceKey("ＭＳ Ｐゴシック"), "mspgothic");
    EXPECT_EQ(faceKey("ＭＳ ゴシック"), "msgothic");
    EXPECT_EQ(faceKey("ＭＳ 明朝"), "msmincho");
    EXPECT_EQ(faceKey("MS PMincho"), "mspmincho");
}

TEST(Fonts, WindowsFacesMapToJapaneseFacesOfTheSameKind) {
    const ResolvedFont gothic = resolveFace("ＭＳ ゴシック", 400, false);
    if (gothic.file.empty()) GTEST_SKIP() << "no Japanese font installed (scripts/setup.sh installs them)";
    EXPECT_NE(gothic.family.find("Gothic"), std::string::npos) << gothic.family;
    EXPECT_EQ(gothic.family.find("PGothic"), std::string::npos) << gothic.family;
    EXPECT_NE(resolveFace("ＭＳ Ｐゴシック", 400, false).family.find("PGothic"), std::string::npos);
    EXPECT_NE(resolveFace("ＭＳ 明朝", 400, false).family.find("Mincho"), std::string::npos);
    EXPECT_NE(resolveFace("MS Mincho", 400, false).family.find("Mincho"), std::string::npos);
    EXPECT_NE(resolveFace("ＭＳ Ｐ明朝", 400, false).family.find("PMincho"), std::string::npos);
    // A face nobody has still gives a font that covers Japanese.
    EXPECT_FALSE(resolveFace("Nonexistent Face 42", 400, false).file.empty());
    // Bold and italic are made up when the family has no such face.
    const ResolvedFont bold = resolveFace("ＭＳ ゴシック", 700, true);
    EXPECT_TRUE(bold.synthBold);
    EXPECT_TRUE(bold.synthItalic);
}

TEST(Fonts, GlyphsAreAntialiasedAndCached) {
    FontEngine fe;
    fe.select(FontRecord{sjis("ＭＳ ゴシック"), 24, 400, 0, 0, 0});
    if (!fe.loaded()) GTEST_SKIP() << "no Japanese font installed";
    const GlyphCell& a = fe.cell(sjis("あ"));
    ASSERT_GT(a.width, 10);
    EXPECT_LE(a.top + a.height, 24 + 2);  // within the cell
    bool partial = false, full = false;
    for (uint8_t c : a.coverage) partial |= c > 0 && c < 255, full |= c == 255;
    EXPECT_TRUE(partial);
    EXPECT_TRUE(full);
    fe.cell(sjis("あ"));
    fe.cell("AB");
    EXPECT_EQ(fe.cachedCells(), 2u);

    // Bold is wider; an underline reaches below the baseline across the cell.
    FontEngine bold;
    bold.select(FontRecord{sjis("ＭＳ ゴシック"), 24, 700, 0, 0, 1});
    const GlyphCell& b = bold.cell(sjis("あ"));
    EXPECT_GT(b.width, a.width);
    EXPECT_GT(b.top + b.height, a.top + a.height);
}

namespace {
class TextTypes : public TextFixture {};
}  // namespace

TEST_F(TextTypes, OutlineInTheDecorationColourAroundWhiteText) {
    if (!text::font(*rt).loaded()) GTEST_SKIP() << "no Japanese font installed";
    table(2, 1, -1);
    cmd("settexttype", "(4, rgb(0, 0, 255));");
    show(0, "口\\u");
    finish();
    ASSERT_EQ(trace.size(), 1u);
    const GlyphCell& g = text::font(*rt).cell(sjis("口"));
    // The leftmost fully covered pixel of the glyph's middle row.
    const int row = g.height / 2;
    int col = 0;
    while (col < g.width && g.coverage[static_cast<size_t>(row * g.width + col)] != 255) ++col;
    ASSERT_LT(col, g.width);
    const int x = trace[0].x + g.left + col, y = trace[0].y + g.top + row;
    const Screen& img = rt->screens.overlayImage;
    const Screen& mask = rt->screens.overlayMask;
    EXPECT_EQ(pixel(img, x, y)[2], 255);  // the character itself: white
    EXPECT_EQ(pixel(img, x, y)[0], 255);
    EXPECT_EQ(pixel(img, x - 2, y)[0], 255);  // two pixels left: the blue outline
    EXPECT_EQ(pixel(img, x - 2, y)[2], 0);
    EXPECT_EQ(pixel(mask, x - 2, y)[0], 0);  // and masked
    EXPECT_EQ(pixel(mask, x - 12, y)[0], 255);  // far away: untouched
}

TEST_F(TextTypes, ShadowsSitOneTwelfthOfTheHeightDownRight) {
    if (!text::font(*rt).loaded()) GTEST_SKIP() << "no Japanese font installed";
    const int s = h() / 12;
    ASSERT_EQ(s, 2);
    for (int type : {1, 2, 3}) {
        trace.clear();
        table(2, 1, -1);
        cmd("settexttype", "(" + std::to_string(type) + ", rgb(0, 255, 0));");
        cmd("setdefaultcolor", "(0, rgb(255, 0, 0));");
        show(0, "口\\u");
        finish();
        const GlyphCell& g = text::font(*rt).cell(sjis("口"));
        const int row = g.height / 2;
        int col = g.width - 1;  // the rightmost fully covered pixel: its shadow lies outside the glyph
        while (col > 0 && g.coverage[static_cast<size_t>(row * g.width + col)] != 255) --col;
        const int x = trace[0].x + g.left + col + s, y = trace[0].y + g.top + row + s;
        const uint8_t* im = pixel(rt->screens.overlayImage, x, y);
        const uint8_t* m = pixel(rt->screens.overlayMask, x, y);
        EXPECT_EQ(m[0], 0) << type;  // the shadow is masked black
        const int sum = im[0] + im[1] + im[2];
        const int want[] = {0, 0, 3 * 255, 255};
        EXPECT_EQ(sum, want[type]) << type;  // black, white, or the green decoration
        if (type == 3) {
            EXPECT_EQ(im[1], 255);
        }
    }
}
