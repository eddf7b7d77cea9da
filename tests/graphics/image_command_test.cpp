// loadimage, createimage and releaseimage as scripts use them: screen sizes, placement, masks,
// damaged files, and the records they leave in the replay log.
#include <gtest/gtest.h>

#include "gfx_util.h"

using namespace yv;
using namespace yv::test;

namespace {

std::vector<Bgr> gradient(int w, int h) {
    std::vector<Bgr> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px.push_back({static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 9), 77});
    return px;
}

}  // namespace

TEST(LoadImage, TrueColourBmpTakesItsOwnSizeBothRowOrders) {
    Game g;
    g.dir.write("up.bmp", bmp24(13, 5, gradient(13, 5)));
    g.dir.write("down.bmp", bmp24(13, 5, gradient(13, 5), true));
    g.run("@1 = #loadimage(5, \"up.bmp\");\n@2 = #loadimage(6, \"DOWN.BMP\");");
    EXPECT_EQ(g.rt->interp.ivar[1], 1);
    EXPECT_EQ(g.rt->interp.ivar[2], 1);
    for (int n : {5, 6}) {
        const Screen& s = g.screen(n);
        ASSERT_EQ(s.width, 13);  // 13 * 3 is not a multiple of 4: rows stay unpadded
        ASSERT_EQ(s.height, 5);
        EXPECT_EQ(at(s, 12, 4), (Bgr{84, 36, 77}));
        EXPECT_EQ(at(s, 1, 0), (Bgr{7, 0, 77}));
        EXPECT_TRUE(s.changed);
    }
    EXPECT_EQ(g.screen(5).fileName, "up.bmp");
    EXPECT_EQ(g.rt->screens.loaded[6].fileName, "DOWN.BMP");
    EXPECT_EQ(g.rt->screens.loaded[6].mask, 0);  // the scanner reads the missing mask as 0: none
}

TEST(LoadImage, PaletteBmpMakesAScreenSizedScreenWithThePictureTopLeft) {
    Game g(16, 8);
    std::vector<uint8_t> idx(10 * 4, 1);
    idx[0] = 2;
    g.dir.write("pal.bmp", bmp8(10, 4, {{0, 0, 0}, {10, 20, 30}, {200, 100, 50}}, idx));
    g.run("#loadimage(5, \"pal.bmp\");");
    const Screen& s = g.screen(5);
    ASSERT_EQ(s.width, 16);
    ASSERT_EQ(s.height, 8);
    EXPECT_EQ(at(s, 0, 0), (Bgr{200, 100, 50}));
    EXPECT_EQ(at(s, 9, 3), (Bgr{10, 20, 30}));
    EXPECT_EQ(at(s, 10, 3), (Bgr{0, 0, 0}));
    EXPECT_EQ(at(s, 9, 4), (Bgr{0, 0, 0}));
}

TEST(LoadImage, IntoScreenZeroThePictureGoesTopLeftClipped) {
    Game g(8, 6);
    g.run("#fillclr(0, rgb(1, 2, 3));");
    g.dir.write("big.bmp", bmp24(20, 3, gradient(20, 3)));
    g.run("#loadimage(0, \"big.bmp\");");
    const Screen& s = g.screen(0);
    ASSERT_EQ(s.width, 8);
    ASSERT_EQ(s.height, 6);
    EXPECT_EQ(at(s, 7, 2), (Bgr{49, 18, 77}));
    EXPECT_EQ(at(s, 7, 3), (Bgr{3, 2, 1}));
}

