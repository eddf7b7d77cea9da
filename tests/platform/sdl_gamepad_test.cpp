// A gamepad plugged into the real window (SDL's virtual joystick, dummy video driver, and once
// in a window on Xvfb): the D-pad and A pick a choice, the stick moves the pointer, B opens the
// pop-up menu.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/shell.h"
#include "platform/sdl/sdl_platform.h"
#include "runtime.h"
#include "sdl_events.h"
#include "test_util.h"

using namespace yv;

namespace {

// A pad with the standard layout, hot-plugged while the window runs; buttons are pressed as a
// thumb would, slower than the window's loop.
struct VirtualPad {
    SDL_Joystick* joy = nullptr;
    int index = -1;
    VirtualPad() {
        SDL_VirtualJoystickDesc d{};
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        d.naxes = SDL_CONTROLLER_AXIS_MAX;
        d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        d.name = "Yorvane test pad";
        index = SDL_JoystickAttachVirtualEx(&d);
        if (index >= 0) joy = SDL_JoystickOpen(index);
    }
    ~VirtualPad() {
        if (joy) SDL_JoystickClose(joy);
        if (index >= 0) SDL_JoystickDetachVirtual(index);
    }
    void press(SDL_GameControllerButton b) {
        SDL_JoystickSetVirtualButton(joy, b, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        SDL_JoystickSetVirtualButton(joy, b, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
    }
    void axis(SDL_GameControllerAxis a, int v) { SDL_JoystickSetVirtualAxis(joy, a, static_cast<Sint16>(v)); }
};

// The run under Xvfb (below) plays the same test in an X window.
bool onX() { return std::getenv("YV_PAD_ON_X") != nullptr; }

void padEnvironment() {
    if (onX()) return;  // the window takes the focus as a player's would
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    // The dummy driver's window never has the focus that SDL otherwise wants for pad events.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
}

void dpadAndAPickAChoice() {
    padEnvironment();
    TempDir dir;
    dir.write("start.ini", sjis("[FONT]\r\nSize=24\r\n"));
    dir.write("text.txt", sjis("\"はい\";\r\n\"いいえ\";\r\n\"たぶん\";\r\n"));
    dir.write("script.txt",
              "#createtextf(1, 3);\r\n#loadtextf(\"text.txt\");\r\n#locatef(0, 100, 300);\r\n#select();\r\n{\r\n"
              "#printtextf(0, 1, \"c1\");\r\n#printtextf(0, 2, \"c2\");\r\n#printtextf(0, 3, \"c3\");\r\n}\r\n"
              "#end();\r\n|c1:\r\n@2 = 1;\r\n#return();\r\n|c2:\r\n@2 = 2;\r\n#return();\r\n"
              "|c3:\r\n@2 = 3;\r\n#return();\r\n");
    Options opt;
    opt.gameDir = dir.path();
    opt.scale = 1;
    std::string why;
    auto platform = makeSdlPlatform(SdlWindowOptions{1}, why);
    if (!platform) GTEST_SKIP() << "no SDL video: " << why;
    if (onX()) {
        ASSERT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
    }
    Shell shell(*platform, opt);
    ASSERT_TRUE(shell.start(why)) << why;
    Runtime& rt = shell.runtime();
    std::atomic<bool> ended{false}, attached{false}, offered{false};
    std::thread driver([&] {
        VirtualPad pad;
        attached = pad.joy != nullptr;
        offered = waitFor([&] { return rt.app.choiceBlock.load() != 0; });
        if (attached && offered) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the pad is opened
            pad.press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
            pad.press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
            pad.press(SDL_CONTROLLER_BUTTON_DPAD_UP);
            pad.press(SDL_CONTROLLER_BUTTON_A);
            // The choice taken, its subroutine runs and the script ends.
            waitFor([&] { return rt.app.choiceBlock.load() == 0; }, 2000);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        platform->requestClose();
    });
    shell.run();
    ended = true;
    driver.join();
    ASSERT_TRUE(attached) << SDL_GetError();
    ASSERT_TRUE(offered);
    EXPECT_EQ(rt.interp.ivar[2], 2);  // down, down, up: the second choice
}

}  // namespace

TEST(SdlGamepad, DpadAndAPickAChoice) {
    if (onX()) GTEST_SKIP() << "the X run plays XvfbGamepadChild only";
    dpadAndAPickAChoice();
}

// Started by XvfbGamepad under Xvfb.
TEST(XvfbGamepadChild, DpadAndAPickAChoice) {
    if (!onX()) GTEST_SKIP() << "runs under Xvfb from XvfbGamepad";
    dpadAndAPickAChoice();
}

TEST(XvfbGamepad, DpadAndAPickAChoiceInAWindow) {
    if (!have("xvfb-run")) GTEST_SKIP() << "xvfb-run missing (scripts/setup.sh installs it)";
    TempDir io;
    const std::string cmd = underXvfb() + "env YV_PAD_ON_X=1 SDL_VIDEODRIVER=x11 '" +
                            std::filesystem::read_symlink("/proc/self/exe").string() +
                            "' --gtest_filter=XvfbGamepadChild.* >'" + (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    const std::string out = io.read("out");
    EXPECT_EQ(st, 0) << out;
    EXPECT_NE(out.find("[  PASSED  ] 1 test"), std::string::npos) << out;
}

TEST(SdlGamepad, StickMovesThePointerAndBOpensThePopupMenu) {
    if (onX()) GTEST_SKIP() << "the X run plays XvfbGamepadChild only";
    padEnvironment();
    SdlGame g("[WindowScreen]\r\nPOPMENU=1\r\n");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    Runtime& rt = g.shell->runtime();
    std::atomic<int> startX{-1}, pushedX{-1}, restX{-1}, laterX{-1};
    std::atomic<bool> attached{false}, popup{false};
    std::thread driver([&] {
        pushMotion(100, 200);
        VirtualPad pad;
        attached = pad.joy != nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        startX = rt.app.mouseX.load();
        pad.axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pad.axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        restX = rt.app.mouseX.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        laterX = rt.app.mouseX.load();
        pad.press(SDL_CONTROLLER_BUTTON_B);
        popup = waitFor([&] { return g.rect("速度").has_value(); });
        g.platform->requestClose();
    });
    EXPECT_EQ(g.shell->run(), 0);
    driver.join();
    ASSERT_TRUE(attached) << SDL_GetError();
    // 300 ms at the top speed of 600 game pixels a second, less the loop's first step.
    EXPECT_GT(restX - startX, 100);
    EXPECT_LT(restX - startX, 250);
    EXPECT_EQ(laterX.load(), restX.load());  // the stick at rest: the pointer stays
    EXPECT_TRUE(popup);
}
