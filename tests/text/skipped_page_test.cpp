// A page skipped with Ctrl shows what the same page shows when it is read: the speaker's name
// (drawn at once) stays above the message that would have typed after it.
#include <gtest/gtest.h>

#include <algorithm>

#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// examples/demo's story: three pages of a name row and a message row, the third in another
// text type; each typed message ends at a click wait.
void writeGame(const TempDir& dir, int type) {
    dir.write("start.ini", sjis("[FONT]\r\nName=ＭＳ ゴシック\r\nSize=24\r\n[TEXT]\r\nSpeed=20\r\nWait=600\r\n"));
    dir.write("text.txt", sjis("\"坊っちゃん\",\"親譲りの無鉄砲で小供の時から損ばかりしている。\\p\";\r\n"
                               "\"坊っちゃん\",\"なぜそんな無闇をしたと聞く人があるかも知れぬ。\\w別段深い理由でもない。\\p\";\r\n"
                               "\"語り手\",\"\\c(160,220,255)Yorvane\\c() は文字を一つずつ書きます。\\p\";\r\n"));
    dir.write("script.txt",
              sjis("#createtextf(2, 3);\r\n#loadtextf(\"text.txt\");\r\n#locatef(0, 40, 330);\r\n"
                   "#locatef(1, 40, 362);\r\n#settextspeedf(0, -1);\r\n#settextspeedf(1, 20);\r\n"
                   "#setdefaultcolor(0, rgb(255, 220, 120));\r\n#settextprintf(1, rgb(255, 255, 255));\r\n"
                   "#settexttype(4, rgb(30, 40, 120));\r\n#printtextf(0, 1);\r\n#printtextf(0, 2);\r\n"
                   "#settexttype(" + std::to_string(type) + ");\r\n#printtextf(0, 3);\r\n#end();\r\n"));
}

Picture shot(const TempDir& dir, const std::vector<std::string>& keys, const std::string& name) {
    // Clicks at 3 s and 6 s pass the first two pages; the third waits at its \p by 8 s.
    std::vector<std::string> args{"--headless", "--click", "10,10@3000", "--click", "10,10@6000",
                                  "--max-seconds", "8", "--screenshot", (dir.path() / name).string()};
    args.insert(args.end(), keys.begin(), keys.end());
    args.push_back(dir.path().string());
    const RunResult r = runYorvane(args);
    EXPECT_EQ(r.status, 124) << r.err;  // waiting at the page's \p
    return readPng(dir.path() / name);
}

size_t litIn(const Picture& p, int top, int bottom) {
    size_t n = 0;
    for (int y = top; y < bottom && y < p.h; ++y)
        for (int x = 0; x < p.w; ++x)
            if (p.at(x, y)[0] + p.at(x, y)[1] + p.at(x, y)[2] != 0) ++n;
    return n;
}

}  // namespace

TEST(SkippedPage, ShowsTheNameAsTheReadPageDoes) {
    for (int type : {1, 4}) {
        TempDir dir, unread;
        writeGame(dir, type);
        writeGame(unread, type);
        const Picture read = shot(dir, {}, "read.png");
        // Skipped in a copy its player has never read: Ctrl held would fast-forward through
        // the pages read in the first run.
        const Picture skipped = shot(unread, {"--key", "Left Ctrl@0,down"}, "skipped.png");
        ASSERT_EQ(read.w, 640) << type;
        ASSERT_EQ(skipped.w, 640) << type;
        EXPECT_GT(litIn(read, 330, 356), 100u) << type;  // the name
        EXPECT_GT(litIn(read, 362, 390), 100u) << type;  // the message
        // The name's rows as the read page has them. Below, left of the click-wait icon (it
        // blinks on the clock, and the read page reached its wait later), the message too: an
        // outline typed cell by cell blends a few edge pixels again where cells overlap, so
        // outlined text (type 4) is held to its ink only.
        auto same = [&](int top, int bottom) {
            for (int y = top; y < bottom; ++y)
                for (int x = 0; x < 490; ++x)
                    if (!std::equal(read.at(x, y), read.at(x, y) + 3, skipped.at(x, y))) return false;
            return true;
        };
        EXPECT_TRUE(same(0, 358)) << "text type " << type;
        if (type == 1) {
            EXPECT_TRUE(same(358, read.h));
        }
        const double inkRead = static_cast<double>(litIn(read, 358, 400)), inkSkipped = static_cast<double>(litIn(skipped, 358, 400));
        EXPECT_NEAR(inkSkipped / inkRead, 1.0, 0.15) << "text type " << type;
    }
}
