// The real window under SDL's dummy driver: full screen from the menu bar, Alt+Enter and F11,
// a close during a dialog, a window of another size taking clicks at the game's coordinates.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/shell.h"
#include "sdl_events.h"
#include "test_util.h"

using namespace yv;

namespace {

// Each click at a click wait counts in @901, written to system.dat at once (and by the close).
const char* kCountingScript =
    "|top:\r\n#mouseclickwait(1);\r\n@901 = @901 + 1;\r\n#systemsave();\r\n#goto(\"top\");\r\n";

struct CountingGame : SdlGame {
    explicit CountingGame(const std::string& ini = "") : SdlGame(ini, kCountingScript) {}
    int clicks() {
        for (const auto& [n, v] : readSystemDat(dir.path() / "system.dat"))
            if (n == 901) return v;
        return 0;
    }
};

void pushAltEnter() {
    SDL_SetModState(KMOD_LALT);
    for (Uint32 type : {Uint32(SDL_KEYDOWN), Uint32(SDL_KEYUP)}) {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.sym = SDLK_RETURN;
        e.key.keysym.mod = KMOD_LALT;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&e);
    }
}

// A click in the middle of the picture, and time for the script to count it.
void clickPicture(int x, int y) {
    pushMotion(x, y);
    pushButton(SDL_BUTTON_LEFT, true, x, y);
    pushButton(SDL_BUTTON_LEFT, false, x, y);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
}

}  // namespace

TEST(SdlWindowModes, FullScreenChosenFromTheMenuBarLeavesTheGameTakingInput) {
    CountingGame g;
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    std::atomic<bool> picked{false};
    std::thread driver([&] {
        waitFor([&] { return g.rect("設定").has_value(); });
        clickAt(*g.rect("設定"));
        if (waitFor([&] { return g.rect("画面変更").has_value(); })) {
            const auto sub = *g.rect("画面変更");
            pushMotion(sub.x + sub.w / 2, sub.y + sub.h / 2);
            if (waitFor([&] { return g.rect("#32777").has_value(); })) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                clickAt(*g.rect("#32777"));
                picked = waitFor([&] { return g.shell->runtime().app.fullScreen.load() == 1; });
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        clickPicture(320, 300);
        pushKey(SDLK_RETURN);
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        g.platform->requestClose();
    });
    EXPECT_EQ(g.shell->run(), 0);
    driver.join();
    EXPECT_TRUE(picked);
    // Both the click and Enter reached the game in full screen.
    EXPECT_EQ(g.clicks(), 2);
}

TEST(SdlWindowModes, AltEnterAndF11SwitchInEveryStateAndNeverReachTheGame) {
    CountingGame g("[WindowScreen]\r\nMENU=0\r\n");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    Runtime& rt = g.shell->runtime();
    std::atomic<int> fullAfterAltEnter{-1}, windowAfterF11{-1}, fullAgain{-1};
    std::thread driver([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        pushAltEnter();
        fullAfterAltEnter = waitFor([&] { return rt.app.fullScreen.load() == 1; }, 2000);
        SDL_SetModState(KMOD_NONE);
        // Each input is let through before the next: two clicks within one step count once.
        clickPicture(100, 100);  // 1
        waitFor([&] { return g.clicks() >= 1; }, 3000);
        pushKey(SDLK_F11);
        windowAfterF11 = waitFor([&] { return rt.app.fullScreen.load() == 0; }, 2000);
        clickPicture(100, 100);  // 2
        waitFor([&] { return g.clicks() >= 2; }, 3000);
        pushKey(SDLK_F11);
        fullAgain = waitFor([&] { return rt.app.fullScreen.load() == 1; }, 2000);
        pushKey(SDLK_RETURN);  // 3
        waitFor([&] { return g.clicks() >= 3; }, 3000);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // nothing more comes
        g.platform->requestClose();
    });
    EXPECT_EQ(g.shell->run(), 0);
    driver.join();
    EXPECT_EQ(fullAfterAltEnter.load(), 1);
    EXPECT_EQ(windowAfterF11.load(), 1);
    EXPECT_EQ(fullAgain.load(), 1);
    // The marks follow, as after the menu entries.
    EXPECT_TRUE(rt.app.menus.find(MenuWhich::Popup, ui::menuid::kPopFull)->checked);
    // Alt+Enter was no Enter for the game: only the two clicks and the plain Enter counted.
    EXPECT_EQ(g.clicks(), 3);
}

TEST(SdlWindowModes, WindowCloseDuringAMessageBoxEndsTheBoxAndTheGame) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    TempDir d;
    d.write("start.ini", sjis("[ExitMessage]\r\nEndMessage=1\r\n"));
    d.write("script.txt", "@901 = 7;\r\n#messagebox(\"hello\", \"t\", mb_okcancel);\r\n@901 = 8;\r\n"
                          "|top:\r\n#mouseclickwait(1);\r\n#goto(\"top\");\r\n");
    Options o;
    o.gameDir = d.path();
    o.scale = 1;
    std::string why;
    auto p = makeSdlPlatform(SdlWindowOptions{o.scale}, why);
    if (!p) GTEST_SKIP() << "no SDL video: " << why;
    Shell shell(*p, o);
    ASSERT_TRUE(shell.start(why)) << why;
    std::thread closer([&] {
        waitFor([&] { return sdlItemRects(*p).count("button:OK") > 0; });
        SDL_Event e{};
        e.type = SDL_QUIT;
        SDL_PushEvent(&e);
    });
    // No close question either: the close came during a dialog.
    EXPECT_EQ(shell.run(), 0);
    closer.join();
    const auto vars = readSystemDat(d.path() / "system.dat");
    ASSERT_FALSE(vars.empty());
    EXPECT_EQ(vars[0].first, 901);
}

