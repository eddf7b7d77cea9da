// A game folder started through the shell on the headless platform; its script ends at once, so
// the tests act as the window thread on a quiet state.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "test_util.h"

namespace yv {

struct ShellGame {
    explicit ShellGame(const std::string& ini,
                       const std::string& script = "#end();\r\n") {
        dir.write("start.ini", sjis(ini));
        dir.write("script.txt", sjis(script));
        Options o;
        o.gameDir = dir.path();
        shell = std::make_unique<Shell>(platform, o);
        std::string why;
        started = shell->start(why);
        // The script ends at once; the tests then act alone on the state.
        for (int i = 0; i < 2000 && rt().interp.threadActive; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Runtime& rt() { return shell->runtime(); }
    MenuModel& menus() { return rt().app.menus; }
    bool checked(MenuWhich w, int32_t id) { return menus().find(w, id).value_or(MenuItem{}).checked; }
    bool greyed(MenuWhich w, int32_t id) { return menus().find(w, id).value_or(MenuItem{}).greyed; }

    TempDir dir;
    HeadlessPlatform platform;
    std::unique_ptr<Shell> shell;
    bool started = false;
};

}  // namespace yv
