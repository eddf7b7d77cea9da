// The quick slot: the slots' writer and loader, the question before a load that would throw
// progress away, and the title's word on what happened.
#include "save/quick_save.h"

#include <cstdio>

#include "core/cp932.h"
#include "core/i18n.h"
#include "runtime.h"
#include "save/save_folder.h"
#include "save/save_game.h"

namespace fs = std::filesystem;

namespace yv::save {
namespace {

void say(Runtime& rt, const char* utf8) {
    rt.app.titleNotice.show(rt.platform, utf8ToCp932(utf8), rt.clock().nowMs() + TitleNotice::kShowMs);
}

// stopsave / stopload grey the menus' save or load entry: the game holds a state it cannot
// come back to, and the quick slot keeps out of it too.
bool refusedByScript(const Runtime& rt, int pos) {
    return rt.app.menuOn == 1 && rt.app.menus.firstPopupItemGreyed(MenuWhich::Bar, pos);
}

void quickSave(Runtime& rt) {
    if (refusedByScript(rt, 0)) return say(rt, i18n::tr("Quick save is not possible now"));
    const fs::path file = quickSavePath(rt);
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (!saveGame(rt, file, utf8ToCp932(file.string()))) return;
    std::fprintf(stderr, "quick save: %s\n", file.c_str());
    say(rt, i18n::tr("Quick saved"));
}

void quickLoad(Runtime& rt) {
    if (refusedByScript(rt, 1)) return say(rt, i18n::tr("Quick load is not possible now"));
    const fs::path file = quickSavePath(rt);
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        std::fprintf(stderr, "quick load: no quick save (%s)\n", file.c_str());
        return say(rt, i18n::tr("No quick save yet"));
    }
    if (madeProgress(rt) &&
        rt.messageBox(utf8ToCp932(i18n::tr("Back to the quick save?\nWhat was played since then is lost.")),
                      utf8ToCp932(i18n::tr("Confirm")), MsgButtons::YesNo, MsgIcon::Question) != kIdYes)
        return;
    const std::optional<Bytes> read = readSaveFile(rt, file, utf8ToCp932(file.string()), file.parent_path());
    if (!read) return;
    if (!loadFromBytes(rt, *read, file)) {
        sayNotASave(rt);
        return;
    }
    // Between steps the read position the load set is where the next step starts.
    rt.save.justLoaded = 0;
    std::fprintf(stderr, "quick load: %s\n", file.c_str());
    say(rt, i18n::tr("Quick loaded"));
}

}  // namespace

fs::path quickSavePath(const Runtime& rt) { return userSaveFolder(rt.gameDir) / "quick.sav"; }

void requestQuick(Runtime& rt, Quick what) {
    if (!rt.interp.threadActive || rt.closing()) return;
    rt.save.quickRequest = static_cast<int32_t>(what);
    // A halted interpreter (a blocking volume fade) sleeps until something wakes it.
    rt.interp.wake.notify();
}

bool quickRequested(const Runtime& rt) { return rt.save.quickRequest != 0 && rt.app.playerDialogs == 0; }

void serveQuickRequest(Runtime& rt) {
    if (!quickRequested(rt) || rt.closing()) return;
    const auto what = static_cast<Quick>(rt.save.quickRequest.exchange(0));
    if (what == Quick::Save) quickSave(rt);
    if (what == Quick::Load) quickLoad(rt);
}

}  // namespace yv::save
