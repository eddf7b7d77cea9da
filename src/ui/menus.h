// The game menu bar and the pop-up menu as data: entries, command ids, labels, check marks and
// greying. The window draws this model and reports the id the player picks.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/bytes.h"
#include "core/mutex.h"
#include "core/thumbnail.h"

namespace yv {

// Command ids of both menus.
namespace ui::menuid {
constexpr int32_t kSaveSlot0 = 32792;    // slots 0-9: 32792-32801
constexpr int32_t kLoadSlot0 = 32802;    // slots 0-9: 32802-32811
constexpr int32_t kSaveSlot10 = 32822;   // slots 10-30: 32822-32842
constexpr int32_t kLoadSlot10 = 32843;   // slots 10-30: 32843-32863
constexpr int32_t kHistory = 32864;
constexpr int32_t kBarFull = 32777, kBarWindow = 32776;
constexpr int32_t kPopFull = 32779, kPopWindow = 32780;
constexpr int32_t kBarFast = 32816, kBarNormal = 32817, kBarSlow = 32818, kBarNoWait = 32865;
constexpr int32_t kPopFast = 32819, kPopNormal = 32820, kPopSlow = 32821, kPopNoWait = 32866;
constexpr int32_t kBarSkip = 32785, kPopSkip = 32786;
constexpr int32_t kBarVolume = 32773, kPopVolume = 32782;
constexpr int32_t kExit = 57665;
constexpr int32_t kPopClose = 32781;
constexpr int32_t kAbout = 57664;
// Yorvane's own: how the picture is scaled to the window (設定 > 拡大表示).
constexpr int32_t kFilterSharp = 40101, kFilterNearest = 40102, kFilterSmooth = 40103;
// Yorvane's own: pages that wait for a click go on by themselves (設定 > オート, the A key).
constexpr int32_t kAuto = 40111;
// Yorvane's own: fast-forward through read text (設定 > 既読スキップ, the Tab key), and whether
// it passes unread text too (設定 > 未読もスキップ).
constexpr int32_t kReadSkip = 40112, kSkipUnread = 40113;
// Yorvane's own: each page's text goes to the clipboard once read (設定 > テキストをコピー).
constexpr int32_t kCopyText = 40114;
// Yorvane's own: each page read aloud once shown, choices as highlighted (設定 > 読み上げ, V).
constexpr int32_t kSpeech = 40115;
// Yorvane's own: the page before comes back (設定 > 一つ前へ, Backspace); greyed without one.
constexpr int32_t kGoBack = 40131;
// Yorvane's own: every key and mouse action (ﾍﾙﾌﾟ > 操作方法).
constexpr int32_t kKeysHelp = 40121;
}  // namespace ui::menuid

constexpr int kSlotCount = 31;

// The save (or load) command id of slot n (0..30); 0 for other n.
int32_t saveSlotId(int slot);
int32_t loadSlotId(int slot);
// The slot a save (load) id stands for, or -1.
int slotOfSaveId(int32_t id);
int slotOfLoadId(int32_t id);

struct MenuItem {
    int32_t id = 0;  // command id; 0 for a submenu or a separator
    Bytes label;     // CP932
    bool separator = false;
    bool checked = false;
    bool greyed = false;
    std::vector<MenuItem> sub;  // a submenu when not empty
    std::shared_ptr<const Thumbnail> thumbnail;  // slot entries: the saved picture (tooltip)

    bool isSubmenu() const { return !sub.empty(); }
};

enum class MenuWhich { Bar, Popup };

// Both menus. The window thread draws from snapshots; the interpreter thread may change marks
// and greying (menu lock) at any time, so every access goes through the one mutex.
class MenuModel {
public:
    MenuModel();  // the menus as the game ships them

    // Copies for drawing. The pop-up's entries are the submenu of its single top entry.
    std::vector<MenuItem> snapshot(MenuWhich which) const;

    // Finds the entry with the id (first in depth order); nothing when missing.
    std::optional<MenuItem> find(MenuWhich which, int32_t id) const;
    void setChecked(MenuWhich which, int32_t id, bool on);
    void setGreyed(MenuWhich which, int32_t id, bool on);
    // The top-level entry at a position (the pop-up: entries of its submenu).
    void setTopGreyed(MenuWhich which, int pos, bool on);
    // The entry at a position of the first submenu: the bar's "ﾌｧｲﾙ", the pop-up's "ｼｽﾃﾑ".
    void setFirstPopupItemGreyed(MenuWhich which, int pos, bool on);
    bool firstPopupItemGreyed(MenuWhich which, int pos) const;
    // Whether a player could pick the entry with the id: it exists and neither it nor a submenu
    // holding it is greyed.
    bool pickable(MenuWhich which, int32_t id) const;
    bool topGreyed(MenuWhich which, int pos) const;
    // Removes a top-level entry of the menu bar (Key = 0 removes position 1).
    bool removeBarEntry(int pos);
    int topCount(MenuWhich which) const;

    // Rewrites, by position, slot n's entries of the "ｾｰﾌﾞ" and "ﾛｰﾄﾞ" submenus with the caption
    // and the slot's command id (the bar's ids never change); the save entry is enabled (the
    // menus of the original enabled every entry that has a command when they opened), the load
    // entry greyed unless the file exists. Both carry the slot's thumbnail.
    void setSlot(MenuWhich which, int slot, BytesView caption, bool fileExists,
                 std::shared_ptr<const Thumbnail> thumbnail = nullptr);

    // Exactly one of the ids checked, the others unchecked.
    void checkOnly(MenuWhich which, std::initializer_list<int32_t> group, int32_t chosen);

    // Grows with every change: a window that draws only on change redraws when it moved.
    uint64_t version() const { return version_.load(); }

private:
    // Searches `items` (one of the menus, so the caller holds mutex_).
    static MenuItem* findLocked(std::vector<MenuItem>& items, int32_t id);
    std::vector<MenuItem>& top(MenuWhich which) YV_REQUIRES(mutex_) {
        return which == MenuWhich::Bar ? bar_ : popup_;
    }
    const std::vector<MenuItem>& top(MenuWhich which) const YV_REQUIRES(mutex_) {
        return which == MenuWhich::Bar ? bar_ : popup_;
    }

    mutable Mutex mutex_;
    std::atomic<uint64_t> version_{0};
    std::vector<MenuItem> bar_ YV_GUARDED_BY(mutex_);
    std::vector<MenuItem> popup_ YV_GUARDED_BY(mutex_);
};

// The slot label: number right-aligned in two characters, a colon and two blanks (" 7:  ").
Bytes slotLabel(int slot);
// The slot's time text from its file (its creation time, as getfiletime gives it), or
// "----/--/-- --:--:--" when it cannot be read.
Bytes slotTimeText(const std::string& fileUtf8Path);

}  // namespace yv
