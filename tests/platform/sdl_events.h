// Driving the real window under SDL's dummy video driver: pushed mouse, key and text events, and
// a game started in an SDL window.
#pragma once

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/shell.h"
#include "platform/sdl/sdl_platform.h"
#include "test_util.h"

namespace yv {


inline void pushMotion(int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
}

inline void pushButton(int button, bool down, int x, int y) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = static_cast<Uint8>(button);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

inline void pushKey(SDL_Keycode k) {
    for (Uint32 type : {Uint32(SDL_KEYDOWN), Uint32(SDL_KEYUP)}) {
        SDL_Event e{};
        e.type = type;
        e.key.keysym.sym = k;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&e);
    }
}

inline bool waitFor(const std::function<bool()>& done, int ms = 5000) {
    for (int i = 0; i < ms / 10; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

struct SdlGame {
    explicit SdlGame(const std::string& ini,
                     const std::string& script = "|top:\r\n#mouseclickwait(1);\r\n#goto(\"top\");\r\n") {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        dir.write("start.ini", sjis(ini));
        dir.write("script.txt", script);
        opt.gameDir = dir.path();
        opt.scale = 1;
        platform = makeSdlPlatform(SdlWindowOptions{opt.scale}, why);
        if (!platform) return;
        shell = std::make_unique<Shell>(*platform, opt);
        started = shell->start(why);
    }
    std::optional<SdlItemRect> rect(const std::string& key) {
        auto rects = sdlItemRects(*platform);
        auto it = rects.find(key);
        if (it == rects.end()) return std::nullopt;
        return it->second;
    }
    // The rectangle once it has stayed in place for a few frames (a dialog is placed once its
    // size is known).
    std::optional<SdlItemRect> settled(const std::string& key) {
        std::optional<SdlItemRect> last;
        for (int i = 0; i < 100; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            auto now = rect(key);
            if (now && last && now->x == last->x && now->y == last->y && now->w == last->w) return now;
            last = now;
        }
        return last;
    }
    TempDir dir;
    Options opt;
    std::string why;
    std::unique_ptr<Platform> platform;
    std::unique_ptr<Shell> shell;
    bool started = false;
};


inline void pushText(const std::string& utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8.c_str());
    SDL_PushEvent(&e);
}

// A click in the middle of a rectangle, the pointer moved there first.
inline void clickAt(const SdlItemRect& r) {
    const int x = r.x + r.w / 2, y = r.y + r.h / 2;
    pushMotion(x, y);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    pushButton(SDL_BUTTON_LEFT, true, x, y);
    pushButton(SDL_BUTTON_LEFT, false, x, y);
}

}  // namespace yv
