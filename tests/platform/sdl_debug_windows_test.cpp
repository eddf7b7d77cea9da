// The debug windows as real SDL windows (dummy driver): opened by [DebugWindow] beside a running
// game, their rows following the script, clicks on their own controls, the close question, and
// the game window's close box still closing the game while they are open.
#include <gtest/gtest.h>

#include <imgui.h>

#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_debug_windows.h"
#include "runtime.h"
#include "script/debug_serve.h"
#include "script/interpreter.h"
#include "sdl_events.h"
#include "ui/debug_windows.h"

using namespace yv;
using ui::DebugWindows;

namespace {

SDL_Event windowEvent(uint32_t id, SDL_WindowEventID what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = id;
    e.window.event = static_cast<Uint8>(what);
    return e;
}

// Debug windows on their own (no game window): the test thread is their window thread.
struct Bench {
    TempDir dir;
    HeadlessPlatform platform;
    Runtime rt{platform, dir.path()};
    std::unique_ptr<DebugWindows> model;
    std::unique_ptr<SdlDebugWindows> windows;
    uint32_t now = 1000;
    bool ok = false;

    explicit Bench(bool endMessage) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (SDL_Init(SDL_INIT_VIDEO) != 0) return;
        ok = true;
        model = std::make_unique<DebugWindows>(rt.interp.debug, rt.interp.stepsPerSecond,
                                               std::vector<ui::SettingLine>{{"[WindowTitle]", ""}}, endMessage);
        windows = std::make_unique<SdlDebugWindows>();
        windows->setModel(model.get());
    }
    ~Bench() {
        windows.reset();
        if (ok) SDL_Quit();
    }
    // Events as the window loop hands them over, then a pass of frames.
    void deliver(const SDL_Event& e) { EXPECT_TRUE(windows->takeEvent(e)); }
    void frames(int n = 4) {
        for (int i = 0; i < n; ++i) {
            now += 40;
            windows->frame(now, {});
            script::debugServe(rt);  // the interpreter's side, between its steps
        }
    }
    void click(int which, const std::string& label) {
        const SDL_Rect r = windows->itemRect(which, label);
        ASSERT_GT(r.w, 0) << label;
        const uint32_t id = windows->windowId(which);
        SDL_Event m{};
        m.type = SDL_MOUSEMOTION;
        m.motion.windowID = id;
        m.motion.x = r.x + r.w / 2;
        m.motion.y = r.y + r.h / 2;
        deliver(m);
        frames(2);
        for (bool down : {true, false}) {
            SDL_Event b{};
            b.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
            b.button.windowID = id;
            b.button.button = SDL_BUTTON_LEFT;
            b.button.state = down ? SDL_PRESSED : SDL_RELEASED;
            b.button.x = m.motion.x;
            b.button.y = m.motion.y;
            deliver(b);
            frames(1);
        }
        frames(2);
    }
};

}  // namespace

