// A page of text in each text type over a picture: the picture stays where no text stands.
// With YV_TEXT_SHOTS set to a folder, the shown frames are written there as PNG files.
#include <cstdlib>

#include "graphics/png_write.h"
#include "text/font.h"
#include "text/renderer.h"
#include "text_fixture.h"

using namespace yv;

namespace {

class TextOverPicture : public TextFixture {};

// A sky-to-field gradient with a sun, drawn straight into the screen.
void paintPicture(Screen& s) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            uint8_t* q = s.row(y) + static_cast<size_t>(x) * 3;
            const int dx = x - 470, dy = y - 120;
            if (dx * dx + dy * dy < 60 * 60) {
                q[0] = 60, q[1] = 200, q[2] = 250;
            } else if (y < 260) {
                q[0] = static_cast<uint8_t>(255 - y / 3), q[1] = static_cast<uint8_t>(150 + y / 4), q[2] = 90;
            } else {
                q[0] = 40, q[1] = static_cast<uint8_t>(120 + (x + y) % 40), q[2] = 60;
            }
        }
}

}  // namespace

TEST_F(TextOverPicture, EachTypeKeepsThePictureAroundTheText) {
    if (!text::font(*rt).loaded()) GTEST_SKIP() << "no Japanese font installed";
    for (int type = 0; type <= 4; ++type) {
        trace.clear();
        paintPicture(rt->screens.table[1]);
        paintPicture(rt->screens.table[0]);
        table(2, 1, 10, 22);
        rt->text.items[0].x = 40, rt->text.items[0].y = 320;
        rt->text.items[1].x = 40, rt->text.items[1].y = 354;
        cmd("settexttype", "(" + std::to_string(type) + ", rgb(40, 60, 200));");
        cmd("settextprintf", "(1, rgb(255, 255, 255));");
        rt->text.items[0].rows[0] = sjis("坊っちゃん\\u");
        rt->text.items[1].rows[0] = sjis("親譲りの無鉄砲で小供の時から損ばかりしている。小学校に居る時分学校の"
                                         "二階から飛び降りて一週間ほど腰を抜かした事がある。\\u");
        cmd("printtextf", "(0, 1);");
        ASSERT_GT(finish(), 50);  // typed one character a call

        int w = 0, hgt = 0;
        const std::vector<uint8_t> shown = p.shownFrame(w, hgt);
        ASSERT_EQ(w, 640);
        Screen pic;
        pic.allocate(640, 480);
        paintPicture(pic);
        // The sun and the sky are untouched; the text changed the field.
        EXPECT_TRUE(std::equal(shown.begin() + 640 * 3 * 200, shown.end(), pic.pixels.begin() + 640 * 3 * 200));
        size_t changed = 0;
        for (size_t i = 0; i < pic.pixels.size(); ++i) changed += shown[i] != pic.pixels[i];
        EXPECT_GT(changed, 5000u) << type;
        if (const char* keep = std::getenv("YV_TEXT_SHOTS"))
            writePng(std::string(keep) + "/picture_type" + std::to_string(type) + ".png", shown.data(), w, hgt);
    }
}
