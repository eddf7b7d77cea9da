// The pixel loops: exact results of the stated formulas on small screens, and the fast loops held
// to their plain twins on random screens and rectangles clipped at every edge.
#include <gtest/gtest.h>

#include <random>

#include "graphics/pixel_ops.h"
#include "gfx_util.h"

using namespace yv;
using namespace yv::test;

TEST(PixelOps, ClipKeepsOnlyWhatBothScreensHold) {
    const px::Clip c = px::clipRect(-3, 2, 10, 10, 8, 8, 1, -1, 5, 5);
    // x: 3 columns cut on the left (dst), y: 1 row cut on top (src); then 5 and 5 wide sources.
    EXPECT_EQ(c.dx, 0);
    EXPECT_EQ(c.sx, 4);
    EXPECT_EQ(c.w, 1);
    EXPECT_EQ(c.dy, 3);
    EXPECT_EQ(c.sy, 0);
    EXPECT_EQ(c.h, 5);
    EXPECT_TRUE(px::clipRect(100, 0, 5, 5, 8, 8, 0, 0, 8, 8).empty());
    EXPECT_TRUE(px::clipRect(0, 0, 2147483647, 5, 8, 8, -2147483647, 0, 8, 8).empty());
}

TEST(PixelOps, ColourKeyIsTheBottomLeftSourcePixel) {
    Screen src = solid(4, 3, {1, 2, 3});
    set(src, 0, 2, {9, 9, 9});  // bottom-left
    set(src, 3, 0, {9, 9, 9});  // same colour elsewhere: skipped too
    set(src, 1, 1, {50, 60, 70});
    Screen dst = solid(4, 3, {200, 200, 200});
    px::copyRect(dst, 0, 0, 4, 3, src, 0, 0, 1, 40);
    EXPECT_EQ(at(dst, 0, 2), (Bgr{200, 200, 200}));
    EXPECT_EQ(at(dst, 3, 0), (Bgr{200, 200, 200}));
    EXPECT_EQ(at(dst, 1, 1), (Bgr{50, 60, 70}));  // no contrast offset in the keyed copy
    EXPECT_EQ(at(dst, 2, 0), (Bgr{1, 2, 3}));
    // The key of a rectangle clipped at the bottom is the lowest row that is drawn.
    Screen dst2 = solid(4, 2, {0, 0, 0});
    px::copyRect(dst2, 0, 0, 4, 3, src, 0, 0, 1, 0);
    EXPECT_EQ(at(dst2, 0, 1), (Bgr{0, 0, 0}));  // (1,2,3) at column 0, row 1 is now the key
    EXPECT_EQ(at(dst2, 2, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(at(dst2, 1, 1), (Bgr{50, 60, 70}));
    EXPECT_EQ(at(dst2, 3, 0), (Bgr{9, 9, 9}));
}

TEST(PixelOps, ContrastSaturatesBothWays) {
    Screen src = solid(2, 1, {250, 10, 100});
    Screen dst = solid(2, 1, {0, 0, 0});
    px::copyRect(dst, 0, 0, 2, 1, src, 0, 0, 0, 40);
    EXPECT_EQ(at(dst, 0, 0), (Bgr{255, 50, 140}));
    px::copyRect(dst, 0, 0, 2, 1, src, 0, 0, 0, -40);
    EXPECT_EQ(at(dst, 1, 0), (Bgr{210, 0, 60}));
    px::copyRect(dst, 0, 0, 2, 1, src, 0, 0, 2, 0);  // another mode copies nothing
    EXPECT_EQ(at(dst, 1, 0), (Bgr{210, 0, 60}));
}

TEST(PixelOps, AlphaCasesWithAndWithoutGlobalAlpha) {
    Screen dst = solid(4, 1, {100, 100, 100});
    Screen src = solid(4, 1, {200, 40, 0});
    Screen mask = solid(4, 1, {0, 0, 0});
    set(mask, 0, 0, {255, 0, 0});  // only the blue byte counts
    set(mask, 1, 0, {0, 255, 255});
    set(mask, 2, 0, {64, 0, 0});
    set(mask, 3, 0, {128, 128, 128});
    Screen d = dst;
    px::alphaRect(d, 0, 0, 4, 1, src, 0, 0, mask, -1);
    EXPECT_EQ(at(d, 0, 0), (Bgr{100, 100, 100}));  // 255 keeps the destination
    EXPECT_EQ(at(d, 1, 0), (Bgr{200, 40, 0}));     // 0 copies the source
    // S(100, 64) + S(s, 191): 25 + 149, 25 + 29, 25 + 0
    EXPECT_EQ(at(d, 2, 0), (Bgr{174, 54, 25}));
    d = dst;
    px::alphaRect(d, 0, 0, 4, 1, src, 0, 0, mask, 100);
    EXPECT_EQ(at(d, 0, 0), (Bgr{100, 100, 100}));
    // m = 0: S(s, 155) + S(d, 100) = 121 + 39, 24 + 39, 0 + 39
    EXPECT_EQ(at(d, 1, 0), (Bgr{160, 63, 39}));
    // 0 < m < 255: d1 = S(100, 100) = 39; S(39, 50) + S(s, 77) = 7 + 60, 7 + 12, 7 + 0
    EXPECT_EQ(at(d, 2, 0), (Bgr{67, 19, 7}));
    EXPECT_EQ(at(d, 3, 0), (Bgr{67, 19, 7}));  // the mask value itself does not matter
}

TEST(PixelOps, StepTowardConvergesWithoutPassing) {
    std::mt19937 rng(7);
    Screen dst = randomScreen(rng, 9, 5), src = randomScreen(rng, 9, 5);
    set(dst, 4, 2, {0, 255, 0});
    set(src, 4, 2, {255, 0, 0});
    for (int i = 0; i < 7; ++i) px::stepToward(dst, 0, 0, 9, 5, src, 32);
    EXPECT_NE(dst.pixels, src.pixels);  // 7 x 32 = 224 is not yet enough for every channel...
    px::stepToward(dst, 0, 0, 9, 5, src, 32);
    EXPECT_EQ(dst.pixels, src.pixels);  // ...8 x 32 is
    Screen d2 = randomScreen(rng, 9, 5);
    px::stepToward(d2, 0, 0, 9, 5, src, -16);  // 65520: at once
    EXPECT_EQ(d2.pixels, src.pixels);
    Screen one = solid(1, 1, {10, 200, 100}), target = solid(1, 1, {15, 190, 100});
    px::stepToward(one, 0, 0, 1, 1, target, 8);
    EXPECT_EQ(at(one, 0, 0), (Bgr{15, 192, 100}));
}

TEST(PixelOps, MosaicLeavesTheTopRowsAndRightColumnsAlone) {
    std::mt19937 rng(3);
    Screen src = randomScreen(rng, 10, 7);
    Screen dst = randomScreen(rng, 10, 7);
    const Screen before = dst;
    px::Rand r;
    px::mosaic(dst, src, 3, false, r);
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
    Screen s = solid(3, 1, {50, 200, 100});
    px::greyTone(s, 0, 0, 2, 1, 0, 0, 0);
    EXPECT_EQ(at(s, 0, 0), (Bgr{153, 153, 153}));
    EXPECT_EQ(at(s, 2, 0), (Bgr{50, 200, 100}));
    px::greyTone(s, 2, 0, 1, 1, 0, 7, 0);  // a non-zero component fixes that channel
    EXPECT_EQ(at(s, 2, 0), (Bgr{153, 7, 153}));
    Screen t = solid(2, 1, {250, 10, 128});
    px::tint(t, 0, 0, 1, 1, 200, -20, 10);
    EXPECT_EQ(at(t, 0, 0), (Bgr{255, 0, 255}));
    EXPECT_EQ(at(t, 1, 0), (Bgr{250, 10, 128}));
}

TEST(PixelOps, FadesStopAtBlackAndAtTheSource) {
    Screen s = solid(2, 2, {10, 100, 255});
    px::fadeDown(s, 0, 0, 2, 2, 16);
    EXPECT_EQ(at(s, 1, 1), (Bgr{0, 84, 239}));
    const Screen src = solid(2, 2, {5, 90, 250});
    px::fadeUp(s, 0, 0, 2, 2, src, 16);
    EXPECT_EQ(at(s, 0, 0), (Bgr{5, 90, 250}));
}

// The fast loops against their twins on random screens and rectangles that cross every edge.
TEST(PixelOps, FastLoopsMatchTheirPlainTwins) {
    std::mt19937 rng(12345);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 300; ++round) {
        // Every third round all screens share one width and the rectangle spans it, so whole
        // blocks of rows are handled at once.
        const bool sameWidth = round % 3 == 0;
        const int dw = pick(1, 40), dh = pick(1, 30), sw = sameWidth ? dw : pick(1, 40), sh = pick(1, 30);
        const Screen dst0 = randomScreen(rng, dw, dh);
        Screen src = randomScreen(rng, sw, sh);
        if (round % 5 == 0)  // give the colour key something to skip
            for (size_t i = 0; i < src.pixels.size(); i += 3 * pick(1, 3)) std::copy_n(src.pixels.data(), 3, src.pixels.data() + i);
        Screen mask = randomScreen(rng, sameWidth ? dw : pick(1, 40), pick(1, 30));
        const bool runs = round % 4 == 1;  // long stretches of wholly clear or opaque pixels
        int k = 0;
        for (size_t i = 0; i < mask.pixels.size(); i += 3) {
            if (!runs || (i / 3) % 37 == 0) k = pick(0, 3);
            if (k == 0) mask.pixels[i] = 0;
            if (k == 1) mask.pixels[i] = 255;
            if (k == 2 && runs) mask.pixels[i] = static_cast<uint8_t>(pick(1, 254));
        }
        int x = pick(-20, 45), y = pick(-20, 35), w = pick(-2, 60), h = pick(-2, 45);
        int sx = pick(-20, 45), sy = pick(-20, 35);
        if (sameWidth) x = sx = 0, w = dw + pick(0, 3);
        auto same = [&](auto fast, auto plain, const char* what) {
            Screen a = dst0, b = dst0;
            fast(a);
            plain(b);
            ASSERT_EQ(a.pixels, b.pixels) << what << " round " << round;
        };
        const int mode = pick(0, 2), contrast = pick(-300, 300) * (pick(0, 1));
        same([&](Screen& d) { px::copyRect(d, x, y, w, h, src, sx, sy, mode, contrast); },
             [&](Screen& d) { px::ref::copyRect(d, x, y, w, h, src, sx, sy, mode, contrast); }, "copy");
        same([&](Screen& d) { px::copyRect(d, x, y, w, h, d, sx, sy, mode, contrast); },
             [&](Screen& d) { px::ref::copyRect(d, x, y, w, h, d, sx, sy, mode, contrast); }, "copy onto itself");
        const int alpha = pick(0, 1) ? -1 : pick(0, 255);
        same([&](Screen& d) { px::alphaRect(d, x, y, w, h, src, sx, sy, mask, alpha); },
             [&](Screen& d) { px::ref::alphaRect(d, x, y, w, h, src, sx, sy, mask, alpha); }, "alpha");
        const int step = pick(-70000, 70000);
        same([&](Screen& d) { px::stepToward(d, x, y, w, h, src, step); },
             [&](Screen& d) { px::ref::stepToward(d, x, y, w, h, src, step); }, "step toward");
        const int amount = pick(0, 255);
        same([&](Screen& d) { px::fadeDown(d, x, y, w, h, amount); },
             [&](Screen& d) { px::ref::fadeDown(d, x, y, w, h, amount); }, "fade down");
        same([&](Screen& d) { px::fadeUp(d, x, y, w, h, src, amount); },
             [&](Screen& d) { px::ref::fadeUp(d, x, y, w, h, src, amount); }, "fade up");
        const int r = pick(0, 1) * pick(0, 255), g = pick(0, 1) * pick(0, 255), b = pick(0, 1) * pick(0, 255);
        same([&](Screen& d) { px::greyTone(d, x, y, w, h, r, g, b); },
             [&](Screen& d) { px::ref::greyTone(d, x, y, w, h, r, g, b); }, "grey");
        const int tr = pick(-255, 255), tg = pick(-255, 255), tb = pick(-255, 255);
        same([&](Screen& d) { px::tint(d, x, y, w, h, tr, tg, tb); },
             [&](Screen& d) { px::ref::tint(d, x, y, w, h, tr, tg, tb); }, "tint");
        same([&](Screen& d) { px::fill(d, 1, 2, 3); }, [&](Screen& d) { px::ref::fill(d, 1, 2, 3); }, "fill");
        const int n = pick(0, 12);
        const bool noise = pick(0, 1);
        same([&](Screen& d) { px::Rand q{99}; px::mosaic(d, src, n, noise, q); },
             [&](Screen& d) { px::Rand q{99}; px::ref::mosaic(d, src, n, noise, q); }, "mosaic");
    }
}

TEST(PixelOps, GreyToneMatchesTheFormulaForEveryColourOnAGrid) {
    // Exhaustive over a coarse grid plus the values where 0.30/0.59/0.11 sums land on integers.
    Screen a, b;
    a.allocate(256, 64);
    int i = 0;
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 17)
            for (int bl = 0; bl < 256; bl += 3, ++i) {
                if (i >= 256 * 64) break;
                a.pixels[i * 3] = static_cast<uint8_t>(bl), a.pixels[i * 3 + 1] = static_cast<uint8_t>(g),
                a.pixels[i * 3 + 2] = static_cast<uint8_t>(r);
            }
    b = a;
    px::greyTone(a, 0, 0, 256, 64, 0, 0, 0);
    px::ref::greyTone(b, 0, 0, 256, 64, 0, 0, 0);
    EXPECT_EQ(a.pixels, b.pixels);
}
