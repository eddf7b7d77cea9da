// The real window under SDL's dummy video driver: the pop-up menu picked with pushed mouse
// events, a message box answered from the keyboard, the window's size at a scale.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "app/shell.h"
#include "core/cp932.h"
#include "platform/sdl/sdl_platform.h"
#include "sdl_events.h"
#include "test_util.h"

using namespace yv;

TEST(SdlWindow, PopupMenuChoosesASpeedItem) {
    SdlGame g("[WindowScreen]\r\nPOPMENU=1\r\n");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    std::atomic<bool> sawPopup{false}, sawSub{false};
    std::thread driver([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pushMotion(200, 200);
        pushButton(SDL_BUTTON_RIGHT, true, 200, 200);
        pushButton(SDL_BUTTON_RIGHT, false, 200, 200);
        sawPopup = waitFor([&] { return g.rect("速度").has_value(); });
        if (sawPopup) {
            const auto r = *g.rect("速度");
            pushMotion(r.x + r.w / 2, r.y + r.h / 2);
            sawSub = waitFor([&] { return g.rect("#32819").has_value(); });
            if (sawSub) {
                const auto f = *g.rect("#32819");
                pushMotion(f.x + f.w / 2, f.y + f.h / 2);
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                pushButton(SDL_BUTTON_LEFT, true, f.x + f.w / 2, f.y + f.h / 2);
                pushButton(SDL_BUTTON_LEFT, false, f.x + f.w / 2, f.y + f.h / 2);
                waitFor([&] { return g.shell->runtime().interp.pacingMs.load() == 10.0; });
            }
        }
        g.platform->requestClose();
    });
    EXPECT_EQ(g.shell->run(), 0);
    driver.join();
    EXPECT_TRUE(sawPopup);
    EXPECT_TRUE(sawSub);
    Runtime& rt = g.shell->runtime();
    EXPECT_EQ(rt.interp.pacingMs.load(), 10.0);
    EXPECT_TRUE(rt.app.menus.find(MenuWhich::Popup, ui::menuid::kPopFast)->checked);
    EXPECT_TRUE(rt.app.menus.find(MenuWhich::Bar, ui::menuid::kBarFast)->checked);
    EXPECT_EQ(rt.interp.threadActive.load(), 0);
}

TEST(SdlWindow, MessageBoxFromTheInterpreterIsAnsweredByKeys) {
    SdlGame g("");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    std::atomic<int32_t> answer{0};
    std::atomic<bool> shown{false};
    std::thread asker([&] {
        answer = g.platform->messageBox(sjis("続けますか？"), sjis("確認"), MsgButtons::YesNo, MsgIcon::Question);
    });
    std::thread keys([&] {
        shown = waitFor([&] { return g.rect("button:はい(Y)").has_value(); });
        pushKey(SDLK_RIGHT);  // from はい to いいえ
        pushKey(SDLK_RETURN);
        waitFor([&] { return answer != 0; });
        g.platform->requestClose();
    });
    EXPECT_EQ(g.shell->run(), 0);
    keys.join();
    asker.join();
    EXPECT_TRUE(shown);
    EXPECT_EQ(answer.load(), kIdNo);
}

TEST(SdlWindow, WindowIsTheScaledScreenBelowTheMenuBar) {
    SdlGame g("[WindowSize]\r\nRight=320\r\nBottom=240\r\n");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    int w = 0, h = 0;
    std::vector<uint8_t> px = sdlWindowPixels(*g.platform, w, h);
    EXPECT_EQ(w, 320);
    EXPECT_GT(h, 240);  // the menu bar lies above the picture
    const int bar = h - 240;
    EXPECT_GE(bar, 16);
    // A click at the top of the picture reaches the game at y = 0.
    int32_t seen = -1;
    struct Spy : WindowEvents {
        int32_t* y;
        void onInput(const InputEvent& e) override {
            if (e.kind == InputEvent::Kind::MouseButton && e.down) *y = e.y;
        }
        bool onCloseRequest() override { return true; }
        bool onIdle() override { return *y >= 0; }
    } spy;
    spy.y = &seen;
    pushButton(SDL_BUTTON_LEFT, true, 10, bar);
    g.platform->run(spy);
    EXPECT_EQ(seen, 0);
}

TEST(SdlWindow, TimeLimitEndsAnOpenDialogAndTheGame) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    TempDir d;
    d.write("start.ini", "[ExitMessage]\r\nEndMessage=1\r\n");
    d.write("script.txt", "@901 = 5;\r\n|top:\r\n#mouseclickwait(1);\r\n#goto(\"top\");\r\n");
    Options o;
    o.gameDir = d.path();
    o.scale = 1;
    o.maxSeconds = 0.5;
    std::string why;
    auto p = makeSdlPlatform(SdlWindowOptions{o.scale}, why);
    if (!p) GTEST_SKIP() << "no SDL video: " << why;
    Shell shell(*p, o);
    ASSERT_TRUE(shell.start(why)) << why;
    p->requestClose();  // the confirmation box opens and nobody answers it
    EXPECT_EQ(shell.run(), 124);
    EXPECT_EQ(shell.runtime().interp.threadActive.load(), 0);
    const auto vars = readSystemDat(d.path() / "system.dat");
    ASSERT_EQ(vars.size(), 1u);
    EXPECT_EQ(vars[0], std::make_pair(901, 5));
}

