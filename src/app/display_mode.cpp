// Window mode and full screen: the switch in both directions with its messages and marks.
#include "app/display_mode.h"

#include "ui/app_state.h"
#include "app/menu_logic.h"
#include "core/cp932.h"
#include "runtime.h"

namespace yv::app {
namespace {

void detachBar(Runtime& rt) {
    if (rt.app.barAttached) {
        rt.app.barAttached = 0;
        rt.app.barKept = 1;
    }
    rt.platform.setMenuBarShown(false);
}

void reattachBar(Runtime& rt) {
    if (rt.app.barKept) {
        rt.app.barAttached = 1;
        rt.app.barKept = 0;
    }
    rt.platform.setMenuBarShown(rt.app.barAttached != 0);
}

void setFull(Runtime& rt, int32_t v) {
    rt.app.fullScreen = v;
    rt.config.full = v;
}

}  // namespace

bool testAndSetDisplayMode(Runtime& rt) {
    switch (rt.platform.enterFullScreen()) {
    case DisplayModeAnswer::Ok: return true;
    case DisplayModeAnswer::NoSuchMode:
    case DisplayModeAnswer::Failed:
        rt.messageBox(utf8ToCp932("ディスプレイドライバが、指定したグラフィックスモードの設定に失敗しました。"), "");
        return false;
    case DisplayModeAnswer::NotSupported:
        rt.messageBox(utf8ToCp932("このグラフィックスモードはサポートされていません。"), "");
        return false;
    case DisplayModeAnswer::Refused: return false;
    }
    return false;
}

void switchToFullScreen(Runtime& rt, bool fromBar) {
    if (fromBar) rt.interp.suspended = 1;
    rt.config.fullBits = rt.platform.desktopBits();
    if (!rt.app.fullScreen) {
        rt.interp.stepsEnabled = 0;
        setFull(rt, 1);
        if (testAndSetDisplayMode(rt)) {
            if (rt.app.menuOn == 1) detachBar(rt);
        } else {
            setFull(rt, 0);
            // The window keeps its shape and no redraw in a new mode will come to resume the
            // interpreter: let it run on at once.
            rt.interp.stepsEnabled = 1;
        }
    }
    // The marks always tell the mode the game is in after the switch.
    markDisplayMode(rt, MenuWhich::Bar, rt.app.fullScreen != 0);
    markDisplayMode(rt, MenuWhich::Popup, rt.app.fullScreen != 0);
    if (fromBar) rt.interp.suspended = 0;
}

void switchToWindowMode(Runtime& rt, bool fromBar) {
    if (fromBar) rt.interp.suspended = 1;
    if (rt.app.fullScreen) {
        rt.interp.stepsEnabled = 0;
        if (rt.app.fullMenuShown) showFullScreenMenu(rt, false);
        setFull(rt, 0);
        rt.platform.leaveFullScreen(rt.config.centerOnReturn == 1);
        if (rt.app.menuOn == 1) reattachBar(rt);
    }
    markDisplayMode(rt, MenuWhich::Bar, false);
    markDisplayMode(rt, MenuWhich::Popup, false);
    if (fromBar) rt.interp.suspended = 0;
}

void onRedrawn(Runtime& rt, bool closing) {
    const int32_t mode = rt.app.fullScreen;
    if (mode == rt.app.lastDrawnMode) return;
    rt.app.lastDrawnMode = mode;
    if (!closing) rt.interp.stepsEnabled = 1;
}

void showFullScreenMenu(Runtime& rt, bool show) {
    if (show == (rt.app.fullMenuShown != 0)) return;
    rt.app.fullMenuShown = show ? 1 : 0;
    if (show)
        reattachBar(rt);
    else
        detachBar(rt);
}

}  // namespace yv::app
