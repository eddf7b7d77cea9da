// The program on a real X server (Xvfb), driven by xdotool: Alt+Enter and F11 with the game
// taking clicks and keys after each switch, a signal during a message box, the exit's timing
// and an immediate relaunch, a resized window's clicks. Skipped without xvfb-run or xdotool.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <iostream>
#include <sstream>

#include "test_util.h"

using namespace yv;

namespace {

int var901(const TempDir& d) {
    for (const auto& [n, v] : readSystemDat(d.path() / "system.dat"))
        if (n == 901) return v;
    return -1;
}

// Runs `body` (sh) under Xvfb once the program shows its window: $pid is the program, $w its
// window, $io the folder of the files. Returns the exit status of the script.
int drive(const TempDir& game, const TempDir& io, const std::string& body, const std::string& args = "") {
    io.write("drive.sh",
             "#!/bin/sh\n"
             "io=\"$3\"\n"
             "ms() { echo $(( $(date +%s%N) / 1000000 )); }\n"
             "start() { \"$1\" " + args + " \"$2\" 2>>\"$io/err\" & pid=$!; w=''\n"
             "  for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.05; done; }\n"
             "geom() { xdotool getwindowgeometry \"$w\" | sed -n 's/.*Geometry: //p'; }\n"
             "start \"$1\" \"$2\"\n"
             "[ -n \"$w\" ] || { echo nowindow; kill -9 $pid; exit 3; }\n"
             "sleep 0.5; xdotool windowfocus \"$w\" 2>/dev/null; sleep 0.2\n" +
                 body +
                 "\nfor i in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.05; done\n"
                 "if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; exit 4; fi\n"
                 "wait $pid\n");
    const std::string cmd = underXvfb() + "sh '" + (io.path() / "drive.sh").string() + "' '" YV_BINARY
                            "' '" + game.path().string() + "' '" + io.path().string() + "' >'" +
                            (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

const char* kCountingScript = "|top:\r\n#mouseclickwait(1);\r\n@901 = @901 + 1;\r\n#goto(\"top\");\r\n";

}  // namespace

#define NEED_XVFB()                                                      \
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing"

TEST(XvfbWindow, AltEnterAndF11SwitchAndTheGameTakesInputAfterEach) {
    NEED_XVFB();
    TempDir d, io;
    d.write("start.ini", "");
    d.write("script.txt", kCountingScript);
    const int st = drive(d, io,
                         "xdotool key alt+Return; sleep 0.8; echo full $(geom)\n"
                         "xdotool mousemove --window \"$w\" 300 300 click 1; sleep 0.4\n"
                         "xdotool key F11; sleep 0.8; echo window $(geom)\n"
                         "xdotool windowfocus \"$w\"; sleep 0.2; xdotool key Return; sleep 0.4\n"
                         "xdotool key F11; sleep 0.8; echo full $(geom)\n"
                         "xdotool key F11; sleep 0.8\n"
                         "kill -TERM $pid\n");
    const std::string out = io.read("out");
    ASSERT_EQ(st, 0) << out << io.read("err");
    EXPECT_NE(out.find("full 1280x1024\nwindow 640x"), std::string::npos) << out;
    EXPECT_NE(out.find("\nfull 1280x1024"), std::string::npos) << out;
    // The click in full screen and Enter in the window counted; Alt+Enter did not.
    EXPECT_EQ(var901(d), 2) << out << io.read("err");
}

TEST(XvfbWindow, ASignalDuringAMessageBoxEndsTheRunWithinASecond) {
    NEED_XVFB();
    TempDir d, io;
    d.write("start.ini", "");
    d.write("script.txt", "@901 = 3;\r\n#messagebox(\"a box\", \"t\", mb_ok);\r\n" + std::string(kCountingScript));
    const int st = drive(d, io,
                         "sleep 0.5; t0=$(ms); kill -TERM $pid\n"
                         "wait $pid; s=$?; echo took $(( $(ms) - t0 )); exit $s\n");
    const std::string out = io.read("out");
    ASSERT_EQ(st, 0) << out << io.read("err");
    std::istringstream in(out.substr(out.find("took ") + 5));
    int ms = 99999;
    in >> ms;
    EXPECT_LT(ms, 1000) << out;
    EXPECT_EQ(var901(d), 3);
}

TEST(XvfbWindow, ExitFollowsTheWindowAtOnceAndARelaunchIsAccepted) {
    NEED_XVFB();
    TempDir d, io;
    d.write("start.ini", "");
    d.write("script.txt", "@901 = 9;\r\n" + std::string(kCountingScript));
    const int st = drive(d, io,
                         // (A signal and not a key: a busy X server may lose a key.)
                         "kill -TERM $pid; t0=$(ms)\n"
                         "for i in $(seq 2000); do xdotool search --onlyvisible --pid $pid >/dev/null 2>&1 || break; "
                         "sleep 0.005; done; t1=$(ms)\n"
                         "wait $pid; t2=$(ms)\n"
                         "echo gone $(( t1 - t0 )) exit $(( t2 - t1 ))\n"
                         "start \"$1\" \"$2\"; [ -n \"$w\" ] && echo relaunched\n"
                         "kill -TERM $pid\n");
    const std::string out = io.read("out");
    ASSERT_EQ(st, 0) << out << io.read("err");
    std::cout << "[ timing ] " << out.substr(0, out.find('\n')) << " ms\n";
    std::istringstream in(out.substr(out.find(" exit ") + 6));
    int ms = 99999;
    in >> ms;
    // Tens of milliseconds on a quiet machine; a busy shared test machine gets slack.
    EXPECT_LT(ms, 1500) << out;
    EXPECT_NE(out.find("relaunched"), std::string::npos) << out << io.read("err");
    EXPECT_EQ(io.read("err").find("already running"), std::string::npos) << io.read("err");
    EXPECT_EQ(var901(d), 9);
}

TEST(XvfbWindow, AResizedWindowShowsThePictureWithBarsAndTakesClicksInPlace) {
    NEED_XVFB();
    TempDir d, io;
    d.write("start.ini", "");
    // A click area around game pixel (400, 300) only.
    d.write("script.txt", "#mouseclickeventex();\r\n{\r\n396,296,404,304,\"hit\",\"\",1,0,-1\r\n}\r\n"
                          "|idle:\r\n#wait(50);\r\n#goto(\"idle\");\r\n"
                          "|hit:\r\n@901 = 1;\r\n" + std::string(kCountingScript));
    // The window 640 x 502 (a bar of 22) made 1000 x 622: the picture is 800 x 600 at x 100.
    const int st = drive(d, io,
                         "bar=$(( $(geom | cut -dx -f2) - 480 )); echo bar $bar\n"
                         "xdotool windowsize \"$w\" 1000 $(( 600 + bar )); sleep 0.8; echo size $(geom)\n"
                         "xdotool mousemove --window \"$w\" 600 $(( bar + 375 )) click 1; sleep 0.5\n"
                         "kill -TERM $pid\n");
    const std::string out = io.read("out");
    ASSERT_EQ(st, 0) << out << io.read("err");
    EXPECT_NE(out.find("size 1000x"), std::string::npos) << out;
    EXPECT_EQ(var901(d), 1) << out;
}

TEST(XvfbWindow, AScaleTooLargeForTheDesktopIsLoweredAndSaidSo) {
    NEED_XVFB();
    TempDir d, io;
    d.write("start.ini", "");
    d.write("script.txt", kCountingScript);
    const int st = drive(d, io, "echo size $(geom); xdotool getwindowgeometry \"$w\"\nkill -TERM $pid\n", "--scale 3");
    const std::string out = io.read("out");
    ASSERT_EQ(st, 0) << out << io.read("err");
    EXPECT_NE(out.find("size 640x"), std::string::npos) << out;  // 1920 would not fit 1280
    EXPECT_NE(out.find("Position: "), std::string::npos);
    EXPECT_EQ(out.find("Position: -"), std::string::npos) << out;
    EXPECT_NE(io.read("err").find("--scale 3 does not fit"), std::string::npos) << io.read("err");
}

TEST(XvfbWindow, TheAKeyPlaysPagesByThemselvesAndF12SavesPicturesInTheXdgFolder) {
    NEED_XVFB();
    TempDir d, io, pictures;
    d.write("start.ini", "");
    d.write("script.txt", sjis("#createtextf(1, 1);\r\n#locatef(0, 40, 400);\r\n#settextspeedf(0, -1);\r\n"
                               "@A = \"あ\\p\";\r\n#printtext(0);\r\n@901 = 1;\r\n"
                               "@A = \"い\\p\";\r\n#printtext(0);\r\n@901 = 2;\r\n"
                               "|idle:\r\n#wait(50);\r\n#goto(\"idle\");\r\n"));
    const char* old = std::getenv("XDG_PICTURES_DIR");
    const std::string kept = old ? old : "";
    setenv("XDG_PICTURES_DIR", pictures.path().c_str(), 1);
    // Each page waits 1560 ms once auto mode is on.
    const int st = drive(d, io, "xdotool key a; sleep 6\nxdotool key F12; sleep 0.3; xdotool key F12; sleep 0.5\n"
                                "kill -TERM $pid\n");
    old ? setenv("XDG_PICTURES_DIR", kept.c_str(), 1) : unsetenv("XDG_PICTURES_DIR");
    ASSERT_EQ(st, 0) << io.read("out") << io.read("err");
    EXPECT_EQ(var901(d), 2) << io.read("err");
    std::vector<std::string> shots;
    for (const auto& e : std::filesystem::directory_iterator(pictures.path() / "Yorvane"))
        shots.push_back(e.path().filename().string());
    ASSERT_EQ(shots.size(), 2u) << io.read("err");
    for (const std::string& s : shots) {
        EXPECT_EQ(s.rfind(d.path().filename().string() + "-", 0), 0u) << s;
        const Picture p = readPng(pictures.path() / "Yorvane" / s);
        EXPECT_EQ(p.w, 640);
        EXPECT_EQ(p.h, 480);
    }
}