TEST(SdlDebugWindows, ControlsAnswerClicksAndTheCloseQuestionDecides) {
    Bench b(true);
    ASSERT_TRUE(b.ok) << SDL_GetError();
    b.model->open(DebugWindows::kMonitor, true);
    b.model->open(DebugWindows::kPreview, true);
    EXPECT_EQ(b.windows->msUntilDue(b.now), 0);  // windows to open
    b.frames();
    ASSERT_NE(b.windows->windowId(0), 0u);
    ASSERT_NE(b.windows->windowId(1), 0u);
    EXPECT_STREQ(SDL_GetWindowTitle(SDL_GetWindowFromID(b.windows->windowId(0))), "Debug Window ver 0.1");
    EXPECT_STREQ(SDL_GetWindowTitle(SDL_GetWindowFromID(b.windows->windowId(1))), "Debug FuncPreview Window ver 0.1");
    // Each window keeps its own ImGui context: none of them is left current.
    EXPECT_EQ(ImGui::GetCurrentContext(), nullptr);

    b.rt.interp.ivar[5] = 12;
    b.frames();
    EXPECT_EQ(b.model->monitor.row(5).cells[1], "                  12");

    b.click(0, "変数(1002)");
    EXPECT_EQ(b.model->monitor.mode(), ui::MonitorMode::Strings);
    b.click(0, "ウォッチ");
    EXPECT_EQ(b.model->monitor.mode(), ui::MonitorMode::Watch);
    b.click(0, "一時停止");
    EXPECT_TRUE(b.model->monitor.paused());
    b.click(0, "一時停止");  // now "再開"
    EXPECT_FALSE(b.model->monitor.paused());

    b.click(1, "次へ");
    EXPECT_EQ(b.model->preview.offset(), 5);
    b.click(1, "終端");
    EXPECT_EQ(b.model->preview.offset(), 253);
    b.click(1, "始端");
    EXPECT_EQ(b.model->preview.offset(), 0);

    // The preview shows screen 0 once it has pixels and its changed flag.
    Screen& s0 = b.rt.screens.table[0];
    s0.allocate(64, 48);
    for (size_t i = 0; i < s0.pixels.size(); i += 3) s0.pixels[i + 2] = 255;  // red
    s0.changed = true;
    b.frames(6);
    int w = 0, h = 0;
    const std::vector<uint8_t> pic = b.windows->lastPicture(1, w, h);
    ASSERT_GT(w, 358 + 84);
    const uint8_t* px = pic.data() + (static_cast<size_t>(h - 1 - (95 + 64)) * w + 358 + 84) * 3;
    EXPECT_EQ(px[2], 255);
    EXPECT_EQ(px[1], 0);
    EXPECT_EQ(px[0], 0);

    // The close box asks; No keeps the window, Yes closes it and its switch goes to 0.
    b.deliver(windowEvent(b.windows->windowId(0), SDL_WINDOWEVENT_CLOSE));
    EXPECT_TRUE(b.model->asking(DebugWindows::kMonitor));
    b.frames();
    b.click(0, "いいえ(N)");
    EXPECT_FALSE(b.model->asking(DebugWindows::kMonitor));
    EXPECT_TRUE(b.model->isOpen(DebugWindows::kMonitor));
    b.deliver(windowEvent(b.windows->windowId(0), SDL_WINDOWEVENT_CLOSE));
    b.frames();
    b.click(0, "はい(Y)");
    EXPECT_FALSE(b.model->isOpen(DebugWindows::kMonitor));
    b.frames();
    EXPECT_EQ(b.windows->windowId(0), 0u);
    EXPECT_NE(b.windows->windowId(1), 0u);

    // Another window's close box (the game's) becomes the quit SDL no longer sends.
    SDL_FlushEvent(SDL_QUIT);
    b.deliver(windowEvent(9999, SDL_WINDOWEVENT_CLOSE));
    EXPECT_TRUE(SDL_HasEvent(SDL_QUIT));
    // Events of other windows are not taken.
    SDL_Event other = windowEvent(9999, SDL_WINDOWEVENT_EXPOSED);
    EXPECT_FALSE(b.windows->takeEvent(other));
    b.model->closeAll();
    b.frames();
    EXPECT_FALSE(b.windows->anyShown());
    EXPECT_EQ(b.windows->msUntilDue(b.now), -1);
}

TEST(SdlDebugWindows, OpenedBesideAGameByItsConfigurationAndFollowTheScript) {
    SdlGame g("[DebugWindow]\r\nDebug=1\r\nDebugPrev=1\r\n");
    ASSERT_TRUE(g.platform) << g.why;
    ASSERT_TRUE(g.started) << g.why;
    ui::DebugWindows* model = g.shell->debugWindows();
    ASSERT_NE(model, nullptr);
    SdlDebugWindows* dw = sdlDebugWindows(*g.platform);
    ASSERT_NE(dw, nullptr);
    // The interpreter runs its script (a click wait) while the windows are served.
    g.shell->runtime().interp.debug.wantVariables = 1;
    dw->frame(SDL_GetTicks(), {});
    EXPECT_NE(dw->windowId(0), 0u);
    EXPECT_NE(dw->windowId(1), 0u);
    EXPECT_TRUE(waitFor([&] {
        dw->frame(SDL_GetTicks(), {});
        return g.shell->runtime().interp.stepsPerSecond.load() > 0;
    }));
    EXPECT_NE(model->monitor.rateText(), "FPS =   0");
    // The game window's close box closes the game, debug windows and all.
    uint32_t gameWindow = 0;
    for (uint32_t id = 1; id < 16 && !gameWindow; ++id)
        if (id != dw->windowId(0) && id != dw->windowId(1) && SDL_GetWindowFromID(id)) gameWindow = id;
    ASSERT_NE(gameWindow, 0u);
    std::thread closer([gameWindow] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        SDL_Event e = windowEvent(gameWindow, SDL_WINDOWEVENT_CLOSE);
        SDL_PushEvent(&e);
    });
    EXPECT_EQ(g.shell->run(), 0);
    closer.join();
    EXPECT_FALSE(dw->anyShown());
}

TEST(SdlDebugWindows, DebugSwitchOpensBothWindows) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    TempDir dir;
    dir.write("start.ini", "[WindowTitle]\r\nTitle=t\r\n");
    dir.write("script.txt", "#wait(10);\r\n");
    std::string error;
    auto opt = parseOptions({"--debug", dir.path().string()}, error);
    ASSERT_TRUE(opt) << error;
    EXPECT_TRUE(opt->debug);
    std::string why;
    auto platform = makeSdlPlatform(SdlWindowOptions{1}, why);
    ASSERT_TRUE(platform) << why;
    Shell shell(*platform, *opt);
    ASSERT_TRUE(shell.start(why)) << why;
    ASSERT_NE(shell.debugWindows(), nullptr);
    EXPECT_TRUE(shell.debugWindows()->isOpen(DebugWindows::kMonitor));
    EXPECT_TRUE(shell.debugWindows()->isOpen(DebugWindows::kPreview));
}
