// The window size a player gives a game's window on a real X server is the size it opens at
// next time; --scale decides for its own run without being remembered. Skipped without
// xvfb-run/xdotool.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "app/player_settings.h"
#include "core/user_dirs.h"
#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

TEST(XvfbSettings, TheWindowOpensAtTheSizeThePlayerLastGaveIt) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    TempDir game, config, io;
    game.write("start.ini", "");
    game.write("script.txt", "|top:\r\n#wait(50);\r\n#goto(\"top\");\r\n");
    // Three runs: resize the window, then look at its size with nothing asked, then with --scale 1.
    io.write("drive.sh",
             "#!/bin/sh\n"
             "run() {\n"
             "  XDG_CONFIG_HOME=\"$3\" \"$1\" $5 \"$2\" 2>>\"$4/err\" & pid=$!\n"
             "  for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.1; done\n"
             "  [ -n \"$w\" ] || { kill -9 $pid; echo nowindow; exit 5; }\n"
             // Waits on what it needs to see rather than for fixed times: a loaded machine is slow.
             "  if [ \"$6\" = resize ]; then\n"
             "    sleep 1; xdotool windowsize \"$w\" 900 700\n"
             "    for i in $(seq 100); do grep -qs WindowWidth=900 \"$3\"/yorvane/*.ini && break; sleep 0.1; done\n"
             "  fi\n"
             "  for i in $(seq 50); do\n"
             "    g=$(xdotool getwindowgeometry --shell \"$w\" | grep -E '^(WIDTH|HEIGHT)=' | tr '\\n' ' ')\n"
             "    case \"$g\" in \"WIDTH=$7 \"*) break;; esac; sleep 0.1\n"
             "  done\n"
             "  echo \"$g\" | tr -d '\\n' >>\"$4/sizes\"\n"
             "  echo >>\"$4/sizes\"\n"
             "  for k in 1 2 3 4 5; do\n"
             "    xdotool windowfocus \"$w\" 2>/dev/null; sleep 0.3; xdotool key Escape\n"
             "    for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
             "    kill -0 $pid 2>/dev/null || break\n"
             "  done\n"
             "  if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; exit 3; fi\n"
             "}\n"
             "run \"$1\" \"$2\" \"$3\" \"$4\" '' resize 900\n"
             "run \"$1\" \"$2\" \"$3\" \"$4\" '' '' 900\n"
             "run \"$1\" \"$2\" \"$3\" \"$4\" '--scale 1' '' 640\n");
    const std::string cmd = underXvfb() + "sh '" + (io.path() / "drive.sh").string() + "' '" YV_BINARY
                            "' '" + game.path().string() + "' '" + config.path().string() + "' '" +
                            io.path().string() + "' >'" + (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st)) << io.read("out");
    ASSERT_EQ(WEXITSTATUS(st), 0) << io.read("out") << io.read("err");
    const std::string sizes = io.read("sizes");
    std::vector<std::string> lines;
    for (size_t at = 0, nl; (nl = sizes.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(sizes.substr(at, nl - at));
    ASSERT_EQ(lines.size(), 3u) << sizes;
    EXPECT_EQ(lines[0], "WIDTH=900 HEIGHT=700 ") << sizes;
    EXPECT_EQ(lines[1], "WIDTH=900 HEIGHT=700 ") << sizes;
    EXPECT_EQ(lines[2].rfind("WIDTH=640 ", 0), 0u) << sizes;

    // What is kept is the picture area below the menu bar, and --scale did not replace it.
    const std::string key = user_dirs::canonicalGameFolder(game.path()).string();
    std::string why;
    const auto kept =
        parsePlayerSettings(config.read("yorvane/" + user_dirs::gameFolderKeyName(key) + ".ini"), key, why);
    ASSERT_TRUE(kept) << why;
    EXPECT_EQ(kept->windowWidth, 900);
    ASSERT_TRUE(kept->windowHeight);
    EXPECT_LT(*kept->windowHeight, 700);
    EXPECT_GT(*kept->windowHeight, 650);
}
