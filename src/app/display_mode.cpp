// Window mode and full screen: the switch in both directions with its messages and marks.
#include "app/display_mode.h"

#include "ui/app_state.h"
#include "app/menu_logic.h"
#include "core/cp932.h"
#include "runtime.h"

namespace yv::app {
namespace {

void detachBar(AppState& app, Platform& platform) {
    if (app.barAttached) {
        app.barAttached = 0;
        app.barKept = 1;
    }
    platform.setMenuBarShown(false);
}

void reattachBar(AppState& app, Platform& platform) {
    if (app.barKept) {
        app.barAttached = 1;
        app.barKept = 0;
    }
    platform.setMenuBarShown(app.barAttached != 0);
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
            if (rt.app.menuOn == 1) detachBar(rt.app, rt.platform);
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
        if (rt.app.fullMenuShown) showFullScreenMenu(rt.app, rt.platform, false);
        setFull(rt, 0);
        rt.platform.leaveFullScreen(rt.config.centerOnReturn == 1);
        if (rt.app.menuOn == 1) reattachBar(rt.app, rt.platform);
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

void showFullScreenMenu(AppState& app, Platform& platform, bool show) {
    if (show == (app.fullMenuShown != 0)) return;
    app.fullMenuShown = show ? 1 : 0;
    if (show)
        reattachBar(app, platform);
    else
        detachBar(app, platform);
}

}  // namespace yv::app
