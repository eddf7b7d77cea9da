// Input to game state, the same for the window and for headless runs.
#include "app/input.h"

#include "app/menu_logic.h"
#include "app/display_mode.h"
#include "app/screenshot.h"
#include "runtime.h"
#include "text/choices.h"

namespace yv::app {
namespace {

void openPopupMenu(Runtime& rt, int x, int y) {
    AppState& a = rt.app;
    rt.interp.rightClick = 1;
    a.stopAtWait = 1;
    if (!a.menusFree && !a.choiceList) {
        ui::menuLock(rt.app, rt.config, kUnlockAll);
        a.menusFree = 1;
    }
    const bool full = a.fullScreen != 0;
    if ((rt.config.popMenu == 1 && !full) || (rt.config.popFullMenu == 1 && full)) {
        refreshSlots(rt, MenuWhich::Popup);
        rt.platform.openPopupMenu(x, y);
    }
}

// A player who clicks or presses a key takes over from auto mode.
void endAutoMode(Runtime& rt) {
    if (rt.app.autoMode) setAutoMode(rt, false);
}

void mouseButton(Runtime& rt, int button, bool down, int x, int y) {
    if (down) endAutoMode(rt);
    if (button == 1 && down) rt.interp.leftClick = 1;
    if (button == 2) {
        if (down)
            openPopupMenu(rt, x, y);
        else
            rt.interp.rightClick = 0;
    }
}

void mouseMove(Runtime& rt, int x, int y) {
    rt.app.mouseX = x;
    rt.app.mouseY = y;
    if (rt.app.fullScreen && rt.config.fullMenu != 0 && rt.app.menuOn != 0)
        showFullScreenMenu(rt, rt.platform.pointerInMenuBand());
}

void key(Runtime& rt, int key, bool down) {
    AppState& a = rt.app;
    if (key == kKeyF12) {
        if (down) saveScreenshot(rt);
        return;
    }
    if (down && key != kKeyA) endAutoMode(rt);
    // While choices are shown Enter only clicks and Ctrl does not skip.
    const bool choicesShown = a.choiceList || a.choiceBlock;
    if (key == kKeyCtrl) {
        // Skipping lasts while Ctrl is held.
        if (!choicesShown || !down) a.skip = down ? 1 : 0;
        return;
    }
    if (!down) return;
    if (key == kKeyEscape) {
        // A movie that holds the script is skipped instead: players expect Escape to do that.
        if (rt.media.movie.playing) {
            rt.media.movie.skip = true;
            return;
        }
        rt.platform.requestClose();
        return;
    }
    if (a.noWait) {
        a.endSkip = 1;
        if (!a.menusFree && !a.choiceList) {
            ui::menuLock(rt.app, rt.config, kUnlockAll);
            a.menusFree = 1;
        }
    }
    switch (key) {
    case kKeySpace: openPopupMenu(rt, a.mouseX, a.mouseY); break;
    case kKeyEnter: {
        rt.interp.leftClick = 1;
        if (choicesShown) a.enterChoice = 1;
        const uint32_t now = rt.clock().nowMs();
        if (!choicesShown && a.enterSeen && now - a.lastEnterMs <= 500) a.skip = 1;
        a.enterSeen = true;
        a.lastEnterMs = now;
        break;
    }
    case kKeyPageDown: mouseButton(rt, 1, true, a.mouseX, a.mouseY); break;
    case kKeyA: setAutoMode(rt, !a.autoMode); break;
    case kKeyUp: a.navSteps -= 1; break;
    case kKeyDown: a.navSteps += 1; break;
    default: break;
    }
}

}  // namespace

void applyInput(Runtime& rt, const InputEvent& e) {
    switch (e.kind) {
    case InputEvent::Kind::MouseMove: mouseMove(rt, e.x, e.y); break;
    case InputEvent::Kind::MouseButton: mouseButton(rt, e.button, e.down, e.x, e.y); break;
    case InputEvent::Kind::Key: key(rt, e.key, e.down); break;
    case InputEvent::Kind::Wheel:
        endAutoMode(rt);
        // As players know it from other engines: up reads back, down goes on as a click does.
        if (e.key > 0) rt.app.historyWanted = 1;
        if (e.key < 0) mouseButton(rt, 1, true, rt.app.mouseX, rt.app.mouseY);
        break;
    }
}

bool autoClickTarget(Runtime& rt, int& x, int& y) {
    int32_t cx = rt.app.mouseX, cy = rt.app.mouseY;
    const bool onChoice = text::choices::highlightedCentre(rt, cx, cy);
    x = cx;
    y = cy;
    return onChoice;
}

}  // namespace yv::app
