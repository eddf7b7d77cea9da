// A runtime on the headless platform with a script text, stepped by hand on the manual clock.
#pragma once

#include <string>

#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "script/interpreter.h"
#include "test_util.h"

namespace yv {

struct ScriptRun {
    TempDir dir;
    HeadlessPlatform platform;
    Runtime rt{platform, dir.path()};

    // The script is written in UTF-8 and handed over as Shift-JIS.
    explicit ScriptRun(const std::string& script = "") {
        rt.resetForStart();
        // Jumps without a file argument re-read the current script file, as in a game.
        dir.write("script.txt", sjis(script));
        rt.interp.scriptName = "script.txt";
        rt.interp.setText(sjis(script));
        rt.interp.running = 1;
        rt.interp.stepsEnabled = 1;
    }

    // One step, then the clock moves on by the pacing interval.
    void step(double ms = 30) {
        script::step(rt);
        platform.manualClock().advance(ms);
    }
    // Steps until the interpreter stops or halts (bounded).
    int runToEnd(int maxSteps = 10000, double ms = 30) {
        int n = 0;
        while (rt.interp.running && !rt.interp.halt && n < maxSteps) {
            step(ms);
            ++n;
        }
        return n;
    }
    int32_t var(int i) const { return rt.interp.ivar[static_cast<size_t>(i)]; }
    std::string str(char c) const { return cp932ToUtf8(rt.interp.svar[static_cast<size_t>(c - 'A')]); }
    std::vector<std::string> dialogs() { return platform.dialogLog(); }
};

}  // namespace yv
