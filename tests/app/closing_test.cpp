// Closing always works: a close, the time limit or a signal end the game at once whatever
// sleep the script is in, and the player's variables are written.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/instance.h"
#include "graphics/present.h"
#include "script/script_fixture.h"
#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// A message shown with ten minutes a character.
void writeSlowText(const TempDir& d) {
    d.write("start.ini", "");
    d.write("text.txt", "\"abcdefgh\";\r\n");
    d.write("script.txt",
            "@901 = 5;\r\n#createtextf(2, 1);\r\n#loadtextf(\"text.txt\");\r\n#locatef(0, 40, 330);\r\n"
            "#settextspeedf(0, 600000);\r\n#printtextf(0, 1);\r\n#end();\r\n");
}

// A shake of ten minutes a frame.
void writeLongShake(const TempDir& d) {
    d.write("start.ini", "");
    d.write("script.txt", "@901 = 5;\r\n#wipe(0, 1, 600000, 7);\r\n#end();\r\n");
}

// Waits (polling) up to `seconds` for the child; its wait status, or -1 if it still runs.
int waitChild(pid_t pid, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        int st = 0;
        if (::waitpid(pid, &st, WNOHANG) == pid) return st;
        if (std::chrono::steady_clock::now() > end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

pid_t spawnYorvane(const std::vector<std::string>& args, const fs::path& errFile) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(YV_BINARY));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (FILE* f = std::freopen(errFile.c_str(), "w", stderr)) (void)f;
        ::execv(YV_BINARY, argv.data());
        ::_exit(127);
    }
    return pid;
}

}  // namespace

// The time limit holds inside a sleep: the clicks scheduled after it are never fired, the run
// ends with the limit's status and the variables written.
TEST(Closing, TimeLimitEndsTenMinuteSleeps) {
    for (int which = 0; which < 3; ++which) {
        TempDir d;
        if (which == 0) writeSlowText(d);
        if (which == 1) writeLongShake(d);
        if (which == 2) {
            // A volume fade that never reaches 0 or 100 holds the script for ever.
            d.write("start.ini", "");
            d.write("script.txt", "@901 = 5;\r\n#fadevolumewait(0, 50);\r\n#end();\r\n");
        }
        const RunResult r = runYorvane({"--headless", "--auto-click", "100", "--max-seconds", "1",
                                        "--verbose", d.path().string()});
        EXPECT_EQ(r.status, 124) << which << r.err;
        const auto vars = readSystemDat(d.path() / "system.dat");
        ASSERT_EQ(vars.size(), 1u) << which;
        EXPECT_EQ(vars[0], std::make_pair(901, 5));
    }
}

TEST(Closing, SigtermEndsAHeadlessRunAsACloseDoes) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        TempDir d;
        d.write("start.ini", "");
        d.write("script.txt", "@901 = 9;\r\n#systemsave();\r\n|top:\r\n#wait(50);\r\n#goto(\"top\");\r\n");
        const pid_t pid = spawnYorvane({"--headless", d.path().string()}, d.path() / "err.txt");
        ASSERT_GT(pid, 0);
        // The script has run its first statements once their system.dat is there; the one the
        // close writes must come afresh.
        const fs::path dat = d.path() / "system.dat";
        for (int i = 0; i < 500 && !fs::exists(dat); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        fs::remove(dat);
        ::kill(pid, sig);
        int st = waitChild(pid, 30);
        if (st == -1) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &st, 0);
            FAIL() << "signal " << sig << " did not end the run";
        }
        ASSERT_TRUE(WIFEXITED(st)) << sig << " " << d.read("err.txt");
        EXPECT_EQ(WEXITSTATUS(st), 0) << d.read("err.txt");
        const auto vars = readSystemDat(d.path() / "system.dat");
        ASSERT_EQ(vars.size(), 1u) << d.read("err.txt");
        EXPECT_EQ(vars[0], std::make_pair(901, 9));
    }
}

