// The pixel loops: exact results of the stated formulas on small pictures, and the one clip.
#include <gtest/gtest.h>

#include <random>

#include "picture.h"
#include "pixels/pixel_ops.h"

using namespace yv::pixels;
using namespace yv::pixels::test;

TEST(PixelOps, ClipKeepsOnlyWhatEveryPictureHolds) {
    const Span c = clip(10, 10, {Place{-3, 2, 8, 8}, Place{1, -1, 5, 5}});
    // x: 3 columns cut on the left (dst), y: 1 row cut on top (src); then 5 and 5 wide sources.
    EXPECT_EQ(c.i, 3);
    EXPECT_EQ(c.w, 1);
    EXPECT_EQ(c.j, 1);
    EXPECT_EQ(c.h, 5);
    EXPECT_TRUE(clip(5, 5, {Place{100, 0, 8, 8}, Place{0, 0, 8, 8}}).empty());
    EXPECT_TRUE(clip(2147483647, 5, {Place{0, 0, 8, 8}, Place{-2147483647, 0, 8, 8}}).empty());
    EXPECT_TRUE(clip(-2147483647 - 1, 5, {Place{0, 0, 8, 8}}).empty());
    // A third picture clips further; an absent one leaves nothing.
    const Span three = clip(6, 6, {Place{0, 0, 8, 8}, Place{0, 0, 8, 8}, Place{4, -2, 7, 5}});
    EXPECT_EQ(three.i, 0);
    EXPECT_EQ(three.w, 3);
    EXPECT_EQ(three.j, 2);
    EXPECT_EQ(three.h, 4);
    EXPECT_TRUE(clip(4, 4, {Place{0, 0, 8, 8}, place(ConstView{}, 0, 0)}).empty());
}

