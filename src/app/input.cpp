// Input to game state, the same for the window and for headless runs.
#include "app/input.h"

#include "app/menu_logic.h"
#include "app/display_mode.h"
#include "app/screenshot.h"
#include "app/window_view.h"
#include "runtime.h"
#include "text/choices.h"
#include "ui/speech.h"

namespace yv::app {
namespace {

void openPopupMenu(WindowView& v, int x, int y) {
    AppState& a = v.app;
    v.rightClick = 1;
    a.stopAtWait = 1;
    if (!a.menusFree && !a.choiceList) {
        ui::menuLock(v.app, v.config, kUnlockAll);
        a.menusFree = 1;
    }
    const bool full = a.fullScreen != 0;
    if ((v.config.popMenu == 1 && !full) || (v.config.popFullMenu == 1 && full)) {
        v.refreshSlots(MenuWhich::Popup);
        v.platform.openPopupMenu(x, y);
    }
}

// A player who clicks or presses a key takes over from auto mode.
void endAutoMode(WindowView& v) {
    if (v.app.autoMode) setAutoMode(v.app, v.clock, false);
}

// And from fast-forward's mode.
void endFastMode(WindowView& v) {
    if (v.app.fastMode) ui::setFastMode(v.app, false);
}

void mouseButton(WindowView& v, int button, bool down, int x, int y) {
    if (down) {
        endAutoMode(v);
        endFastMode(v);
    }
    if (button == 1 && down) {
        v.leftClick = 1;
        // The player goes on: the page (or choice) being read is left behind.
        ui::stopSpeaking(v.app.speech);
    }
    if (button == 2) {
        if (down)
            openPopupMenu(v, x, y);
        else
            v.rightClick = 0;
    }
}

void mouseMove(WindowView& v, int x, int y) {
    v.app.mouseX = x;
    v.app.mouseY = y;
    if (v.app.fullScreen && v.config.fullMenu != 0 && v.app.menuOn != 0)
        showFullScreenMenu(v.app, v.platform, v.platform.pointerInMenuBand());
}

void key(WindowView& v, int key, bool down) {
    AppState& a = v.app;
    if (key == kKeyF12) {
        if (down) saveScreenshot(v);
        return;
    }
    if (key == kKeyShift) a.shiftHeld = down;
    // Like F12 they leave auto mode as it was: the interpreter thread carries them out.
    if (key == kKeyF5 || key == kKeyF9) {
        if (down) v.requestQuick(key == kKeyF9);
        return;
    }
    // V (reading aloud) is no going on either: a player listening in auto mode keeps it.
    if (down && key != kKeyA && key != kKeyV) endAutoMode(v);
    // Ctrl is fast-forward's other form, and Tab turns the mode on and off.
    if (down && key != kKeyCtrl && key != kKeyTab && key != kKeyV) endFastMode(v);
    // While choices are shown Enter only clicks and Ctrl does not skip.
    const bool choicesShown = a.choiceList || a.choiceBlock;
    if (key == kKeyCtrl) {
        // Skipping lasts while Ctrl is held; so does fast-forward (the choices stop it).
        if (!choicesShown || !down) a.skip = down ? 1 : 0;
        a.fastHeld = down ? 1 : 0;
        return;
    }
    if (key == kKeyTab) {
        if (down) ui::setFastMode(a, !a.fastMode);
        return;
    }
    if (!down) return;
    if (key == kKeyEscape) {
        // A movie that holds the script is skipped instead: players expect Escape to do that.
        if (v.movie.playing) {
            v.movie.skip = true;
            return;
        }
        v.platform.requestClose();
        return;
    }
    if (a.noWait) {
        a.endSkip = 1;
        if (!a.menusFree && !a.choiceList) {
            ui::menuLock(v.app, v.config, kUnlockAll);
            a.menusFree = 1;
        }
    }
    switch (key) {
    case kKeySpace: openPopupMenu(v, a.mouseX, a.mouseY); break;
    case kKeyEnter: {
        v.leftClick = 1;
        ui::stopSpeaking(a.speech);
        if (choicesShown) a.enterChoice = 1;
        const uint32_t now = v.clock.nowMs();
        if (!choicesShown && a.enterSeen && now - a.lastEnterMs <= 500) a.skip = 1;
        a.enterSeen = true;
        a.lastEnterMs = now;
        break;
    }
    case kKeyPageDown: mouseButton(v, 1, true, a.mouseX, a.mouseY); break;
    case kKeyA: setAutoMode(v.app, v.clock, !a.autoMode); break;
    case kKeyV: ui::setSpeech(a, a.speech.on == 0); break;
    case kKeyBackspace:
        a.pageMoves += a.shiftHeld ? 1 : -1;
        ui::stopSpeaking(a.speech);  // another page comes
        break;
    case kKeyUp: a.navSteps -= 1; break;
    case kKeyDown: a.navSteps += 1; break;
    default: break;
    }
}

}  // namespace

void applyInput(WindowView& v, const InputEvent& e) {
    switch (e.kind) {
    case InputEvent::Kind::MouseMove: mouseMove(v, e.x, e.y); break;
    case InputEvent::Kind::MouseButton: mouseButton(v, e.button, e.down, e.x, e.y); break;
    case InputEvent::Kind::Key: key(v, e.key, e.down); break;
    case InputEvent::Kind::Wheel:
        endAutoMode(v);
        endFastMode(v);
        // As players know it from other engines: up reads back, down goes on as a click does.
        if (e.key > 0) v.app.historyWanted = 1;
        if (e.key < 0) mouseButton(v, 1, true, v.app.mouseX, v.app.mouseY);
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
