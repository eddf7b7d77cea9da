// The title, the check marks of the speed and display-mode items, slot entries, auto mode
// and the skip-to-the-next-choice command.
#include "app/menu_logic.h"

#include <filesystem>

#include "ui/app_state.h"
#include "core/cp932.h"
#include "core/paths.h"
#include "runtime.h"
#include "save/slots.h"

namespace yv::app {

Bytes windowTitle(const Runtime& rt) { return rt.app.title(); }

namespace {
Bytes folderName(const std::filesystem::path& gameDir) {
    std::string folder = gameDir.filename().string();
    if (folder.empty()) folder = gameDir.parent_path().filename().string();
    return utf8ToCp932(PathResolver::diskNameToUtf8(folder));
}
}  // namespace

Bytes gameName(const Runtime& rt) {
    Bytes title = windowTitle(rt);
    if (!title.empty() && title != "Yorvane") return title;
    return folderName(rt.gameDir);
}

Bytes shownTitle(BytesView title, const std::filesystem::path& gameDir) {
    if (!title.empty() && title != "Yorvane") return Bytes(title);
    return folderName(gameDir) + " - Yorvane";
}

void setWindowTitle(Runtime& rt, BytesView title) {
    rt.app.setTitle(title);
    rt.platform.setTitle(title);
}

void markSpeed(Runtime& rt, int32_t chosenBarId) {
    using namespace ui::menuid;
    if (rt.app.menuOn != 1) return;
    int32_t pop = kPopNormal;
    switch (chosenBarId) {
    case kBarFast: pop = kPopFast; break;
    case kBarSlow: pop = kPopSlow; break;
    case kBarNoWait: pop = kPopNoWait; break;
    default: break;
    }
    if (rt.app.fullScreen == 0)
        rt.app.menus.checkOnly(MenuWhich::Bar, {kBarFast, kBarNormal, kBarSlow, kBarNoWait}, chosenBarId);
    rt.app.menus.checkOnly(MenuWhich::Popup, {kPopFast, kPopNormal, kPopSlow, kPopNoWait}, pop);
}

void markDisplayMode(Runtime& rt, MenuWhich which, bool full) {
    using namespace ui::menuid;
    if (which == MenuWhich::Bar)
        rt.app.menus.checkOnly(MenuWhich::Bar, {kBarFull, kBarWindow}, full ? kBarFull : kBarWindow);
    else
        rt.app.menus.checkOnly(MenuWhich::Popup, {kPopFull, kPopWindow}, full ? kPopFull : kPopWindow);
}

bool speedItem(Runtime& rt, int32_t id) {
    using namespace ui::menuid;
    int32_t bar = 0;
    switch (id) {
    case kBarFast: case kPopFast: bar = kBarFast; rt.interp.pacingMs = 10; break;
    case kBarNormal: case kPopNormal: bar = kBarNormal; rt.interp.pacingMs = 30; break;
    case kBarSlow: case kPopSlow: bar = kBarSlow; rt.interp.pacingMs = 50; break;
    case kBarNoWait: case kPopNoWait: bar = kBarNoWait; break;
    default: return false;
    }
    rt.app.noWait = bar == kBarNoWait ? 1 : 0;
    markSpeed(rt, bar);
    return true;
}

void setAutoMode(AppState& a, Clock& clock, bool on) {
    // The wait of a page already waiting counts from now.
    if (on) a.autoSinceMs = clock.nowMs();
    if (a.autoMode.exchange(on ? 1 : 0) == (on ? 1 : 0)) return;
    a.menus.setChecked(MenuWhich::Bar, ui::menuid::kAuto, on);
}

void refreshSlots(Runtime& rt, MenuWhich which) {
    for (int n = 0; n < kSlotCount; ++n) {
        const std::filesystem::path file = save::slotPath(rt, n);
        std::error_code ec;
        const bool exists = std::filesystem::is_regular_file(file, ec);
        auto thumb = exists ? rt.save.thumbnails.get(file, rt.config.width, rt.config.height) : nullptr;
        rt.app.menus.setSlot(which, n, slotLabel(n) + slotTimeText(file.string()), exists, std::move(thumb));
    }
}

void skipToNextChoice(Runtime& rt) {
    AppState& a = rt.app;
    const bool clickWait = a.textClickWait != 0 || rt.interp.clickWaitMode != 0;
    if (a.menusFree && !a.choiceBlock) {
        if (!clickWait) return;
        ui::menuLock(rt.app, rt.config, kLockAll);
        a.menusFree = 0;
    }
    if (!clickWait || a.choiceBlock) return;
    if (!a.skip) {
        a.skip = 1;
        a.stopAtWait = 0;
        return;
    }
    a.stopAtWait = 1;
    if (a.noWait) {
        a.endSkip = 1;
        if (!a.menusFree && !a.choiceList) {
            ui::menuLock(rt.app, rt.config, kUnlockAll);
            a.menusFree = 1;
        }
    }
}

}  // namespace yv::app
