// The history menu entry, end to end without a window: a page played by the script, then the
// player's pick of "履歴" lists it in the dialog.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ui/menus.h"
#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "test_util.h"

using namespace yv;

TEST(HistoryMenu, PickListsThePagesPlayed) {
    const std::string script =
        "#createtextf(2, 2);\r\n#loadtextf(\"text.txt\");\r\n#locatef(0, 40, 330);\r\n"
        "#locatef(1, 40, 364);\r\n#settextspeedf(0, -1);\r\n#settextspeedf(1, -1);\r\n"
        "#printtextf(0, 1);\r\n#printtextf(1, 1);\r\n#printtextf(0, 2);\r\n#printtextf(1, 2);\r\n#messagebox(\"read\");\r\n"
        "|top:\r\n#wait(100);\r\n#goto(\"top\");\r\n";
    TempDir dir;
    dir.write("start.ini", sjis("[FONT]\r\nName=ＭＳ ゴシック\r\nSize=24\r\n"));
    dir.write("script.txt", sjis(script));
    dir.write("text.txt", sjis("\"太郎\\u\",\"こんにちは\\u\";\r\n\"花子\\u\",\"一行目\\nニ行目\\u\";\r\n"));
    HeadlessPlatform platform;
    Options o;
    o.gameDir = dir.path();
    o.maxSeconds = 20;
    Shell shell(platform, o);
    std::string why;
    ASSERT_TRUE(shell.start(why)) << why;
    auto logged = [&](size_t n) {
        for (int i = 0; i < 10000; ++i) {
            if (platform.dialogLog().size() >= n) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    };
    // The player picks the entry once the pages have been read.
    std::thread player([&] {
        if (logged(1)) platform.pickMenu(ui::menuid::kHistory);
        logged(2);
        platform.requestClose();
    });
    EXPECT_EQ(shell.run(), 0);
    player.join();
    const auto log = platform.dialogLog();
    ASSERT_EQ(log.size(), 4u) << (log.empty() ? "" : log.back());
    EXPECT_EQ(log[0], "Yorvane: read");
    EXPECT_EQ(log[1], "メッセージ履歴: 太郎　こんにちは");
    EXPECT_EQ(log[2], "メッセージ履歴: 花子　一行目");
    EXPECT_EQ(log[3], "メッセージ履歴: 　ニ行目");
}
