// The launcher in the desktop's language on a real X server: it opens in English and in
// Japanese, and the two pictures differ only where the words do. The pictures are left in
// /tmp/launcher-language/ (en.png, ja.png; screen-*.png from xwd) to be looked at. Skipped
// without xvfb-run/xdotool.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// The launcher's picture (its F12) under `locale`, or an empty picture; what the run printed.
Picture launcherIn(const std::string& locale, const TempDir& game, std::string& log) {
    TempDir nowhere, config, io;
    config.write("yorvane/recent.ini",
                 "[Recent]\nGame=" + game.path().string() + "\nGame=" + (nowhere.path() / "gone").string() + "\n");
    const std::string shot = "/tmp/launcher-language/" + locale.substr(0, 2) + ".png";
    fs::remove(shot);
    io.write("drive.sh",
             "#!/bin/sh\n"
             "cd \"$2\" && env -u LC_ALL -u LANGUAGE LANG=\"$5\" XDG_CONFIG_HOME=\"$3\" YORVANE_WINDOW_SHOT=\"$6\" "
             "\"$1\" 2>\"$4/err\" & pid=$!\n"
             "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.1; done\n"
             "[ -n \"$w\" ] || { kill -9 $pid; echo nowindow; exit 5; }\n"
             "sleep 1; xdotool windowfocus \"$w\"; sleep 0.3; xdotool key F12; sleep 0.5\n"
             "command -v convert >/dev/null && xwd -root -silent | convert xwd:- /tmp/launcher-language/screen-\"$7\".png\n"
             "kill -TERM $pid\n"
             "for i in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
             "if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; exit 3; fi\n"
             "wait $pid; echo status $?\n");
    const std::string cmd = underXvfb() + "sh '" + (io.path() / "drive.sh").string() + "' '" YV_BINARY "' '" +
                            nowhere.path().string() + "' '" + config.path().string() + "' '" + io.path().string() +
                            "' '" + locale + "' '" + shot + "' '" + locale.substr(0, 2) + "' >'" +
                            (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    log = io.read("out") + io.read("err");
    if (!WIFEXITED(st) || WEXITSTATUS(st) != 0) return {};
    return readPng(shot);
}

// How many of the pixels in the rows [top, bottom) differ.
int differing(const Picture& a, const Picture& b, int top, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < a.w; ++x)
            if (a.at(x, y)[0] != b.at(x, y)[0] || a.at(x, y)[1] != b.at(x, y)[1] || a.at(x, y)[2] != b.at(x, y)[2]) ++n;
    return n;
}

}  // namespace

TEST(LauncherLanguage, OpensInEnglishAndInJapanese) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    fs::create_directories("/tmp/launcher-language");
    TempDir game;
    game.write("start.ini", "[WindowTitle]\r\nTitle=Launched\r\n");
    game.write("script.txt", "#end();\r\n");
    std::string enLog, jaLog;
    const Picture en = launcherIn("en_US.UTF-8", game, enLog);
    const Picture ja = launcherIn("ja_JP.UTF-8", game, jaLog);
    EXPECT_NE(enLog.find("status 0"), std::string::npos) << enLog;
    EXPECT_NE(jaLog.find("status 0"), std::string::npos) << jaLog;
    ASSERT_GT(en.w, 0) << enLog;
    ASSERT_EQ(en.w, ja.w) << jaLog;
    ASSERT_EQ(en.h, ja.h);
    // The first line is the list's label: its words differ; the game's own name does not.
    EXPECT_GT(differing(en, ja, 0, 30), 20);
}
