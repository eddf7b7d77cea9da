// The menus as the game ships them, and the small edits the shell and the interpreter make.
#include "ui/menus.h"

#include <sys/stat.h>

#include <cstdio>

#include "core/cp932.h"
#include "core/i18n.h"
#include "core/os.h"

namespace yv {
namespace {

MenuItem cmd(int32_t id, const char* utf8) {
    MenuItem m;
    m.id = id;
    m.label = utf8ToCp932(utf8);
    return m;
}

MenuItem greyedCmd(int32_t id, const char* utf8) {
    MenuItem m = cmd(id, utf8);
    m.greyed = true;
    return m;
}

MenuItem sep() {
    MenuItem m;
    m.separator = true;
    return m;
}

MenuItem submenu(const char* utf8, std::vector<MenuItem> items) {
    MenuItem m;
    m.label = utf8ToCp932(utf8);
    m.sub = std::move(items);
    return m;
}

// The label a slot entry has before the menu is first opened: "7: ----/--/-- --:--:--".
Bytes resourceSlotLabel(int slot) { return decimal(slot) + ": ----/--/-- --:--:--"; }

std::vector<MenuItem> slotEntries(bool save, bool popup) {
    std::vector<MenuItem> out;
    for (int n = 0; n < kSlotCount; ++n) {
        MenuItem m;
        // The pop-up's resource gives its save entries 10-30 the load ids; opening the menu
        // rewrites them.
        m.id = save ? (popup && n >= 10 ? loadSlotId(n) : saveSlotId(n)) : loadSlotId(n);
        m.label = resourceSlotLabel(n);
        m.greyed = n == 0;
        out.push_back(std::move(m));
    }
    return out;
}

}  // namespace

int32_t saveSlotId(int n) {
    if (n >= 0 && n <= 9) return ui::menuid::kSaveSlot0 + n;
    if (n >= 10 && n <= 30) return ui::menuid::kSaveSlot10 + (n - 10);
    return 0;
}

int32_t loadSlotId(int n) {
    if (n >= 0 && n <= 9) return ui::menuid::kLoadSlot0 + n;
    if (n >= 10 && n <= 30) return ui::menuid::kLoadSlot10 + (n - 10);
    return 0;
}

int slotOfSaveId(int32_t id) {
    if (id >= ui::menuid::kSaveSlot0 && id <= ui::menuid::kSaveSlot0 + 9) return id - ui::menuid::kSaveSlot0;
    if (id >= ui::menuid::kSaveSlot10 && id <= ui::menuid::kSaveSlot10 + 20) return id - ui::menuid::kSaveSlot10 + 10;
    return -1;
}

int slotOfLoadId(int32_t id) {
    if (id >= ui::menuid::kLoadSlot0 && id <= ui::menuid::kLoadSlot0 + 9) return id - ui::menuid::kLoadSlot0;
    if (id >= ui::menuid::kLoadSlot10 && id <= ui::menuid::kLoadSlot10 + 20) return id - ui::menuid::kLoadSlot10 + 10;
    return -1;
}

MenuModel::MenuModel() {
    using namespace ui::menuid;
    bar_.push_back(submenu("ﾌｧｲﾙ(&F)", {submenu("ｾｰﾌﾞ", slotEntries(true, false)),
                                          submenu("ﾛｰﾄﾞ", slotEntries(false, false)), sep(),
                                          cmd(kHistory, "履歴"), sep(),
                                          cmd(kExit, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)")}));
    bar_.push_back(cmd(kBarSkip, "選択肢まで進む"));
    bar_.push_back(submenu(
        "設定", {submenu("画面変更", {cmd(kBarFull, "ﾌﾙｽｸﾘｰﾝ"), cmd(kBarWindow, "ｳｨﾝﾄﾞｳﾓｰﾄﾞ")}),
                 submenu("速度", {cmd(kBarFast, "早い"), cmd(kBarNormal, "普通"),
                                  cmd(kBarSlow, "遅い"), cmd(kBarNoWait, "ﾉｰｳｪｲﾄ")}),
                 cmd(kBarVolume, "ﾎﾞﾘｭｰﾑ設定"),
                 // Yorvane's own entries speak the player's language; the game's keep their words.
                 submenu(i18n::tr("Scaling"), {cmd(kFilterSharp, i18n::tr("Sharp")),
                                               cmd(kFilterNearest, i18n::tr("Nearest")),
                                               cmd(kFilterSmooth, i18n::tr("Smooth"))}),
                 cmd(kAuto, i18n::tr("Auto mode")), cmd(kReadSkip, i18n::tr("Skip read pages")),
                 cmd(kSkipUnread, i18n::tr("Skip unread pages too")), greyedCmd(kGoBack, i18n::tr("Back one page")),
                 cmd(kCopyText, i18n::tr("Copy text")), cmd(kSpeech, i18n::tr("Read aloud"))}));
    bar_.push_back(
        submenu("ﾍﾙﾌﾟ(&H)", {cmd(kKeysHelp, i18n::tr("&Keys and mouse...")), cmd(kAbout, "ﾊﾞｰｼﾞｮﾝ情報(&A)...")}));

    popup_ = {submenu("ｾｰﾌﾞ", slotEntries(true, true)),
              submenu("ﾛｰﾄﾞ", slotEntries(false, true)),
              sep(),
              cmd(kHistory, "履歴"),
              sep(),
              submenu("画面変更", {cmd(kPopFull, "ﾌﾙｽｸﾘｰﾝ"), cmd(kPopWindow, "ｳｨﾝﾄﾞｳﾓｰﾄﾞ")}),
              submenu("速度", {cmd(kPopFast, "早い"), cmd(kPopNormal, "普通"), cmd(kPopSlow, "遅い"),
                               cmd(kPopNoWait, "ﾉｰｳｪｲﾄ")}),
              cmd(kPopSkip, "選択肢まで進む"),
              cmd(kPopVolume, "ﾎﾞﾘｭｰﾑ設定"),
              sep(),
              cmd(kPopClose, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)")};
}

std::vector<MenuItem> MenuModel::snapshot(MenuWhich which) const {
    MutexLock lock(mutex_);
    return top(which);
}

MenuItem* MenuModel::findLocked(std::vector<MenuItem>& items, int32_t id) {
    for (MenuItem& m : items) {
        if (!m.separator && m.id == id && id != 0) return &m;
        if (MenuItem* f = findLocked(m.sub, id)) return f;
    }
    return nullptr;
}

std::optional<MenuItem> MenuModel::find(MenuWhich which, int32_t id) const {
    MutexLock lock(mutex_);
    auto& items = const_cast<std::vector<MenuItem>&>(top(which));
    if (MenuItem* m = findLocked(items, id)) return *m;
    return std::nullopt;
}

void MenuModel::setChecked(MenuWhich which, int32_t id, bool on) {
    MutexLock lock(mutex_);
    ++version_;
    if (MenuItem* m = findLocked(top(which), id)) m->checked = on;
}

void MenuModel::setGreyed(MenuWhich which, int32_t id, bool on) {
    MutexLock lock(mutex_);
    ++version_;
    if (MenuItem* m = findLocked(top(which), id)) m->greyed = on;
}

void MenuModel::setTopGreyed(MenuWhich which, int pos, bool on) {
    MutexLock lock(mutex_);
    ++version_;
    auto& t = top(which);
    if (pos >= 0 && pos < static_cast<int>(t.size())) t[static_cast<size_t>(pos)].greyed = on;
}

bool MenuModel::topGreyed(MenuWhich which, int pos) const {
    MutexLock lock(mutex_);
    const auto& t = top(which);
    return pos >= 0 && pos < static_cast<int>(t.size()) && t[static_cast<size_t>(pos)].greyed;
}

void MenuModel::setFirstPopupItemGreyed(MenuWhich which, int pos, bool on) {
    MutexLock lock(mutex_);
    std::vector<MenuItem>* items = &popup_;
    if (which == MenuWhich::Bar) {
        if (bar_.empty() || !bar_[0].isSubmenu()) return;
        items = &bar_[0].sub;
    }
    if (pos >= 0 && pos < static_cast<int>(items->size())) (*items)[static_cast<size_t>(pos)].greyed = on;
}

bool MenuModel::firstPopupItemGreyed(MenuWhich which, int pos) const {
    MutexLock lock(mutex_);
    const std::vector<MenuItem>* items = &popup_;
    if (which == MenuWhich::Bar) {
        if (bar_.empty() || !bar_[0].isSubmenu()) return false;
        items = &bar_[0].sub;
    }
    return pos >= 0 && pos < static_cast<int>(items->size()) && (*items)[static_cast<size_t>(pos)].greyed;
}

namespace {
// True when the id is found below `items` on a path without a greyed entry.
bool enabledPath(const std::vector<MenuItem>& items, int32_t id) {
    for (const MenuItem& m : items) {
        if (m.separator || m.greyed) continue;
        if (m.id == id && !m.isSubmenu()) return true;
        if (m.isSubmenu() && enabledPath(m.sub, id)) return true;
    }
    return false;
}
}  // namespace

bool MenuModel::pickable(MenuWhich which, int32_t id) const {
    MutexLock lock(mutex_);
    return id != 0 && enabledPath(top(which), id);
}

bool MenuModel::removeBarEntry(int pos) {
    MutexLock lock(mutex_);
    ++version_;
    if (pos < 0 || pos >= static_cast<int>(bar_.size())) return false;
    bar_.erase(bar_.begin() + pos);
    return true;
}

int MenuModel::topCount(MenuWhich which) const {
    MutexLock lock(mutex_);
    return static_cast<int>(top(which).size());
}

void MenuModel::setSlot(MenuWhich which, int slot, BytesView caption, bool fileExists,
                        std::shared_ptr<const Thumbnail> thumbnail) {
    if (slot < 0 || slot >= kSlotCount) return;
    MutexLock lock(mutex_);
    ++version_;
    // The "ｾｰﾌﾞ" and "ﾛｰﾄﾞ" submenus: the first two submenus of the bar's first entry or of the
    // pop-up.
    std::vector<MenuItem>* owner = nullptr;
    if (which == MenuWhich::Bar) {
        if (bar_.empty() || !bar_[0].isSubmenu()) return;
        owner = &bar_[0].sub;
    } else {
        owner = &popup_;
    }
    if (owner->size() < 2) return;
    auto& saves = (*owner)[0].sub;
    auto& loads = (*owner)[1].sub;
    const auto s = static_cast<size_t>(slot);
    if (s < saves.size()) {
        saves[s].label = Bytes(caption);
        saves[s].greyed = false;
        saves[s].thumbnail = thumbnail;
        if (which == MenuWhich::Popup) saves[s].id = saveSlotId(slot);
    }
    if (s < loads.size()) {
        loads[s].label = Bytes(caption);
        loads[s].greyed = !fileExists;
        loads[s].thumbnail = std::move(thumbnail);
        if (which == MenuWhich::Popup) loads[s].id = loadSlotId(slot);
    }
}

void MenuModel::checkOnly(MenuWhich which, std::initializer_list<int32_t> group, int32_t chosen) {
    MutexLock lock(mutex_);
    ++version_;
    for (int32_t id : group)
        if (MenuItem* m = findLocked(top(which), id)) m->checked = id == chosen;
}

Bytes slotLabel(int slot) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2d:  ", slot);
    return buf;
}

Bytes slotTimeText(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "----/--/-- --:--:--";
    // A slot save puts a new file in place of the old one, so its creation time is the time of
    // the last save.
    const auto t = os::fileCreationTime(path);
    if (!t) return "----/--/-- --:--:--";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", t->year, t->month, t->day, t->hour,
                  t->minute, t->second);
    return buf;
}

}  // namespace yv
