// The launcher on a real X server: started without a game in a folder that holds none, it
// shows why a typed folder cannot be played and stays, then plays the folder typed next, the
// game joins the recent list and, once it has ended, the launcher is back. Skipped without
// xvfb-run/xdotool.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "app/recent_games.h"
#include "core/user_dirs.h"
#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

TEST(Launcher, ATypedFolderStartsTheGameAfterAWrongOneWasRefused) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    TempDir game, nowhere, config, io;
    game.write("start.ini", "[WindowTitle]\r\nTitle=Launched\r\n");
    game.write("script.txt", "@901 = 7;\r\n#breakapp();\r\n");
    const std::string missing = (nowhere.path() / "not-here").string();
    io.write("drive.sh",
             "#!/bin/sh\n"
             "cd \"$2\" && XDG_CONFIG_HOME=\"$3\" \"$1\" 2>\"$4/err\" & pid=$!\n"
             "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.1; done\n"
             "[ -n \"$w\" ] || { kill -9 $pid; echo nowindow; exit 5; }\n"
             "sleep 1\n"
             "xdotool windowfocus \"$w\"; sleep 0.3\n"
             "xdotool type --delay 20 \"$5\"; xdotool key Return; sleep 1\n"
             "kill -0 $pid 2>/dev/null || { echo gone; exit 4; }\n"
             "xdotool type --delay 20 \"$6\"; xdotool key Return\n"
             // The game ends by its script and gives the launcher back; SIGTERM then ends it all.
             "for i in $(seq 200); do [ -f \"$6/system.dat\" ] && break; sleep 0.1; done\n"
             "sleep 1\n"
             "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.1; done\n"
             "[ -n \"$w\" ] && echo launcher-back\n"
             "kill -TERM $pid\n"
             "for i in $(seq 200); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
             "if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; exit 3; fi\n"
             "wait $pid\n");
    const std::string cmd = underXvfb() + "sh '" + (io.path() / "drive.sh").string() + "' '" YV_BINARY
                            "' '" + nowhere.path().string() + "' '" + config.path().string() + "' '" +
                            io.path().string() + "' '" + missing + "' '" + game.path().string() + "' >'" +
                            (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st)) << io.read("out");
    EXPECT_EQ(WEXITSTATUS(st), 0) << io.read("out") << io.read("err");
    EXPECT_NE(io.read("out").find("launcher-back"), std::string::npos) << io.read("out") << io.read("err");
    // The wrong folder was refused with the start-up message, and the game then played.
    EXPECT_NE(io.read("err").find("the game folder " + missing + " does not exist"), std::string::npos)
        << io.read("err");
    const auto vars = readSystemDat(game.path() / "system.dat");
    ASSERT_EQ(vars.size(), 1u) << io.read("err");
    EXPECT_EQ(vars[0], std::make_pair(901, 7));

    std::string why;
    const auto recentGames = recent::parse(config.read("yorvane/recent.ini"), why);
    ASSERT_TRUE(recentGames) << why << io.read("err");
    EXPECT_EQ(*recentGames, std::vector<fs::path>{user_dirs::canonicalGameFolder(game.path())});
}

// SIGTERM closes the launcher as its window's close does: the program ends with status 0, as a
// game does on the same signal.
TEST(Launcher, SigtermClosesItWithStatusZero) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    TempDir nowhere, config, io;
    io.write("drive.sh",
             "#!/bin/sh\n"
             "cd \"$2\" && XDG_CONFIG_HOME=\"$3\" \"$1\" 2>\"$4/err\" & pid=$!\n"
             "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.1; done\n"
             "[ -n \"$w\" ] || { kill -9 $pid; echo nowindow; exit 5; }\n"
             "sleep 0.5; kill -TERM $pid\n"
             "for i in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
             "if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; exit 3; fi\n"
             "wait $pid; echo status $?\n");
    const std::string cmd = underXvfb() + "sh '" + (io.path() / "drive.sh").string() + "' '" YV_BINARY "' '" +
                            nowhere.path().string() + "' '" + config.path().string() + "' '" + io.path().string() +
                            "' >'" + (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st)) << io.read("out");
    EXPECT_EQ(WEXITSTATUS(st), 0) << io.read("out") << io.read("err");
    EXPECT_NE(io.read("out").find("status 0"), std::string::npos) << io.read("out") << io.read("err");
}

