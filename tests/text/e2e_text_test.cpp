// Message text through the real program: a page in each text type, compared with a kept picture.
#include <png.h>

#include <cstdlib>
#include <filesystem>

#include "test_util.h"

#include <gtest/gtest.h>

using namespace yv;
namespace fs = std::filesystem;

namespace {

// The picture under the text: a 640 x 480 24-bit BMP with a colour ramp, made here.
std::string rampBmp() {
    const int w = 640, h = 480;
    const uint32_t size = 54 + w * h * 3;
    std::string b(54, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 24;
    for (int row = 0; row < h; ++row) {  // bottom-up
        const int y = h - 1 - row;
        for (int x = 0; x < w; ++x) {
            b += static_cast<char>(160 - y / 4);       // blue
            b += static_cast<char>(40 + y * 120 / h);  // green
            b += static_cast<char>(x * 200 / w);       // red
        }
    }
    return b;
}

// A page of two items over a picture: a name shown at once and a message typed after it; both
// end with \u so that the page stays on the screen when the script ends.
void writeGame(const TempDir& dir, int type) {
    dir.write("bg.bmp", rampBmp());
    dir.write("start.ini", sjis("[WindowTitle]\r\nTitle=text\r\n[FONT]\r\nName=ＭＳ ゴシック\r\nSize=24\r\n"
                                "Hold=700\r\n[TEXT]\r\nSpeed=20\r\n"));
    dir.write("text.txt", sjis("\"坊っちゃん\\u\",\"親譲りの無鉄砲で小供の時から損ばかりしている。小学校に居る時分"
                               "学校の二階から飛び降りて一週間ほど腰を抜かした事がある。\\u\";\r\n"));
    dir.write("script.txt",
              sjis("#loadimage(2, \"bg.bmp\");\r\n#bitblt(1, 0, 0, 640, 480, 2, 0, 0, 0);\r\n#paint();\r\n"
                   "#createtextf(2, 1);\r\n#loadtextf(\"text.txt\");\r\n#locatef(0, 40, 330);\r\n"
                   "#locatef(1, 40, 364);\r\n#settextspeedf(0, -1);\r\n#setmessagelength(1, 22);\r\n"
                   "#setdefaultcolor(0, rgb(255, 220, 120));\r\n#settextprintf(1, rgb(255, 255, 255));\r\n"
                   "#settexttype(" + std::to_string(type) + ", rgb(40, 60, 200));\r\n"
                   "#printtextf(0, 1);\r\n#end();\r\n"));
}

}  // namespace

TEST(TextEndToEnd, PageInEachTextType) {
    for (int type = 0; type <= 4; ++type) {
        TempDir dir;
        writeGame(dir, type);
        const fs::path shot = dir.path() / "shot.png";
        const RunResult r = runYorvane({"--headless", "--max-seconds", "20", "--screenshot", shot.string(),
                                        dir.path().string()});
        ASSERT_EQ(r.status, 0) << r.err;
        const Picture pic = readPng(shot);
        ASSERT_EQ(pic.w, 640);
        // The picture stays as it was above the message area; text changes the area below.
        size_t lit = 0, above = 0;
        for (int y = 0; y < pic.h; ++y)
            for (int x = 0; x < pic.w; ++x) {
                const uint8_t* q = &pic.rgb[static_cast<size_t>(y * pic.w + x) * 3];
                const bool same = q[0] == x * 200 / 640 && q[1] == 40 + y * 120 / 480 && q[2] == 160 - y / 4;
                if (!same) (y < 320 ? above : lit)++;
            }
        EXPECT_EQ(above, 0u) << type;
        EXPECT_GT(lit, 3000u) << type;
        if (const char* keep = std::getenv("YV_TEXT_SHOTS"))
            fs::copy_file(shot, fs::path(keep) / ("type" + std::to_string(type) + ".png"),
                          fs::copy_options::overwrite_existing);
        if (type == 4) {
            const Picture want = readPng(fs::path(YV_SOURCE_DIR) / "tests/text/data/outline_page.png");
            ASSERT_EQ(want.w, 640) << "expected picture missing";
            EXPECT_TRUE(want.rgb == pic.rgb) << "the outlined page differs from tests/text/data/outline_page.png";
        }
    }
}

TEST(TextEndToEnd, InstantPageEndingWithEStaysOnTheScreen) {
    TempDir dir;
    dir.write("start.ini", sjis("[WindowTitle]\r\nTitle=text\r\n[FONT]\r\nName=ＭＳ ゴシック\r\nSize=24\r\n"));
    dir.write("text.txt", sjis("\"あいう\\e\";\r\n"));
    dir.write("script.txt", sjis("#createtextf(1, 1);\r\n#loadtextf(\"text.txt\");\r\n#settextspeedf(0, -1);\r\n"
                                 "#locatef(0, 0, 100);\r\n#printtextf(0, 1);\r\n#wait(500);\r\n#end();\r\n"));
    const fs::path shot = dir.path() / "shot.png";
    const RunResult r = runYorvane({"--headless", "--max-seconds", "20", "--screenshot", shot.string(),
                                    dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const Picture pic = readPng(shot);
    ASSERT_EQ(pic.w, 640);
    size_t inside = 0, outside = 0;
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x) {
            const uint8_t* q = pic.at(x, y);
            if (q[0] + q[1] + q[2] != 0) (y >= 100 && y < 124 ? inside : outside)++;
        }
    EXPECT_GT(inside, 200u);  // three characters in white
    EXPECT_EQ(outside, 0u);
}
