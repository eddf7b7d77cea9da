// The fast loops held to their plain twins on random pictures and rectangles that cross every
// edge, sources that are the destination itself included.
#include <gtest/gtest.h>

#include <random>

#include "picture.h"
#include "pixels/pixel_ops.h"

using namespace yv::pixels;
using namespace yv::pixels::test;

TEST(PixelTwins, FastLoopsMatchTheirPlainTwins) {
    std::mt19937 rng(12345);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 400; ++round) {
        // Every third round all pictures share one width and the rectangle spans it, so whole
        // blocks of rows are handled at once.
        const bool sameWidth = round % 3 == 0;
        const int dw = pick(1, 40), dh = pick(1, 30), sw = sameWidth ? dw : pick(1, 40), sh = pick(1, 30);
        const Pic dst0 = randomPic(rng, dw, dh);
        Pic src = randomPic(rng, sw, sh);
        if (round % 5 == 0)  // give the colour key something to skip
            for (size_t i = 0; i < src.bytes.size(); i += 3 * pick(1, 3)) std::copy_n(src.bytes.data(), 3, src.bytes.data() + i);
        Pic mask = randomPic(rng, sameWidth ? dw : pick(1, 40), pick(1, 30));
        const bool runs = round % 4 == 1;  // long stretches of wholly clear or opaque pixels
        int k = 0;
        for (size_t i = 0; i < mask.bytes.size(); i += 3) {
            if (!runs || (i / 3) % 37 == 0) k = pick(0, 3);
            if (k == 0) mask.bytes[i] = 0;
            if (k == 1) mask.bytes[i] = 255;
            if (k == 2 && runs) mask.bytes[i] = static_cast<uint8_t>(pick(1, 254));
        }
        int x = pick(-20, 45), y = pick(-20, 35), w = pick(-2, 60), h = pick(-2, 45);
        int sx = pick(-20, 45), sy = pick(-20, 35), mx = pick(-20, 45), my = pick(-20, 35);
        if (sameWidth) x = sx = 0, w = dw + pick(0, 3);
        auto same = [&](auto fastLoop, auto plain, const char* what) {
            Pic a = dst0, b = dst0;
            fastLoop(a.view());
            plain(b.view());
            ASSERT_EQ(a.bytes, b.bytes) << what << " round " << round;
        };
        const int mode = pick(0, 2), contrast = pick(-300, 300) * (pick(0, 1));
        same([&](View d) { fast::copyRect(d, x, y, w, h, src.view(), sx, sy, mode, contrast); },
             [&](View d) { ref::copyRect(d, x, y, w, h, src.view(), sx, sy, mode, contrast); }, "copy");
        same([&](View d) { fast::copyRect(d, x, y, w, h, d, sx, sy, mode, contrast); },
             [&](View d) { ref::copyRect(d, x, y, w, h, d, sx, sy, mode, contrast); }, "copy onto itself");
        const int alpha = pick(0, 1) ? -1 : pick(0, 255);
        same([&](View d) { fast::alphaRect(d, x, y, w, h, src.view(), sx, sy, mask.view(), alpha); },
             [&](View d) { ref::alphaRect(d, x, y, w, h, src.view(), sx, sy, mask.view(), alpha); }, "alpha");
        same([&](View d) { fast::alphaRect(d, x, y, w, h, d, sx, sy, d, alpha); },
             [&](View d) { ref::alphaRect(d, x, y, w, h, d, sx, sy, d, alpha); }, "alpha onto itself");
        const int step = pick(-70000, 70000);
        same([&](View d) { fast::stepToward(d, x, y, w, h, src.view(), x, y, step); },
             [&](View d) { ref::stepToward(d, x, y, w, h, src.view(), x, y, step); }, "step toward");
        same([&](View d) { fast::stepToward(d, x, y, w, h, src.view(), sx, sy, step); },
             [&](View d) { ref::stepToward(d, x, y, w, h, src.view(), sx, sy, step); }, "step toward a place");
        same([&](View d) { fast::stepToward(d, x, y, w, h, d, sx, sy, step); },
             [&](View d) { ref::stepToward(d, x, y, w, h, d, sx, sy, step); }, "step toward itself");
        const int amount = pick(0, 255);
        same([&](View d) { fast::fadeDown(d, x, y, w, h, amount); },
             [&](View d) { ref::fadeDown(d, x, y, w, h, amount); }, "fade down");
        same([&](View d) { fast::fadeUp(d, x, y, w, h, src.view(), amount); },
             [&](View d) { ref::fadeUp(d, x, y, w, h, src.view(), amount); }, "fade up");
        const int r = pick(0, 1) * pick(0, 255), g = pick(0, 1) * pick(0, 255), b = pick(0, 1) * pick(0, 255);
        same([&](View d) { fast::greyTone(d, x, y, w, h, r, g, b); },
             [&](View d) { ref::greyTone(d, x, y, w, h, r, g, b); }, "grey");
        const int tr = pick(-255, 255), tg = pick(-255, 255), tb = pick(-255, 255);
        same([&](View d) { fast::tint(d, x, y, w, h, tr, tg, tb); },
             [&](View d) { ref::tint(d, x, y, w, h, tr, tg, tb); }, "tint");
        const uint8_t fb = static_cast<uint8_t>(pick(0, 255)), fg = pick(0, 1) ? fb : static_cast<uint8_t>(pick(0, 255));
        same([&](View d) { fast::fill(d, x, y, w, h, fb, fg, fb); }, [&](View d) { ref::fill(d, x, y, w, h, fb, fg, fb); },
             "fill");
        const int n = pick(0, 12);
        const bool noise = pick(0, 1);
        same([&](View d) { Rand q{99}; fast::mosaic(d, src.view(), n, noise, q); },
             [&](View d) { Rand q{99}; ref::mosaic(d, src.view(), n, noise, q); }, "mosaic");
        same([&](View d) { fast::maskedBlit(d, x, y, w, h, src.view(), sx, sy, mask.view(), mx, my); },
             [&](View d) { ref::maskedBlit(d, x, y, w, h, src.view(), sx, sy, mask.view(), mx, my); }, "masked blit");
        same([&](View d) { fast::maskedBlit(d, x, y, w, h, d, sx, sy, src.view(), mx, my); },
             [&](View d) { ref::maskedBlit(d, x, y, w, h, d, sx, sy, src.view(), mx, my); }, "masked blit from itself");
        const Pic image = randomPic(rng, sameWidth ? dw : pick(1, 40), pick(1, 30));
        same([&](View d) { fast::compose(d, mask.view(), image.view(), x, y, w, h); },
             [&](View d) { ref::compose(d, mask.view(), image.view(), x, y, w, h); }, "compose");
        // Glyph coverage: clear, solid and partial pixels.
        const int cw = pick(0, 30), ch = pick(0, 30);
        std::vector<uint8_t> cover(static_cast<size_t>(cw) * ch);
        for (uint8_t& c : cover) c = static_cast<uint8_t>(pick(0, 2) == 0 ? 0 : pick(0, 2) == 0 ? 255 : pick(0, 255));
        const int gx = pick(-35, 45), gy = pick(-35, 35);
        same([&](View d) { fast::drawCoverage(d, gx, gy, cover.data(), cw, ch, 200, 30, 90); },
             [&](View d) { ref::drawCoverage(d, gx, gy, cover.data(), cw, ch, 200, 30, 90); }, "coverage");
    }
}

// Rows long enough for the 32- and 16-byte paths and their tails, at every offset.
TEST(PixelTwins, LongRowsAtEveryOffset) {
    std::mt19937 rng(99);
    const Pic dst0 = randomPic(rng, 211, 5), mask = randomPic(rng, 211, 5), image = randomPic(rng, 211, 5);
    for (int x = -3; x < 70; ++x)
        for (int w : {1, 15, 16, 17, 31, 32, 33, 64, 100, 211}) {
            Pic a = dst0, b = dst0;
            fast::compose(a.view(), mask.view(), image.view(), x, 1, w, 3);
            ref::compose(b.view(), mask.view(), image.view(), x, 1, w, 3);
            ASSERT_EQ(a.bytes, b.bytes) << "compose at " << x << " width " << w;
            fast::maskedBlit(a.view(), x, 0, w, 4, image.view(), 70 - x, 1, mask.view(), x + 3, 0);
            ref::maskedBlit(b.view(), x, 0, w, 4, image.view(), 70 - x, 1, mask.view(), x + 3, 0);
            ASSERT_EQ(a.bytes, b.bytes) << "masked blit at " << x << " width " << w;
        }
}
