// A small game on the headless platform with its screens made, stepped by hand, and a picture of
// everything a saved game should bring back.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "graphics/present.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "save/save_game.h"
#include "script/interpreter.h"
#include "test_util.h"
#include "text/text_state.h"

namespace yv::test {

struct SaveGame {
    TempDir dir;
    HeadlessPlatform platform;
    Runtime rt{platform, dir.path()};

    // The script is UTF-8, stored as Shift-JIS; the screen is w x h.
    explicit SaveGame(const std::string& script = "", int w = 64, int h = 48) {
        rt.config.width = w;
        rt.config.height = h;
        rt.config.script = "script.txt";
        rt.app.setTitle("Test");
        rt.interp.firstScript = "script.txt";
        rt.resetForStart();
        text::configure(rt);
        graphics::createScreens(rt);
        dir.write("script.txt", sjis(script));
        rt.interp.scriptName = "script.txt";
        rt.interp.script = script::loadScript(rt, "script.txt");
        rt.interp.running = 1;
        rt.interp.stepsEnabled = 1;
    }

    void step(double ms = 30) {
        script::step(rt);
        platform.manualClock().advance(ms);
    }
    // Steps until the integer variable holds the value (bounded); false when it never did.
    bool runUntil(int var, int32_t value, int maxSteps = 2000) {
        for (int n = 0; n < maxSteps && rt.interp.running; ++n) {
            if (rt.interp.ivar[static_cast<size_t>(var)] == value) return true;
            step();
        }
        return rt.interp.ivar[static_cast<size_t>(var)] == value;
    }
    int32_t var(int i) const { return rt.interp.ivar[static_cast<size_t>(i)]; }
    std::vector<std::string> dialogs() { return platform.dialogLog(); }
};

// What a load must restore, gathered into comparable form.
struct StateSnapshot {
    std::vector<int32_t> ivar;
    std::vector<Bytes> svar;
    std::vector<PixelBytes> screens;  // 2..257
    PixelBytes back;                  // screen 1
    int32_t pos = 0, stmtStart = 0, depth = 0;
    std::vector<std::pair<Bytes, int32_t>> calls;
    Bytes scriptName, scriptText;
    std::string text;  // every text setting, printed

    static StateSnapshot of(const Runtime& rt) {
        StateSnapshot s;
        const Interp& in = rt.interp;
        s.ivar.assign(in.ivar.begin(), in.ivar.end());
        s.svar.assign(in.svar.begin(), in.svar.end());
        for (int i = 2; i < kScreenCount; ++i) s.screens.push_back(rt.screens.table[static_cast<size_t>(i)].pixels);
        s.back = rt.screens.table[1].pixels;
        s.pos = in.pos;
        s.stmtStart = in.stmtStart;
        s.depth = in.calls.depth;
        for (int i = 0; i < in.calls.depth; ++i)
            s.calls.emplace_back(in.calls.file[static_cast<size_t>(i)], in.calls.pos[static_cast<size_t>(i)]);
        s.scriptName = in.scriptName;
        s.scriptText = in.text();
        const TextState& t = rt.text;
        std::string& o = s.text;
        auto put = [&](auto... v) { ((o += std::to_string(v) + ","), ...); o += "|"; };
        for (const TextItem& it : t.items) {
            put(it.x, it.y, it.wait, it.colour.r, it.colour.g, it.colour.b, it.colourSet, it.length);
            for (const Bytes& r : it.rows) o += r + ";";
        }
        put(t.rowCount, t.defaultSpeed, t.defaultWait, t.textType, t.decoration.r, t.decoration.g, t.decoration.b,
            t.decorationMarker, t.continueCount, t.continueColour.r, t.continueColour.g, t.continueColour.b,
            t.continueMarker, t.textBuffer, t.trapBuffer);
        const FontRecord& f = t.font;
        o += f.face;
        put(f.height, f.weight, f.strikeOut, f.italic, f.underline);
        const WaitIcon& ic = t.icon;
        put(ic.source, ic.sx, ic.sy, ic.w, ic.h, ic.frames, ic.delay, ic.posMode, ic.posX, ic.posY);
        put(rt.choices.colour.r, rt.choices.colour.g, rt.choices.colour.b);
        o += t.tableFile;
        return s;
    }
};

}  // namespace yv::test
