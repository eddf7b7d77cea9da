// The menu lock: which top menu entries a lock state greys; the title's passing notes.
#include "ui/app_state.h"

#include "platform/platform.h"
#include "ui/config.h"

namespace yv {

void TitleNotice::show(Platform& platform, BytesView text, uint32_t untilMs) {
    MutexLock lock(mutex_);
    platform.setTitle(text);
    shown_ = true;
    untilMs_ = untilMs;
}

void TitleNotice::restoreWhenDue(Platform& platform, BytesView title, uint32_t nowMs) {
    MutexLock lock(mutex_);
    if (!shown_ || static_cast<int32_t>(nowMs - untilMs_) < 0) return;
    shown_ = false;
    platform.setTitle(title);
}

}  // namespace yv

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