TEST(SdlWindowModes, ASignalDuringAStartUpMessageEndsIt) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    TempDir d;
    d.write("start.ini", "");  // and no script: start-up says so in a box
    Options o;
    o.gameDir = d.path();
    o.scale = 1;
    std::string why;
    auto p = makeSdlPlatform(SdlWindowOptions{o.scale}, why);
    if (!p) GTEST_SKIP() << "no SDL video: " << why;
    Shell shell(*p, o);
    std::thread signaller([&] {
        waitFor([&] { return sdlItemRects(*p).count("button:OK") > 0; });
        shell.requestSignalClose();
    });
    EXPECT_FALSE(shell.start(why));
    signaller.join();
}

TEST(SdlWindowModes, AResizedWindowTakesClicksAtTheGameCoordinates) {
    CountingGame g;
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    int w = 0, h = 0;
    sdlWindowPixels(*g.platform, w, h);
    const int bar = h - 480;
    ASSERT_GT(bar, 0);
    struct Spy : WindowEvents {
        int x = -1, y = -1;
        void onInput(const InputEvent& e) override {
            if (e.kind == InputEvent::Kind::MouseButton && e.down) x = e.x, y = e.y;
        }
        bool onCloseRequest() override { return true; }
        bool onIdle() override { return x >= 0; }
    };
    // 1000 wide, picture area 1000 x 600: 800 x 600 with bars of 100 on each side.
    SDL_Window* win = SDL_GetWindowFromID(1);
    ASSERT_NE(win, nullptr);
    SDL_SetWindowSize(win, 1000, 600 + bar);
    Spy spy;
    // Game pixel (400, 300) covers window pixels 600 and 375 (each 1.25 wide) and a bit more.
    pushButton(SDL_BUTTON_LEFT, true, 100 + 400 * 800 / 640, bar + 300 * 600 / 480);
    g.platform->run(spy);
    EXPECT_EQ(spy.x, 400);
    EXPECT_EQ(spy.y, 300);
    std::vector<uint8_t> px = sdlWindowPixels(*g.platform, w, h);
    EXPECT_EQ(w, 1000);
    EXPECT_EQ(h, 600 + bar);
    // The bars are black.
    ASSERT_EQ(px.size(), static_cast<size_t>(w) * h * 3);
    auto at = [&](int x, int y) { return px[(static_cast<size_t>(h - 1 - y) * w + x) * 3 + 1]; };
    EXPECT_EQ(at(50, bar + 300), 0);
    EXPECT_EQ(at(950, bar + 300), 0);
}
