// The program on a real X server (Xvfb): closing the window with Escape in the middle of a
// script stops the interpreter cleanly and writes system.dat. Skipped without xvfb-run/xdotool.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "test_util.h"

using namespace yv;

TEST(Xvfb, EscapeClosesMidScriptAndWritesSystemDat) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    TempDir d;
    d.write("start.ini", "[WindowScreen]\r\nPOPMENU=1\r\n");
    d.write("script.txt", "@901 = 42;\r\n|top:\r\n#wait(50);\r\n#goto(\"top\");\r\n");
    TempDir io;
    io.write("drive.sh",
             "#!/bin/sh\n"
             "\"$1\" \"$2\" 2>\"$3/err\" & pid=$!\n"
             "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.1; done\n"
             "sleep 1\n"
             // A busy machine may miss the first key: press again while the program lives.
             "for k in 1 2 3 4 5; do\n"
             "  xdotool windowfocus \"$w\" 2>/dev/null; sleep 0.3\n"
             "  xdotool key Escape\n"
             "  for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
             "  kill -0 $pid 2>/dev/null || break\n"
             "done\n"
             "if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; exit 3; fi\n"
             "wait $pid\n");
    const std::string cmd = underXvfb() + "sh '" +
                            (io.path() / "drive.sh").string() + "' '" YV_BINARY "' '" + d.path().string() +
                            "' '" + io.path().string() + "' >'" + (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st)) << io.read("out");
    EXPECT_EQ(WEXITSTATUS(st), 0) << io.read("out") << io.read("err");
    const auto vars = readSystemDat(d.path() / "system.dat");
    ASSERT_EQ(vars.size(), 1u) << io.read("err");
    EXPECT_EQ(vars[0], std::make_pair(901, 42));
}

// Started from a desktop (stderr not a terminal), a start that fails shows its reason in a box
// as well, and the program ends once the box is answered; from a terminal only stderr says it.
TEST(Xvfb, AStartupFailureOffATerminalShowsItsBox) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    TempDir io;
    io.write("drive.sh",
             "#!/bin/sh\n"
             "unset YORVANE_ERROR_BOX\n"
             "\"$1\" \"$2/no such game\" 2>\"$2/err\" & pid=$!\n"
             "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
             "[ -n \"$w\" ] && echo box $(xdotool getwindowname \"$w\")\n"
             "for k in 1 2 3 4 5; do\n"
             "  kill -0 $pid 2>/dev/null || break\n"
             "  xdotool windowfocus \"$w\" 2>/dev/null; sleep 0.3; xdotool key Return\n"
             "  for i in $(seq 30); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
             "done\n"
             "if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; exit 3; fi\n"
             "wait $pid; echo status $?\n");
    const std::string cmd = underXvfb() + "sh '" + (io.path() / "drive.sh").string() + "' '" YV_BINARY "' '" +
                            io.path().string() + "' >'" + (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st)) << io.read("out");
    const std::string out = io.read("out");
    EXPECT_EQ(WEXITSTATUS(st), 0) << out;
    EXPECT_NE(out.find("box Yorvane"), std::string::npos) << out;
    EXPECT_NE(out.find("status 1"), std::string::npos) << out;
    EXPECT_NE(io.read("err").find("no such game"), std::string::npos) << io.read("err");
}