TEST(LoadImage, PngAlphaGoesIntoTheMaskScreenAsOpacity) {
    Game g;
    std::vector<uint8_t> rgba;
    for (int i = 0; i < 6; ++i) {
        const uint8_t a[] = {0, 255, 128, 0, 255, 7};
        rgba.insert(rgba.end(), {static_cast<uint8_t>(10 * i), 20, 30, a[i]});
    }
    g.dir.write("a.png", pngRgba(3, 2, rgba));
    g.run("@1 = #loadimage(4, \"a.png\", 9);\n#savetmp();\n#loadimage(3, \"a.png\");");
    EXPECT_EQ(g.rt->interp.ivar[1], 1);
    ASSERT_EQ(g.screen(4).width, 3);
    EXPECT_EQ(at(g.screen(4), 1, 1), (Bgr{30, 20, 40}));
    const Screen& m = g.screen(9);
    ASSERT_EQ(m.width, 3);
    EXPECT_EQ(at(m, 0, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(at(m, 1, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(at(m, 2, 1), (Bgr{7, 7, 7}));
    EXPECT_EQ(g.screen(4).mask, 9);
    EXPECT_EQ(g.screen(3).mask, 0);  // the field keeps the argument as evaluated
    EXPECT_NE(g.rt->save.log.text.find("@51,3,0,a.png,"), std::string::npos);
}

TEST(LoadImage, PngWithoutTransparencyStillCreatesAnEmptyMask) {
    Game g;
    g.dir.write("c.bmp", bmp24(2, 2, gradient(2, 2)));
    std::vector<uint8_t> rgba(2 * 2 * 4, 255);
    g.dir.write("opaque.png", pngRgba(2, 2, rgba));
    // An RGBA file always has an alpha channel: its opacity (all 255) is written.
    g.run("#loadimage(4, \"opaque.png\", 8);");
    EXPECT_EQ(at(g.screen(8), 1, 1), (Bgr{255, 255, 255}));
}

TEST(LoadImage, DamagedPngLeavesTheScreenAsItWasAndStillCounts) {
    Game g;
    std::vector<uint8_t> rgba(4 * 4 * 4, 90);
    std::string png = pngRgba(4, 4, rgba);
    g.dir.write("cut.png", png.substr(0, png.size() - 20));
    g.run("#createimage(4, 2, 2);\n#fillclr(4, rgb(5, 6, 7));\n@1 = #loadimage(4, \"cut.png\", 7);");
    EXPECT_EQ(g.rt->interp.ivar[1], 1);
    EXPECT_EQ(g.screen(4).width, 2);
    EXPECT_EQ(at(g.screen(4), 1, 1), (Bgr{7, 6, 5}));
    EXPECT_FALSE(g.screen(7).exists());
}

TEST(LoadImage, MissingFilesAndBrokenBmpsFailWithTheirMessages) {
    Game g;
    g.dir.write("empty.bmp", "");
    std::string bad = bmp24(4, 4, gradient(4, 4));
    bad.resize(60);
    g.dir.write("bad.bmp", bad);
    g.run("@1 = #loadimage(4, \"none.bmp\");\n@2 = #loadimage(4, \"empty.bmp\");\n@3 = #loadimage(4, \"bad.bmp\");");
    EXPECT_EQ(g.rt->interp.ivar[1], 0);
    EXPECT_EQ(g.rt->interp.ivar[2], 0);
    EXPECT_EQ(g.rt->interp.ivar[3], 0);
    const auto log = g.platform.dialogLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("fnBitmapLoad Error"), std::string::npos);
}

TEST(CreateAndReleaseImage, FormsRangesAndRecords) {
    Game g(20, 10);
    g.run("#savetmp();\n#createimage(7);\n#createimage(2, 4, 100, 50);\n#createimage(0, 1, 100, 50);\n"
          "#createimage(9, 30, 40);\n#releaseimage();\n#releaseimage(1);");
    EXPECT_EQ(g.screen(7).width, 20);
    EXPECT_EQ(g.screen(7).height, 10);
    EXPECT_TRUE(g.screen(7).created);
    EXPECT_FALSE(g.screen(2).exists());  // released without argument
    EXPECT_EQ(g.screen(3).width, 100);
    EXPECT_EQ(g.screen(4).height, 50);
    EXPECT_EQ(g.screen(9).width, 30);
    EXPECT_EQ(g.screen(1).width, 20);  // 0 and 1 are never made or freed
    EXPECT_TRUE(g.screen(1).exists());
    EXPECT_NE(g.rt->save.log.text.find("@57,7,7,20,10,@57,2,4,100,50,@57,0,1,100,50,@57,9,9,30,40,@59,2,@59,1,"),
              std::string::npos)
        << g.rt->save.log.text;
}

// A size of 0 makes screens that exist without a pixel: drawing from or into them draws nothing,
// and they come and go like any other.
TEST(CreateAndReleaseImage, ZeroSizeScreensExistEmpty) {
    Game g(20, 10);
    g.run("#fillclr(0, rgb(9, 9, 9));\n#createimage(2, 3, 0, 0);\n#createimage(5, -4, 8);\n"
          "#bitblt(0, 0, 0, 20, 10, 2, 0, 0, 0);\n#fillclr(3, rgb(1, 2, 3));\n#bitblt(3, 0, 0, 4, 4, 0, 0, 0, 0);");
    for (int n : {2, 3, 5}) {
        EXPECT_TRUE(g.screen(n).exists()) << n;
        EXPECT_EQ(g.screen(n).width * g.screen(n).height, 0) << n;
    }
    EXPECT_EQ(g.screen(2).createdWidth, 0);
    EXPECT_EQ(g.screen(5).createdWidth, -4);
    const uint8_t* p = g.screen(0).row(0);
    EXPECT_EQ(p[0], 9);  // nothing was copied from the empty screen
    g.run("#releaseimage(2);");
    EXPECT_FALSE(g.screen(2).exists());
}