// With a window and the real clock: SIGTERM or Escape in the middle of a ten-minute sleep ends
// the game within a few seconds, system.dat written.
TEST(Closing, SigtermOrEscapeUnderXvfbEndsTenMinuteSleeps) {
    if (!have("xvfb-run") || !have("xdotool")) GTEST_SKIP() << "xvfb-run or xdotool missing";
    for (int which = 0; which < 3; ++which) {
        TempDir d;
        which != 1 ? writeSlowText(d) : writeLongShake(d);
        const std::string close = which < 2 ? "kill -TERM $pid\n"
                                            : "xdotool windowfocus \"$w\" 2>/dev/null; sleep 0.3; xdotool key Escape\n";
        TempDir io;
        io.write("drive.sh",
                 "#!/bin/sh\n"
                 "\"$1\" \"$2\" 2>\"$3/err\" & pid=$!\n"
                 "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
                 "[ -n \"$w\" ] && break; sleep 0.1; done\n"
                 "sleep 1\n" +
                 close +
                 "for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
                 "if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; exit 3; fi\n"
                 "wait $pid\n");
        const std::string cmd = underXvfb() + "sh '" + (io.path() / "drive.sh").string() + "' '" YV_BINARY
                                "' '" + d.path().string() + "' '" + io.path().string() + "' >'" +
                                (io.path() / "out").string() + "' 2>&1";
        const int st = std::system(cmd.c_str());
        ASSERT_TRUE(WIFEXITED(st)) << io.read("out");
        EXPECT_EQ(WEXITSTATUS(st), 0) << which << io.read("out") << io.read("err");
        const auto vars = readSystemDat(d.path() / "system.dat");
        ASSERT_EQ(vars.size(), 1u) << which << io.read("err");
        EXPECT_EQ(vars[0], std::make_pair(901, 5));
    }
}

// No reachable display: never an invisible window that cannot be closed; the program says so
// and runs headless.
TEST(Display, UnreachableDisplaySaysSoAndRunsHeadless) {
    TempDir d;
    d.write("start.ini", "");
    d.write("script.txt", "@901 = 6;\r\n#end();\r\n");
    // Without leak checks: SDL's attempt leaves allocations of the system's D-Bus library behind.
    const RunResult r = runProgram("env", {"-u", "SDL_VIDEODRIVER", "-u", "WAYLAND_DISPLAY", "DISPLAY=:987",
                                           "ASAN_OPTIONS=detect_leaks=0",
                                           "timeout", "60", YV_BINARY, "--max-seconds", "5", d.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("cannot open a window"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("running headless"), std::string::npos) << r.err;
    const auto vars = readSystemDat(d.path() / "system.dat");
    ASSERT_EQ(vars.size(), 1u) << r.err;
}

// On the headless clock a close scheduled inside a ten-minute sleep ends it at the close's
// time: no later event (an auto-click) fires, and the clock stays at the limit.
TEST(Closing, ManualClockStopsAtTheCloseInsideASleep) {
    for (int which = 0; which < 2; ++which) {
        ScriptRun s;
        which == 0 ? writeSlowText(s.dir) : writeLongShake(s.dir);
        const std::string script = s.dir.read("script.txt");
        s.rt.interp.setText(script);
        graphics::createScreens(s.rt);
        int clicks = 0;
        ManualClock& clock = s.platform.manualClock();
        clock.schedule(100, [&] { ++clicks; }, 100);
        clock.schedule(1000, [&] { s.rt.interp.halt = 1; s.rt.interp.closing = 1; });
        for (int i = 0; i < 20 && !s.rt.interp.closing; ++i) script::step(s.rt);
        EXPECT_TRUE(s.rt.interp.closing) << which;
        EXPECT_LE(clock.nowMs(), 1000u) << which;
        EXPECT_LE(clicks, 10) << which;
    }
}
