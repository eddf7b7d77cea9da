// The demo game in a headless runtime of its own, on a copy of its folder: for benchmarks that
// need a real game's state.
#pragma once

#include <filesystem>
#include <memory>

#include "graphics/present.h"
#include "io/ini.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "script/interpreter.h"
#include "text/text_state.h"
#include "ui/config.h"

#ifndef YV_SOURCE_DIR
#define YV_SOURCE_DIR "."
#endif

namespace yv::bench {

struct DemoGame {
    std::filesystem::path dir;
    HeadlessPlatform platform;
    std::unique_ptr<Runtime> rt;

    // Copies the demo to a temporary folder `name` and starts it as the program does.
    explicit DemoGame(const char* name) {
        namespace fs = std::filesystem;
        dir = fs::temp_directory_path() / name;
        fs::remove_all(dir);
        fs::copy(fs::path(YV_SOURCE_DIR) / "examples" / "demo", dir, fs::copy_options::recursive);
        rt = std::make_unique<Runtime>(platform, dir);
        Runtime& r = *rt;
        r.resetForStart();
        if (auto ini = IniFile::load(dir / "start.ini")) r.config.read(*ini);
        r.interp.firstScript = r.config.script;
        text::configure(r);
        graphics::createScreens(r);
        r.interp.scriptName = r.config.script;
        r.interp.script = script::loadScript(r, r.config.script);
        r.interp.running = 1;
        r.interp.stepsEnabled = 1;
    }
    ~DemoGame() { std::filesystem::remove_all(dir); }

    // Steps on, 30 ms of the clock each (clicking before each when `click`), until `reached`
    // says so or the game has run 20000 steps.
    template <class Reached>
    void playUntil(Reached reached, bool click) {
        Runtime& r = *rt;
        for (int i = 0; i < 20000 && !reached(r) && r.interp.running; ++i) {
            if (click) r.interp.leftClick = 1;
            script::step(r);
            platform.manualClock().advance(30);
        }
    }
};

}  // namespace yv::bench
