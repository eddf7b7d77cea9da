// テキストをコピー in a real window: the page's text is on the X clipboard, as another program
// (xclip) reads it, once the page has been shown. Skipped without Xvfb, xdotool, xwd or xclip.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/player_settings.h"
#include "x_screen.h"

using namespace yv;

TEST(XvfbClipboard, APageShownIsWhatAnotherProgramPastes) {
    std::string missing = missingXTools(false);
    if (missing.empty() && !have("xclip")) missing = "xclip missing (scripts/setup.sh installs it)";
    if (!missing.empty()) GTEST_SKIP() << missing;
    TempDir game, io, data;
    game.write("start.ini", "[WindowSize]\r\nRight=320\r\nBottom=240\r\n");
    game.write("t.txt", sjis("\"アリス\",\"一頁目\\nです\\p\";\r\n\"ボブ\",\"二頁目\\p\";\r\n"));
    game.write("script.txt",
               "#createtextf(2, 2);\r\n#loadtextf(\"t.txt\");\r\n#locatef(0, 20, 20);\r\n#locatef(1, 20, 120);\r\n"
               "#settextspeedf(0, -1);\r\n#settextspeedf(1, -1);\r\n#settextprintf(1, rgb(255, 255, 255));\r\n"
               "#printtextf(0, 1);\r\n#printtextf(0, 2);\r\n#end();\r\n");
    // The player turned the entry on in an earlier session.
    ::setenv("XDG_CONFIG_HOME", data.path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    PlayerSettingsFile::open(game.path()).change([](PlayerSettings& s) { s.copyText = true; }, 0);
    const std::string out = runOnX(game, io, false,
                                   "start --scale 1; sleep 1\n"
                                   "echo \"first: $(xclip -o -selection clipboard)|\"\n"
                                   "xdotool windowfocus \"$w\"; sleep 0.3; xdotool key Return; sleep 0.8\n"
                                   "echo \"second: $(xclip -o -selection clipboard)|\"\n"
                                   "stop\n");
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
    ASSERT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
    // The page's line break stays; the speaker's name comes first, as the history shows it.
    EXPECT_NE(out.find("first: アリス　一頁目\nです|"), std::string::npos) << out << io.read("err");
    EXPECT_NE(out.find("second: ボブ　二頁目|"), std::string::npos) << out << io.read("err");
}
