// The fast-forward title notice and its stops outside the renderer.
#include "app/fast_forward.h"

#include "app/menu_logic.h"
#include "app/window_view.h"
#include "core/cp932.h"
#include "runtime.h"
#include "core/i18n.h"

namespace yv::app {

void updateFastForwardTitle(WindowView& v) {
    AppState& a = v.app;
    if (a.titleNotice.shown()) {
        a.fastTitleShown = false;  // F12's or a quick save's notice is brief; this one comes back after it
        return;
    }
    const bool on = a.fastHeld != 0 || a.fastMode != 0;
    if (!on && !a.fastTitleShown) return;
    const Bytes base = shownTitle(a.title(), v.gameDir);
    if (!on) {
        a.fastTitleShown = false;
        v.platform.setTitle(base);
        return;
    }
    // A title the script set meanwhile gets the notice too.
    if (a.fastTitleShown && base == a.fastTitleBase) return;
    v.platform.setTitle(base + utf8ToCp932(std::string(" [") + i18n::tr("Skip read pages") + "]"));
    a.fastTitleShown = true;
    a.fastTitleBase = base;
}

void stopFastModeWhereThePlayerActs(Runtime& rt) {
    AppState& a = rt.app;
    if (a.fastMode && (a.choiceList || a.choiceBlock || rt.interp.clickWaitMode != 0)) ui::setFastMode(a, false);
}

}  // namespace yv::app