TEST(PixelOps, ColourKeyIsTheBottomLeftSourcePixel) {
    Pic src = solid(4, 3, {1, 2, 3});
    set(src, 0, 2, {9, 9, 9});  // bottom-left
    set(src, 3, 0, {9, 9, 9});  // same colour elsewhere: skipped too
    set(src, 1, 1, {50, 60, 70});
    Pic dst = solid(4, 3, {200, 200, 200});
    copyRect(dst.view(), 0, 0, 4, 3, src.view(), 0, 0, 1, 40);
    EXPECT_EQ(at(dst, 0, 2), (Bgr{200, 200, 200}));
    EXPECT_EQ(at(dst, 3, 0), (Bgr{200, 200, 200}));
    EXPECT_EQ(at(dst, 1, 1), (Bgr{50, 60, 70}));  // no contrast offset in the keyed copy
    EXPECT_EQ(at(dst, 2, 0), (Bgr{1, 2, 3}));
    // The key of a rectangle clipped at the bottom is the lowest row that is drawn.
    Pic dst2 = solid(4, 2, {0, 0, 0});
    copyRect(dst2.view(), 0, 0, 4, 3, src.view(), 0, 0, 1, 0);
    EXPECT_EQ(at(dst2, 0, 1), (Bgr{0, 0, 0}));  // (1,2,3) at column 0, row 1 is now the key
    EXPECT_EQ(at(dst2, 2, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(at(dst2, 1, 1), (Bgr{50, 60, 70}));
    EXPECT_EQ(at(dst2, 3, 0), (Bgr{9, 9, 9}));
}

TEST(PixelOps, ContrastSaturatesBothWays) {
    Pic src = solid(2, 1, {250, 10, 100});
    Pic dst = solid(2, 1, {0, 0, 0});
    copyRect(dst.view(), 0, 0, 2, 1, src.view(), 0, 0, 0, 40);
    EXPECT_EQ(at(dst, 0, 0), (Bgr{255, 50, 140}));
    copyRect(dst.view(), 0, 0, 2, 1, src.view(), 0, 0, 0, -40);
    EXPECT_EQ(at(dst, 1, 0), (Bgr{210, 0, 60}));
    copyRect(dst.view(), 0, 0, 2, 1, src.view(), 0, 0, 2, 0);  // another mode copies nothing
    EXPECT_EQ(at(dst, 1, 0), (Bgr{210, 0, 60}));
}

TEST(PixelOps, AlphaCasesWithAndWithoutGlobalAlpha) {
    Pic dst = solid(4, 1, {100, 100, 100});
    Pic src = solid(4, 1, {200, 40, 0});
    Pic mask = solid(4, 1, {0, 0, 0});
    set(mask, 0, 0, {255, 0, 0});  // only the blue byte counts
    set(mask, 1, 0, {0, 255, 255});
    set(mask, 2, 0, {64, 0, 0});
    set(mask, 3, 0, {128, 128, 128});
    Pic d = dst;
    alphaRect(d.view(), 0, 0, 4, 1, src.view(), 0, 0, mask.view(), -1);
    EXPECT_EQ(at(d, 0, 0), (Bgr{100, 100, 100}));  // 255 keeps the destination
    EXPECT_EQ(at(d, 1, 0), (Bgr{200, 40, 0}));     // 0 copies the source
    // S(100, 64) + S(s, 191): 25 + 149, 25 + 29, 25 + 0
    EXPECT_EQ(at(d, 2, 0), (Bgr{174, 54, 25}));
    d = dst;
    alphaRect(d.view(), 0, 0, 4, 1, src.view(), 0, 0, mask.view(), 100);
    EXPECT_EQ(at(d, 0, 0), (Bgr{100, 100, 100}));
    // m = 0: S(s, 155) + S(d, 100) = 121 + 39, 24 + 39, 0 + 39
    EXPECT_EQ(at(d, 1, 0), (Bgr{160, 63, 39}));
    // 0 < m < 255: d1 = S(100, 100) = 39; S(39, 50) + S(s, 77) = 7 + 60, 7 + 12, 7 + 0
    EXPECT_EQ(at(d, 2, 0), (Bgr{67, 19, 7}));
    EXPECT_EQ(at(d, 3, 0), (Bgr{67, 19, 7}));  // the mask value itself does not matter
}

TEST(PixelOps, StepTowardConvergesWithoutPassing) {
    std::mt19937 rng(7);
    Pic dst = randomPic(rng, 9, 5), src = randomPic(rng, 9, 5);
    set(dst, 4, 2, {0, 255, 0});
    set(src, 4, 2, {255, 0, 0});
    for (int i = 0; i < 7; ++i) stepToward(dst.view(), 0, 0, 9, 5, src.view(), 0, 0, 32);
    EXPECT_NE(dst.bytes, src.bytes);  // 7 x 32 = 224 is not yet enough for every channel...
    stepToward(dst.view(), 0, 0, 9, 5, src.view(), 0, 0, 32);
    EXPECT_EQ(dst.bytes, src.bytes);  // ...8 x 32 is
    Pic d2 = randomPic(rng, 9, 5);
    stepToward(d2.view(), 0, 0, 9, 5, src.view(), 0, 0, -16);  // 65520: at once
    EXPECT_EQ(d2.bytes, src.bytes);
    Pic one = solid(1, 1, {10, 200, 100}), target = solid(1, 1, {15, 190, 100});
    stepToward(one.view(), 0, 0, 1, 1, target.view(), 0, 0, 8);
    EXPECT_EQ(at(one, 0, 0), (Bgr{15, 192, 100}));
}

TEST(PixelOps, MosaicLeavesTheTopRowsAndRightColumnsAlone) {
    std::mt19937 rng(3);
    Pic src = randomPic(rng, 10, 7);
    Pic dst = randomPic(rng, 10, 7);
    const Pic before = dst;
    Rand r;
    mosaic(dst.view(), src.view(), 3, false, r);
    // 3 block rows from the bottom (rows 6..-2 -> script rows 1..6), 3 block columns (0..8).
    for (int x = 0; x < 10; ++x) EXPECT_EQ(at(dst, x, 0), at(before, x, 0));
    for (int y = 0; y < 7; ++y) EXPECT_EQ(at(dst, 9, y), at(before, 9, y));
    // A block is the truncated mean of its source pixels.
    int sum = 0;
    for (int y = 4; y < 7; ++y)
        for (int x = 0; x < 3; ++x) sum += at(src, x, y).g;
    EXPECT_EQ(at(dst, 1, 5).g, sum / 9);
    EXPECT_EQ(at(dst, 0, 4), at(dst, 2, 6));
}

TEST(PixelOps, GreyToneAndTint) {
    Pic s = solid(3, 1, {50, 200, 100});
    greyTone(s.view(), 0, 0, 2, 1, 0, 0, 0);
    EXPECT_EQ(at(s, 0, 0), (Bgr{153, 153, 153}));
    EXPECT_EQ(at(s, 2, 0), (Bgr{50, 200, 100}));
    greyTone(s.view(), 2, 0, 1, 1, 0, 7, 0);  // a non-zero component fixes that channel
    EXPECT_EQ(at(s, 2, 0), (Bgr{153, 7, 153}));
    Pic t = solid(2, 1, {250, 10, 128});
    tint(t.view(), 0, 0, 1, 1, 200, -20, 10);
    EXPECT_EQ(at(t, 0, 0), (Bgr{255, 0, 255}));
    EXPECT_EQ(at(t, 1, 0), (Bgr{250, 10, 128}));
}

TEST(PixelOps, FadesStopAtBlackAndAtTheSource) {
    Pic s = solid(2, 2, {10, 100, 255});
    fadeDown(s.view(), 0, 0, 2, 2, 16);
    EXPECT_EQ(at(s, 1, 1), (Bgr{0, 84, 239}));
    const Pic src = solid(2, 2, {5, 90, 250});
    fadeUp(s.view(), 0, 0, 2, 2, src.view(), 16);
    EXPECT_EQ(at(s, 0, 0), (Bgr{5, 90, 250}));
}

TEST(PixelOps, MaskedBlitComposeAndCoverage) {
    // Sprite: AND with the mask, OR with the picture; the mask and the picture are two places of
    // one sheet.
    Pic sheet = solid(4, 1, {0, 0, 0});
    set(sheet, 0, 0, {0x0F, 0x00, 0xF0});  // picture
    set(sheet, 2, 0, {0xF0, 0xFF, 0x0F});  // mask
    Pic dst = solid(3, 2, {0x55, 0x55, 0x55});
    maskedBlit(dst.view(), 1, 1, 1, 1, sheet.view(), 0, 0, sheet.view(), 2, 0);
    EXPECT_EQ(at(dst, 1, 1), (Bgr{0x5F, 0x55, 0xF5}));
    EXPECT_EQ(at(dst, 0, 1), (Bgr{0x55, 0x55, 0x55}));
    const Pic mask = solid(3, 2, {0x0F, 0xFF, 0x00}), image = solid(3, 2, {0x20, 0x00, 0x01});
    compose(dst.view(), mask.view(), image.view(), -1, -1, 2, 2);  // only (0, 0) is inside
    EXPECT_EQ(at(dst, 0, 0), (Bgr{0x25, 0x55, 0x01}));
    EXPECT_EQ(at(dst, 1, 0), (Bgr{0x55, 0x55, 0x55}));
    // Coverage 0 keeps, 255 sets, between moves by the rounded share.
    Pic text = solid(3, 1, {100, 100, 100});
    const uint8_t cover[3] = {0, 255, 128};
    drawCoverage(text.view(), 0, 0, cover, 3, 1, 200, 0, 100);
    EXPECT_EQ(at(text, 0, 0), (Bgr{100, 100, 100}));
    EXPECT_EQ(at(text, 1, 0), (Bgr{200, 0, 100}));
    EXPECT_EQ(at(text, 2, 0), (Bgr{150, 50, 100}));  // (100 * 127 + 200 * 128 + 127) / 255
    Pic f = solid(3, 2, {1, 2, 3});
    fill(f.view(), 2, -5, 9, 6, 7, 8, 9);
    EXPECT_EQ(at(f, 2, 0), (Bgr{7, 8, 9}));
    EXPECT_EQ(at(f, 1, 0), (Bgr{1, 2, 3}));
    EXPECT_EQ(at(f, 2, 1), (Bgr{1, 2, 3}));
}

// Rectangles at the ends of the int range clip without overflow (the plain twins would take
// forever over them, so only the fast loops run here).
TEST(PixelOps, HugeRectanglesClipWithoutOverflow) {
    Pic d = solid(4, 3, {1, 2, 3});
    const Pic s = solid(4, 3, {9, 9, 9});
    const int lo = -2147483647 - 1, hi = 2147483647;
    fast::copyRect(d.view(), lo, lo, hi, hi, s.view(), 0, 0, 0, 0);
    fast::compose(d.view(), s.view(), s.view(), hi, hi, hi, hi);
    fast::maskedBlit(d.view(), -2, -1, hi, hi, s.view(), hi, 0, s.view(), 0, lo);
    EXPECT_EQ(at(d, 0, 0), (Bgr{1, 2, 3}));
    fast::compose(d.view(), s.view(), s.view(), -1, lo + 5, hi, hi);  // rows lo+5 .. 4: all of them
    EXPECT_EQ(at(d, 3, 2), (Bgr{9, 9, 9}));
    fast::fill(d.view(), lo, lo, hi, hi, 0, 0, 0);  // ends at -2: nothing
    EXPECT_EQ(at(d, 3, 2), (Bgr{9, 9, 9}));
}