// A recent game left before its end has a 続きから button: it goes on where the game was left
// (the statements before that page do not run again), and closing the game gives the launcher
// back. The launcher's picture is left in /tmp/shots-resume/.
TEST(Launcher, ContinueGoesOnWhereTheGameWasLeft) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    TempDir game, nowhere, config, data, io;
    game.write("start.ini", "[WindowTitle]\r\nTitle=Launched\r\n");
    // @905 counts the starts from the top.
    game.write("script.txt", "@905 = @905 + 1;\r\n#systemsave();\r\n#fillclr(1, rgb(200, 30, 30));\r\n#paint();\r\n"
                             "#mouseclickwait(1);\r\n#end();\r\n");
    config.write("yorvane/recent.ini", "[Recent]\nGame=" + game.path().string() + "\n");
    std::filesystem::create_directories("/tmp/shots-resume");
    io.write("drive.sh",
             "#!/bin/sh\n"
             "XDG_DATA_HOME=\"$4\" \"$1\" --headless --max-seconds 1 \"$5\" 2>\"$3/err0\"\n"
             "ls \"$4\"/yorvane/*/resume.sav >/dev/null || exit 6\n"
             "cd \"$2\" && XDG_CONFIG_HOME=\"$6\" XDG_DATA_HOME=\"$4\" YORVANE_WINDOW_SHOT=/tmp/shots-resume/launcher.png "
             "\"$1\" 2>\"$3/err\" & pid=$!\n"
             "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.1; done\n"
             "[ -n \"$w\" ] || { kill -9 $pid; echo nowindow; exit 5; }\n"
             "sleep 1\n"
             "xdotool windowfocus \"$w\"; sleep 0.3; xdotool key F12; sleep 0.5\n"
             // The button at the right end of the first row (640 x 460 window).
             "xdotool mousemove --window \"$w\" 573 58 click 1; sleep 2\n"
             "g=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1)\n"
             "[ -n \"$g\" ] && [ \"$g\" != \"$w\" ] && echo game-window\n"
             "xdotool windowfocus \"$g\"; sleep 0.3; xdotool key Escape; sleep 2\n"
             "for i in $(seq 100); do l=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$l\" ] && [ \"$l\" != \"$g\" ] && break; l=; sleep 0.1; done\n"
             "[ -n \"$l\" ] && echo launcher-back\n"
             "kill -TERM $pid\n"
             "for i in $(seq 200); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
             "if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; exit 3; fi\n"
             "wait $pid; echo status $?\n");
    const std::string cmd = underXvfb() + "sh '" + (io.path() / "drive.sh").string() + "' '" YV_BINARY "' '" +
                            nowhere.path().string() + "' '" + io.path().string() + "' '" + data.path().string() +
                            "' '" + game.path().string() + "' '" + config.path().string() + "' >'" +
                            (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st)) << io.read("out");
    EXPECT_EQ(WEXITSTATUS(st), 0) << io.read("out") << io.read("err");
    const std::string out = io.read("out");
    EXPECT_NE(out.find("game-window"), std::string::npos) << out << io.read("err");
    EXPECT_NE(out.find("launcher-back"), std::string::npos) << out << io.read("err");
    EXPECT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
    // Continued: the first statements ran once, in the headless run.
    EXPECT_EQ(readSystemDat(game.path() / "system.dat"), (std::vector<std::pair<int, int>>{{905, 1}}))
        << out << io.read("err");
}

// The folder chooser, by keys alone: Ctrl+O opens it where the launcher was started, the arrow
// keys and Enter go into a folder, and Enter on the folder marked as a game plays it. Its
// picture is left in /tmp/shots-launcher/chooser.png.
TEST(Launcher, TheFolderChooserFindsAGameInAFolderBelow) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    TempDir root, config, io;
    root.write("a-not-a-game/readme.txt", "");
    root.write(".hidden/start.ini", "");
    const fs::path game = root.path() / "Games" / "ゲーム";
    root.write("Games/ゲーム/START.INI", "");
    root.write("Games/ゲーム/script.txt", "@901 = 5;\r\n#breakapp();\r\n");
    root.write("Games/notes/x.txt", "");
    std::filesystem::create_directories("/tmp/shots-launcher");
    io.write("drive.sh",
             "#!/bin/sh\n"
             "cd \"$2\" && XDG_CONFIG_HOME=\"$3\" YORVANE_WINDOW_SHOT=/tmp/shots-launcher/chooser.png \"$1\" "
             "2>\"$4/err\" & pid=$!\n"
             "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.1; done\n"
             "[ -n \"$w\" ] || { kill -9 $pid; echo nowindow; exit 5; }\n"
             "sleep 1; xdotool windowfocus \"$w\"; sleep 0.3\n"
             // Rows: .., a-not-a-game, Games (no game at the top: the first row is highlighted).
             "xdotool key ctrl+o; sleep 0.5; xdotool key Down; sleep 0.2; xdotool key Down; sleep 0.2\n"
             "xdotool key Return; sleep 0.5; xdotool key F12; sleep 0.5\n"
             // In Games the game is highlighted at once.
             "xdotool key Return\n"
             "for i in $(seq 200); do [ -f \"$5/system.dat\" ] && break; sleep 0.1; done\n"
             "[ -f \"$5/system.dat\" ] && echo played\n"
             "sleep 1; kill -TERM $pid\n"
             "for i in $(seq 200); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
             "if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; exit 3; fi\n"
             "wait $pid; echo status $?\n");
    const std::string cmd = underXvfb() + "sh '" + (io.path() / "drive.sh").string() + "' '" YV_BINARY "' '" +
                            root.path().string() + "' '" + config.path().string() + "' '" + io.path().string() +
                            "' '" + game.string() + "' >'" + (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st)) << io.read("out");
    const std::string out = io.read("out");
    EXPECT_EQ(WEXITSTATUS(st), 0) << out << io.read("err");
    EXPECT_NE(out.find("played"), std::string::npos) << out << io.read("err");
    EXPECT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
    EXPECT_EQ(readSystemDat(game / "system.dat"), (std::vector<std::pair<int, int>>{{901, 5}})) << io.read("err");
}
