// What the shell shares between the window thread and the interpreter thread: the menus, the
// display mode, the menu lock and the skip flags the menus and keys set.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/bytes.h"
#include "core/mutex.h"
#include "ui/menus.h"
#include "ui/speech.h"

namespace yv {

struct Config;
class Platform;

// A note the window title shows for a few seconds (where F12 put the picture, a quick save or
// load) before the game's title comes back. Either thread shows one; the window loop puts the
// title back when it is due. The lock keeps a note shown just as an older one runs out from
// being put away at once.
class TitleNotice {
public:
    // How long a note stays.
    static constexpr uint32_t kShowMs = 3000;

    // Shows `text` (CP932) in the title until `untilMs` (the game's clock).
    void show(Platform& platform, BytesView text, uint32_t untilMs) YV_EXCLUDES(mutex_);
    // Puts `title` back once the note has been shown long enough.
    void restoreWhenDue(Platform& platform, BytesView title, uint32_t nowMs) YV_EXCLUDES(mutex_);
    bool shown() const YV_EXCLUDES(mutex_) {
        MutexLock lock(mutex_);
        return shown_;
    }

private:
    mutable Mutex mutex_;
    bool shown_ YV_GUARDED_BY(mutex_) = false;
    uint32_t untilMs_ YV_GUARDED_BY(mutex_) = 0;
};

struct AppState {
    MenuModel menus;

    // The current display mode (the Full setting once a switch has completed): 0 window, 1 full.
    std::atomic<int32_t> fullScreen{0};
    // The menu setting (MENU): 0 the window has no menu bar.
    std::atomic<int32_t> menuOn{1};
    // The menu bar is on the window (window mode), or shown over the top band (full screen).
    std::atomic<int32_t> barAttached{1};
    // A menu bar is kept aside while it is off the window (deletemenu, full screen).
    std::atomic<int32_t> barKept{0};
    // The full-screen menu bar is currently shown (FULLMENU reveal).
    std::atomic<int32_t> fullMenuShown{0};

    // Menu lock and skipping, shared with the text renderer and the choices.
    std::atomic<int32_t> menusFree{0};    // the input handlers unlocked the menus
    std::atomic<int32_t> skip{0};         // messages are drawn at once
    std::atomic<int32_t> stopAtWait{0};   // end skipping at the next click wait
    std::atomic<int32_t> endSkip{0};      // end skipping at the next click wait, unlock menus
    std::atomic<int32_t> noWait{0};       // the no-wait speed
    std::atomic<int32_t> choiceBlock{0};  // a select block is active (set by the choices)
    std::atomic<int32_t> choiceList{0};   // choices are on the screen (set by the choices)
    std::atomic<int32_t> textClickWait{0};  // the renderer waits for a click at a page end

    // Choice navigation keys for the choices: +1 per Down, -1 per Up, taken by the choice phase.
    std::atomic<int32_t> navSteps{0};
    // Enter pressed while choices are on offer: the highlighted one is taken, wherever the
    // pointer is.
    std::atomic<int32_t> enterChoice{0};
    // The wheel turned away from the player: the message history opens (window thread, from
    // its loop, as the menu entry does).
    std::atomic<int32_t> historyWanted{0};
    // Auto mode (オート, the A key): a page that waits for a click after its message goes on by
    // itself after autoBaseMs plus autoPerCharMs for each character shown since the last wait.
    // Any click or key ends it. autoSinceMs: when it was last turned on (the game's clock).
    std::atomic<int32_t> autoMode{0};
    std::atomic<uint32_t> autoSinceMs{0};
    // The pace of auto mode, a player's setting (remembered with the others).
    std::atomic<int32_t> autoBaseMs{1500};
    std::atomic<int32_t> autoPerCharMs{60};
    // Pages to go back (negative: Backspace, 一つ前へ) or forward (Shift+Backspace), taken
    // between steps by the interpreter.
    std::atomic<int32_t> pageMoves{0};
    // A Shift key is held (window thread only).
    bool shiftHeld = false;
    // Dialogs of the menus open now (the history, the volume): auto mode waits meanwhile.
    std::atomic<int32_t> playerDialogs{0};
    // What the title says for a few seconds: where F12 saved the picture, a quick save or load.
    TitleNotice titleNotice;
    // Fast-forward through read text (ours, beside the game's skip): while Ctrl is held
    // (fastHeld) or while the mode is on (fastMode: Tab, 設定 > 既読スキップ), pages read before
    // pass by themselves, shown at once; fastUnread (設定 > 未読もスキップ) lets unread ones pass
    // too. It stops at an unread page, at choices, at the script's own click waits and while a
    // dialog is open; a click or a key ends the mode, letting go of Ctrl the held form.
    std::atomic<int32_t> fastHeld{0};
    std::atomic<int32_t> fastMode{0};
    std::atomic<int32_t> fastUnread{0};
    // Reading aloud (設定 > 読み上げ, V): pages as they are shown, choices as they are highlighted.
    Speech speech;
    // The window title says fast-forward is on: the title it was added to (window thread).
    bool fastTitleShown = false;
    Bytes fastTitleBase;
    // Enter pressed twice within 500 ms turns skipping on.
    uint32_t lastEnterMs = 0;
    bool enterSeen = false;

    // Last mouse position over the game screen (game coordinates), for the space key's menu.
    std::atomic<int32_t> mouseX{0}, mouseY{0};
    // The window title (the Title setting, then settitle's): settitle changes it on the
    // interpreter thread while the window thread's dialogs read it, so it is copied out.
    Bytes title() const YV_EXCLUDES(titleMutex) {
        MutexLock lock(titleMutex);
        return title_;
    }
    void setTitle(BytesView t) YV_EXCLUDES(titleMutex) {
        MutexLock lock(titleMutex);
        title_ = Bytes(t);
    }
    mutable Mutex titleMutex;
    Bytes title_ YV_GUARDED_BY(titleMutex) = "Yorvane";

    // The last mode the redraw saw: the interpreter resumes at the first redraw in a new mode.
    int32_t lastDrawnMode = 0;
};

// Menu lock states.
enum MenuLock : int32_t {
    kLockAll = 0,
    kUnlockAll = 1,
    kLockSkip = 2,
    kUnlockSkip = 3,
    kUnlockAllButSkip = 4,
};

namespace ui {
// Greys or enables the top menu entries for a lock state (any thread): the menu bar while in a
// window, and the pop-up menu when it stands in for the bar in full screen (POPFULLMENU).
void menuLock(AppState& app, const Config& config, int32_t state);
// Turns the fast-forward mode on or off, its menu entry's check mark with it (any thread).
void setFastMode(AppState& app, bool on);
}  // namespace ui

}  // namespace yv
