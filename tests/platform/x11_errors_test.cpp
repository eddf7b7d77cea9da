// The X error filter: a wake-up sent to a window that went is no fault; other errors still are.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/sdl/sdl_x11_state.h"
#include "test_util.h"

#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#define YV_TEST_X11 1
#endif

namespace yv {
namespace {

#ifdef YV_TEST_X11
int seenErrors = 0;
int recordError(Display*, XErrorEvent*) {
    ++seenErrors;
    return 0;
}

// Runs on the X server the parent test started; sends what SDL's wake-up sends to a window
// that has gone, then a request that is a real fault.
void sendToAGoneWindow(Display* d, bool expectFault) {
    const Window gone = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(d, gone);
    XClientMessageEvent m{};
    m.type = ClientMessage;
    m.window = gone;
    m.format = 8;
    seenErrors = 0;
    XSendEvent(d, gone, False, NoEventMask, reinterpret_cast<XEvent*>(&m));
    XSync(d, False);
    EXPECT_EQ(seenErrors, 0);
    if (!expectFault) return;
    XMapWindow(d, gone);
    XSync(d, False);
    EXPECT_EQ(seenErrors, 1);
}
#endif

}  // namespace

// The half that runs under Xvfb, started by the test below.
TEST(X11ErrorsChild, StaleWakeUpPassesAndFaultsStillReachTheHandler) {
    if (!std::getenv("YV_X11_ERRORS_CHILD")) GTEST_SKIP() << "runs under Xvfb from X11Errors";
#ifdef YV_TEST_X11
    XSetErrorHandler(recordError);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // SDL restarts between the launcher and the game: the filter must not call itself then.
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        passStaleWakeUps();
        Display* d = XOpenDisplay(nullptr);
        ASSERT_NE(d, nullptr);
        sendToAGoneWindow(d, true);
        XCloseDisplay(d);
        SDL_Quit();
    }
#endif
}

TEST(X11Errors, AWakeUpToAWindowThatWentDoesNotEndTheProgram) {
#ifndef YV_TEST_X11
    GTEST_SKIP() << "built without X11";
#else
    if (!have("xvfb-run")) GTEST_SKIP() << "xvfb-run missing (scripts/setup.sh installs it)";
    TempDir io;
    const std::string cmd = underXvfb() + "env YV_X11_ERRORS_CHILD=1 SDL_VIDEODRIVER=x11 '" + std::filesystem::read_symlink("/proc/self/exe").string() + "' --gtest_filter=X11ErrorsChild.* >'" + (io.path() / "out").string() +
                            "' 2>&1";
    const int st = std::system(cmd.c_str());
    const std::string out = io.read("out");
    EXPECT_EQ(st, 0) << out;
    EXPECT_NE(out.find("[  PASSED  ] 1 test"), std::string::npos) << out;
#endif
}

}  // namespace yv
