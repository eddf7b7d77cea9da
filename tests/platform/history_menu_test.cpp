// The history menu entry, end to end without a window: a page played by the script, then the
// player's pick of "履歴" lists it in the dialog.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/menus.h"
#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "test_util.h"

using namespace yv;

TEST(HistoryMenu, PickListsThePagesPlayed) {
    const std::string script =
        "#createtextf(2, 1);\r\n#loadtextf(\"text.txt\");\r\n#locatef(0, 40, 330);\r\n"
        "#locatef(1, 40, 364);\r\n#settextspeedf(0, -1);\r\n#settextspeedf(1, -1);\r\n"
        "#printtextf(0, 1);\r\n#printtextf(0, 2);\r\n#end();\r\n";
    TempDir dir;
    dir.write("start.ini", sjis("[FONT]\r\nName=ＭＳ ゴシック\r\nSize=24\r\n"));
    dir.write("script.txt", sjis(script));
    dir.write("text.txt", sjis("\"太郎\\u\",\"こんにちは\\u\";\r\n\"花子\\u\",\"一行目\\nニ行目\\u\";\r\n"));
    HeadlessPlatform platform;
    Options o;
    o.gameDir = dir.path();
    Shell shell(platform, o);
    std::string why;
    ASSERT_TRUE(shell.start(why)) << why;
    for (int i = 0; i < 5000 && shell.runtime().interp.threadActive; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(shell.runtime().interp.threadActive.load(), 0);
    platform.pickMenu(menuid::kHistory);
    platform.deliverPicks(shell);
    const auto log = platform.dialogLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "メッセージ履歴: 太郎　こんにちは");
    EXPECT_EQ(log[1], "メッセージ履歴: 花子　一行目");
    EXPECT_EQ(log[2], "メッセージ履歴: 　ニ行目");
}
