// Whole games run headless by the real program: a scene composed with loadimage, bitblt, alphablt
// through a PNG mask and a transfade, checked through the --screenshot picture.
#include <gtest/gtest.h>

#include "gfx_util.h"

using namespace yv;
using namespace yv::test;

namespace {

// The screenshot as top-down rows of blue, green, red.
std::vector<Bgr> readShot(const std::filesystem::path& file, int& w, int& h) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    std::vector<Bgr> out;
    if (!png_image_begin_read_from_file(&img, file.c_str())) return out;
    img.format = PNG_FORMAT_BGR;
    w = static_cast<int>(img.width), h = static_cast<int>(img.height);
    out.resize(static_cast<size_t>(w) * h);
    png_image_finish_read(&img, nullptr, out.data(), 0, nullptr);
    return out;
}

void writeGame(TempDir& dir, int w, int h, const std::string& script) {
    dir.write("start.ini", "[WindowSize]\r\nLeft=0\r\nTop=0\r\nRight=" + std::to_string(w) + "\r\nBottom=" +
                               std::to_string(h) + "\r\n[FPS]\r\nFps=30\r\n");
    dir.write("script.txt", sjis(script));
}

}  // namespace

TEST(SceneEndToEnd, LoadBlitAlphaBlendAndCrossFadeShowTheComposedPicture) {
    TempDir dir;
    const int W = 36, H = 20;  // 36 * 3 = 108: a multiple of 4, and 20 rows
    std::vector<Bgr> bg;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) bg.push_back({static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 12), 40});
    dir.write("bg.bmp", bmp24(W, H, bg));
    // A 6 x 4 sprite: left half fully transparent, right half opaque, one half-transparent pixel.
    std::vector<uint8_t> rgba;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const uint8_t a = x < 3 ? 0 : (x == 4 && y == 2 ? 128 : 255);
            rgba.insert(rgba.end(), {250, 200, 10, a});
        }
    dir.write("sprite.png", pngRgba(6, 4, rgba));
    writeGame(dir, W, H,
              "#loadimage(2, \"bg.bmp\");\n"
              "#bitblt(1, 0, 0, 36, 20, 2, 0, 0, 0);\n"
              "#loadimage(3, \"sprite.png\", 4);\n"
              "#alphablt(1, 10, 5, 3, 4);\n"
              "#transfade(0, 64, 256);\n"
              "#end();\n");
    const auto shot = dir.path() / "shot.png";
    const RunResult r = runYorvane({"--headless", dir.path().string(), "--screenshot", shot.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    int w = 0, h = 0;
    const auto pic = readShot(shot, w, h);
    ASSERT_EQ(w, W);
    ASSERT_EQ(h, H);
    auto px = [&](int x, int y) { return pic[static_cast<size_t>(y) * W + x]; };
    EXPECT_EQ(px(0, 0), (Bgr{0, 0, 40}));
    EXPECT_EQ(px(35, 19), (Bgr{245, 228, 40}));
    // Where the PNG is transparent its pixels were copied (the blend reads the mask as
    // transparency); where it is opaque the background stays.
    EXPECT_EQ(px(10, 5), (Bgr{10, 200, 250}));
    EXPECT_EQ(px(12, 8), (Bgr{10, 200, 250}));
    EXPECT_EQ(px(13, 5), bg[5 * W + 13]);
    EXPECT_EQ(px(15, 8), bg[8 * W + 15]);
    // Mask 128: S(d, 128) + S(s, 127) per channel.
    const Bgr d = bg[7 * W + 14];
    const auto S = [](int a, int b) { return (a * b) >> 8; };
    EXPECT_EQ(px(14, 7), (Bgr{static_cast<uint8_t>(S(d.b, 128) + S(10, 127)), static_cast<uint8_t>(S(d.g, 128) + S(200, 127)),
                              static_cast<uint8_t>(S(d.r, 128) + S(250, 127))}));
}

TEST(SceneEndToEnd, FadeToBlackAndWipeEndOnTheirLastPicture) {
    TempDir dir;
    std::vector<Bgr> red(16 * 8, Bgr{0, 0, 255});
    dir.write("red.bmp", bmp24(16, 8, red));
    writeGame(dir, 16, 8,
              "#loadimage(1, \"red.bmp\");\n#paint();\n#fade(0, -32, 256);\n"
              "#createimage(5);\n#fillclr(5, rgb(0, 0, 200));\n#wipe(5, 4, 16, 2);\n#end();\n");
    const auto shot = dir.path() / "shot.png";
    const RunResult r = runYorvane({"--headless", dir.path().string(), "--screenshot", shot.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    int w = 0, h = 0;
    const auto pic = readShot(shot, w, h);
    ASSERT_EQ(pic.size(), 16u * 8u);
    for (const Bgr& p : pic) EXPECT_EQ(p, (Bgr{200, 0, 0}));
}

TEST(SceneEndToEnd, PictureLoaderIsQuietUnlessVerbose) {
    TempDir dir;
    dir.write("sprite.png", pngRgba(2, 2, std::vector<uint8_t>(16, 200)));
    dir.write("broken.png", pngRgba(2, 2, std::vector<uint8_t>(16, 200)).substr(0, 40));
    writeGame(dir, 8, 8, "#loadimage(2, \"sprite.png\");\n#loadimage(3, \"broken.png\");\n#end();\n");
    RunResult r = runYorvane({"--headless", dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    // The cut file fails within its header, before anything about it is said.
    const std::string diagnostics = "HaveTrns:0\nPNG_INTERLACE_NONE\nError : 7\n";
    r = runYorvane({"--headless", "--verbose", dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, diagnostics);

    r = runProgram("env", {"YORVANE_VERBOSE=1", YV_BINARY, "--headless", dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, diagnostics);
}
