// Slot files, the slot menu entries and the load dialog.
#include "save/slots.h"

#include <cstdio>

#include "ui/menus.h"
#include "core/cp932.h"
#include "runtime.h"
#include "save/save_folder.h"
#include "save/save_game.h"

namespace fs = std::filesystem;

namespace yv::save {
namespace {

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

Bytes shownPath(const fs::path& p) { return utf8ToCp932(p.string()); }

}  // namespace

fs::path slotPath(const Runtime& rt, int slot) { return ownSavePath(rt, slotFileName(slot)); }

Bytes slotCaption(const Runtime& rt, int slot) { return slotLabel(slot) + slotTimeText(slotPath(rt, slot).string()); }

void saveToSlot(Runtime& rt, int slot) {
    if (slot < 0 || slot >= kSlotCount) return;
    const fs::path file = slotPath(rt, slot);
    if (isFile(file)) {
        const int32_t answer = rt.messageBox(utf8ToCp932("セーブファイルが存在します。\n上書きしてよろしいですか?"),
                                             utf8ToCp932("確認"), MsgButtons::OkCancel, MsgIcon::Question);
        if (answer != kIdOk) return;
        // The old file stays until the new one is complete: it is replaced, never deleted first.
    }
    saveGame(rt, file, shownPath(file));
}

void loadFromSlot(Runtime& rt, int slot) {
    if (slot < 0 || slot >= kSlotCount) return;
    const fs::path file = slotPath(rt, slot);
    if (!isFile(file)) {
        rt.messageBox(utf8ToCp932("ファイルが見つかりませんでした"), "", MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (!loadGame(rt, file, shownPath(file)))
        sayNotASave(rt);
}

void requestSlot(Runtime& rt, SlotRequest request) {
    if (!rt.interp.threadActive) {
        // Nothing else changes the state now.
        request.load ? loadFromSlot(rt, request.slot) : saveToSlot(rt, request.slot);
        rt.save.justLoaded = 0;
        return;
    }
    {
        MutexLock lock(rt.save.requestMutex);
        rt.save.slotRequests.push_back(request);
    }
    // A halted interpreter sleeps until something wakes it: a load after the end must still run.
    rt.interp.wake.notify();
}

bool slotRequested(Runtime& rt) {
    MutexLock lock(rt.save.requestMutex);
    return !rt.save.slotRequests.empty();
}

void serveSlotRequests(Runtime& rt) {
    for (;;) {
        SlotRequest r;
        {
            MutexLock lock(rt.save.requestMutex);
            if (rt.save.slotRequests.empty()) return;
            r = rt.save.slotRequests.front();
            rt.save.slotRequests.pop_front();
        }
        r.load ? loadFromSlot(rt, r.slot) : saveToSlot(rt, r.slot);
        // Between steps the read position a load set is where the next step starts.
        rt.save.justLoaded = 0;
    }
}

bool startLoad(Runtime& rt) {
    LoadDialogRequest req;
    for (int n = 0; n < kSlotCount; ++n) {
        LoadDialogSlot s;
        const fs::path file = slotPath(rt, n);
        s.exists = isFile(file);
        if (s.exists) {
            s.caption = slotCaption(rt, n);
            s.thumbnail = rt.save.thumbnails.get(file, rt.config.width, rt.config.height);
        } else {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%2d: ----/--/-- --:--:--", n);
            s.caption = buf;
        }
        req.slots.push_back(std::move(s));
    }
    const int chosen = rt.platform.loadDialog(req);
    if (chosen < 0 || chosen >= kSlotCount) return false;
    const Bytes name = slotFileName(chosen);
    if (!isFile(slotPath(rt, chosen))) {
        rt.messageBox(utf8ToCp932("ファイルが見つかりませんでした"), "", MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    rt.save.loadFile = name;
    rt.save.loadRequested = 1;
    return true;
}

}  // namespace yv::save
