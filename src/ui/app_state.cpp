// The menu lock: which top menu entries a lock state greys.
#include "ui/app_state.h"

#include "ui/config.h"

namespace yv::ui {

void menuLock(AppState& app, const Config& config, int32_t state) {
    MenuModel& m = app.menus;
    auto apply = [&](MenuWhich which, int first, int last, int skipPos) {
        switch (state) {
        case kLockAll:
            for (int p = first; p <= last; ++p) m.setTopGreyed(which, p, true);
            break;
        case kUnlockAll:
            for (int p = first; p <= last; ++p) m.setTopGreyed(which, p, false);
            break;
        case kLockSkip: m.setTopGreyed(which, skipPos, true); break;
        case kUnlockSkip: m.setTopGreyed(which, skipPos, false); break;
        case kUnlockAllButSkip:
            for (int p = first; p <= last; ++p) m.setTopGreyed(which, p, false);
            m.setTopGreyed(which, skipPos, true);
            break;
        default: break;
        }
    };
    // The menu bar in full screen is left alone; the pop-up only when it serves full screen.
    if (app.fullScreen == 0) apply(MenuWhich::Bar, 0, 3, 1);
    if (config.popFullMenu == 1) apply(MenuWhich::Popup, 0, 10, 7);
}

void setFastMode(AppState& app, bool on) {
    if (app.fastMode.exchange(on ? 1 : 0) == (on ? 1 : 0)) return;
    app.menus.setChecked(MenuWhich::Bar, menuid::kReadSkip, on);
}

}  // namespace yv::ui