TEST(SdlWindow, ClicksReachTheGameInScreenCoordinatesAtScaleThree) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    TempDir d;
    d.write("start.ini", "[WindowSize]\r\nRight=200\r\nBottom=150\r\n");
    d.write("script.txt", "#end();\r\n");
    Options o;
    o.gameDir = d.path();
    o.scale = 3;
    std::string why;
    auto p = makeSdlPlatform(SdlWindowOptions{o.scale}, why);
    if (!p) GTEST_SKIP() << "no SDL video: " << why;
    Shell shell(*p, o);
    ASSERT_TRUE(shell.start(why)) << why;
    int w = 0, h = 0;
    sdlWindowPixels(*p, w, h);
    EXPECT_EQ(w, 600);
    const int bar = h - 450;
    ASSERT_GT(bar, 0);
    struct Spy : WindowEvents {
        int x = -1, y = -1;
        void onInput(const InputEvent& e) override {
            if (e.kind == InputEvent::Kind::MouseButton && e.down) x = e.x, y = e.y;
        }
        bool onCloseRequest() override { return true; }
        bool onIdle() override { return x >= 0; }
    } spy;
    pushButton(SDL_BUTTON_LEFT, true, 3 * 120 + 2, bar + 3 * 77 + 1);
    p->run(spy);
    EXPECT_EQ(spy.x, 120);
    EXPECT_EQ(spy.y, 77);
}

TEST(SdlWindow, FullScreenScalesThePictureWithBlackBarsAndComesBack) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    TempDir d;
    d.write("start.ini", "[WindowSize]\r\nRight=400\r\nBottom=400\r\n");
    d.write("script.txt", "#end();\r\n");
    Options o;
    o.gameDir = d.path();
    o.scale = 1;
    std::string why;
    auto p = makeSdlPlatform(SdlWindowOptions{o.scale}, why);
    if (!p) GTEST_SKIP() << "no SDL video: " << why;
    Shell shell(*p, o);
    ASSERT_TRUE(shell.start(why)) << why;
    std::vector<uint8_t> white(400 * 400 * 3, 255);
    p->present(FrameView{white.data(), 400, 400}, Rect{0, 0, 400, 400});
    int w = 0, h = 0;
    sdlWindowPixels(*p, w, h);
    ASSERT_EQ(w, 400);
    shell.onMenuCommand(ui::menuid::kBarFull);
    ASSERT_EQ(shell.runtime().app.fullScreen.load(), 1);
    std::vector<uint8_t> px = sdlWindowPixels(*p, w, h);
    ASSERT_GT(w, 400);
    ASSERT_EQ(px.size(), static_cast<size_t>(w) * h * 3);
    auto at = [&](int x, int y) { return px[(static_cast<size_t>(h - 1 - y) * w + x) * 3]; };
    const int side = (w - h) / 2;  // a square picture on a wide display: bars left and right
    ASSERT_GT(side, 2);
    EXPECT_EQ(at(side / 2, h / 2), 0);
    EXPECT_EQ(at(w / 2, h / 2), 255);
    EXPECT_EQ(at(w - side / 2, h / 2), 0);
    shell.onMenuCommand(ui::menuid::kBarWindow);
    sdlWindowPixels(*p, w, h);
    EXPECT_EQ(w, 400);
    EXPECT_GT(h, 400);
}

// Escape in an open menu closes the whole chain, the submenu and the menu it came from, in the
// menu bar and in the pop-up menu, and never reaches the game (where it would close it).
TEST(SdlWindow, EscapeClosesAWholeMenuChain) {
    SdlGame g("[WindowScreen]\r\nPOPMENU=1\r\n");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    std::atomic<bool> barSub{false}, barClosed{false}, popupSub{false}, popupClosed{false}, running{false};
    auto hover = [&](const std::string& key) {
        const auto r = g.settled(key);
        if (r) pushMotion(r->x + r->w / 2, r->y + r->h / 2);
        return r.has_value();
    };
    std::thread player([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (waitFor([&] { return g.rect("設定").has_value(); })) {
            if (auto s = g.settled("設定")) clickAt(*s);
            if (waitFor([&] { return g.rect("速度").has_value(); }) && hover("速度")) {
                barSub = waitFor([&] { return g.rect("#32816").has_value(); });
                pushKey(SDLK_ESCAPE);
                barClosed = waitFor([&] { return !g.rect("#32816") && !g.rect("速度"); }, 2000);
            }
        }
        pushMotion(200, 200);
        pushButton(SDL_BUTTON_RIGHT, true, 200, 200);
        pushButton(SDL_BUTTON_RIGHT, false, 200, 200);
        if (waitFor([&] { return g.rect("速度").has_value(); }) && hover("速度")) {
            popupSub = waitFor([&] { return g.rect("#32819").has_value(); });
            pushKey(SDLK_ESCAPE);
            popupClosed = waitFor([&] { return !g.rect("#32819") && !g.rect("速度"); }, 2000);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        running = g.shell->runtime().interp.closing == 0;
        g.platform->requestClose();
    });
    EXPECT_EQ(g.shell->run(), 0);
    player.join();
    EXPECT_TRUE(barSub);
    EXPECT_TRUE(barClosed);
    EXPECT_TRUE(popupSub);
    EXPECT_TRUE(popupClosed);
    EXPECT_TRUE(running);
}
