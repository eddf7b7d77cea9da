// The system picture: the game's ABOUTBMP when it reads as a bitmap, else our built-in picture
// with the click-wait icon and the particle frames where the text and effect code look.
#include <gtest/gtest.h>

#include "gfx_util.h"

using namespace yv;
using namespace yv::test;

TEST(SystemPicture, BuiltInPictureHoldsTheIconAndParticleFramesWithMasks) {
    Game g;  // no sysetc.bmp in the folder
    const Screen& p = g.rt->screens.systemPicture;
    ASSERT_EQ(p.width, 128);
    ASSERT_EQ(p.height, 128);
    // Click-wait icon: picture at (64, 0), mask at (96, 0); black mask where the picture is drawn.
    int covered = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const Bgr pic = at(p, 64 + x, y), mask = at(p, 96 + x, y);
            const bool inMask = mask == Bgr{0, 0, 0};
            EXPECT_TRUE(inMask || mask == (Bgr{255, 255, 255}));
            if (!inMask) {
                EXPECT_EQ(pic, (Bgr{0, 0, 0}));  // AND then OR leaves the screen alone there
            }
            covered += inMask;
        }
    EXPECT_GT(covered, 100);
    // Eight particle frames of 16 x 16, each with something drawn and its mask beside it.
    for (int f = 0; f < 8; ++f) {
        int drawn = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (at(p, 16 + x, 16 * f + y) == Bgr{0, 0, 0}) {
                    ++drawn;
                    EXPECT_NE(at(p, x, 16 * f + y), (Bgr{0, 0, 0}));
                }
        EXPECT_GT(drawn, 4) << "frame " << f;
    }
}

TEST(SystemPicture, AboutBmpFromTheGameFolderIsUsedWhenItDecodes) {
    TempDir dir;
    dir.write("sysetc.bmp", bmp24(3, 2, std::vector<Bgr>(6, Bgr{1, 2, 3})));
    HeadlessPlatform platform;
    Runtime rt(platform, dir.path());
    rt.config.aboutBmp = "sysetc.bmp";
    graphics::createScreens(rt);
    EXPECT_EQ(rt.screens.systemPicture.width, 3);
    EXPECT_EQ(at(rt.screens.systemPicture, 2, 1), (Bgr{1, 2, 3}));
    dir.write("sysetc.bmp", "BM broken");
    graphics::createScreens(rt);
    EXPECT_EQ(rt.screens.systemPicture.width, 128);  // silently the built-in one
}
