// The only door to the outside world: window, presentation, dialogs, time. Core code never
// includes SDL, ImGui or FFmpeg headers; it talks to this interface.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/clock.h"
#include "core/os.h"
#include "core/picture.h"
#include "core/thumbnail.h"

namespace yv {

class MenuModel;
namespace ui {
class DebugWindows;
}
namespace audio {
class Mixer;
}

// What the volume dialog "ﾎﾞﾘｭｰﾑ設定" works on: the game's own volumes (window thread). Each
// call answers false when that volume cannot be reached, and the dialog greys its control.
class VolumeDialogModel {
public:
    virtual ~VolumeDialogModel() = default;
    virtual bool masterPercent(int32_t& percent) = 0;
    virtual bool setMasterPercent(int32_t percent) = 0;
    virtual bool mute(bool& on) = 0;
    virtual bool toggleMute() = 0;
    // The wave device check (failing, it also disables the wave player).
    virtual bool waveDevice() = 0;
    // 16-bit level of the left channel (both channels are set alike).
    virtual bool waveVolume(uint16_t& level) = 0;
    virtual bool setWaveVolume(uint16_t level) = 0;
};

// Button sets and answers use the engine's own codes (the mb_/id keywords of the script language).
enum class MsgButtons { Ok = 1, OkCancel = 2, YesNo = 3, YesNoCancel = 4, RetryCancel = 5 };
enum class MsgIcon { None, Information, Exclamation, Error, Question };
enum MsgAnswer : int32_t { kIdOk = 1, kIdCancel = 2, kIdYes = 3, kIdNo = 4, kIdRetry = 5 };


// The single-field text-entry box. Texts are CP932.
struct InputBoxRequest {
    Bytes title;
    Bytes prompt;       // the label above the field
    Bytes defaultText;  // what the "デフォルト" button puts back
    Bytes initial;      // what the field holds when the box opens (all of it selected)
    int32_t maxLength = 0;  // bytes; 0 = no limit
    bool retry = false;     // shown again after an entry was refused
};

// The four-field text-entry box.
struct InputBox2Request {
    Bytes title;
    std::array<Bytes, 4> labels, defaults, initial;
    std::array<int32_t, 4> maxLengths{};  // bytes; 0 = no limit
    bool retry = false;
};

// The load dialog "ろーど": "はじめから" and one choice per slot.
struct LoadDialogSlot {
    Bytes caption;     // CP932: the slot caption, or the template's text for a missing file
    bool exists = false;  // a missing slot is greyed
    std::shared_ptr<const Thumbnail> thumbnail;
};
struct LoadDialogRequest {
    std::vector<LoadDialogSlot> slots;  // slot 0 first
};

// What the window thread reports back to the application while it runs its loop.

// Keys handed to the application.
// A toggles auto mode, Tab fast-forward, V reading aloud; F12 saves a picture of the window, F5 and F9
// quick-save and quick-load, Backspace goes back a page, with Shift forward (none of them a key
// of the game's).
enum GameKey : int {
    kKeyEscape = 1, kKeySpace, kKeyEnter, kKeyCtrl, kKeyUp, kKeyDown, kKeyPageDown, kKeyOther, kKeyA, kKeyF12,
    kKeyF5, kKeyF9, kKeyTab, kKeyBackspace, kKeyShift, kKeyV
};

// What the player did, in the game's terms: the one form in which mouse and keys reach the game,
// from the window's events and from a headless run's scheduled clicks alike.
struct InputEvent {
    enum class Kind { MouseMove, MouseButton, Key, Wheel };
    Kind kind = Kind::MouseMove;
    int x = 0, y = 0;   // game-screen coordinates (mouse events)
    int button = 0;     // 1 left, 2 right (MouseButton)
    int key = 0;        // a GameKey (Key); wheel steps, away from the player positive (Wheel)
    bool down = false;  // pressed or let go (MouseButton, Key)

    static InputEvent move(int x, int y) { return {Kind::MouseMove, x, y, 0, 0, false}; }
    static InputEvent mouseButton(int button, bool down, int x, int y) {
        return {Kind::MouseButton, x, y, button, 0, down};
    }
    static InputEvent keyEvent(int key, bool down) { return {Kind::Key, 0, 0, 0, key, down}; }
    static InputEvent wheel(int steps) { return {Kind::Wheel, 0, 0, 0, steps, false}; }
};

// What the window thread reports back to the application while it runs its loop. Every call
// comes from the thread running Platform::run.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    // Mouse and keys that reach the game (the menus and dialogs have taken theirs).
    virtual void onInput(const InputEvent& e) = 0;
    // The player asked to close the window; true when the application agrees to close.
    virtual bool onCloseRequest() = 0;
    // Called once per pass of the window loop; true ends the loop.
    virtual bool onIdle() = 0;

    // ---- Shell: menus and redraws ----
    // The player picked a menu entry (window thread).
    virtual void onMenuCommand(int32_t /*id*/) {}
    // A menu is about to open (its slot entries are brought up to date).
    virtual void onMenuOpening(bool /*popup*/) {}
    // The window has been drawn (the interpreter resumes at the first redraw after a mode switch).
    virtual void onRedrawn() {}
    // Alt+Enter or F11: window mode <-> full screen, as the menu entries switch.
    virtual void onToggleFullScreen() {}
    // The window was closed while a dialog was open: the dialog has ended; the game closes
    // without asking.
    virtual void onCloseForced() {}
    // The player gave the window a new size: the picture area below the menu bar, in window
    // pixels (window mode, not maximised).
    virtual void onWindowAreaChanged(int /*width*/, int /*height*/) {}
    // The pointer (or the keyboard) moved onto another menu entry: its label, UTF-8.
    virtual void onMenuHovered(const std::string& /*labelUtf8*/) {}
};

// How the picture is scaled to a size that is not its own.
enum class ScaleFilter {
    Sharp,    // nearest to the largest whole scale that fits, then linear to the final size
    Nearest,  // nearest neighbour all the way (uneven strokes at non-integer sizes)
    Smooth,   // linear all the way
};

// Answers of the display-mode test for full screen.
enum class DisplayModeAnswer { Ok, NoSuchMode, NotSupported, Failed, Refused };

class Platform {
public:
    virtual ~Platform() = default;

    virtual Clock& clock() = 0;
    virtual bool headless() const = 0;

    // Runs the window thread's loop until events.onIdle() says to stop.
    virtual void run(WindowEvents& events) = 0;
    // Something onIdle looks at has changed (the interpreter thread has ended, a close was
    // forced): a loop that waits for events looks again now. Any thread.
    virtual void wakeLoop() {}
    // A close is under way (a signal): an open dialog ends as its cancel would, and so does any
    // dialog asked for later. Any thread.
    virtual void dismissDialogs() {}

    // Window.
    virtual void setTitle(BytesView titleCp932) = 0;
    // As posting the window's close message: the window thread runs the close sequence.
    virtual void requestClose() = 0;
    virtual bool closeRequested() const = 0;
    // Copies rect r of screen 0 to the window.
    virtual void present(const FrameView& screen0, Rect r) = 0;
    // The picture the window shows, as 24-bit bottom-up BGR (empty when nothing was presented).
    virtual std::vector<uint8_t> shownFrame(int& width, int& height) = 0;

    // Modal dialogs; the caller (the interpreter thread) waits for the answer.
    virtual int32_t messageBox(BytesView text, BytesView caption, MsgButtons buttons,
                               MsgIcon icon) = 0;
    // The field's text when OK is pressed (empty when the field was emptied); nothing when the
    // box could not be answered (the window is closing, or no answer is left for a box shown
    // again). A platform without dialogs of its own answers with the text the field starts with,
    // and gives up on a box shown again (its answer would be refused once more).
    virtual std::optional<Bytes> inputBox(const InputBoxRequest& r) {
        if (r.retry) return std::nullopt;
        return r.initial;
    }
    virtual std::optional<std::array<Bytes, 4>> inputBox2(const InputBox2Request& r) {
        if (r.retry) return std::nullopt;
        return r.initial;
    }

    // The load dialog (modal): the slot chosen, or -1 for "はじめから" (also when the dialog could
    // not be shown).
    virtual int loadDialog(const LoadDialogRequest& /*r*/) { return -1; }

    // Puts the mouse pointer at a point of the game screen (keyboard choice navigation).
    virtual void warpMouse(int /*x*/, int /*y*/) {}

    // The main window becomes an icon (before exec starts a program in modes 2 and 3).
    virtual void minimizeWindow() {}

    // Opens a document, folder or address as a double-click would, without waiting; a number
    // as the Windows shell reports it (above 32 = success).
    virtual int openWithShell(const std::string& targetUtf8, const std::filesystem::path& cwd) {
        return os::openWithDesktop(targetUtf8, cwd);
    }
    // (No way to start a program: a game folder is untrusted, and exec only opens documents.)

    // The user's documents folder (UTF-8, no trailing separator) and the local date and time.
    virtual std::string documentsFolder() { return os::userDocumentsFolder(); }
    virtual os::LocalTime localTime() { return os::localTimeNow(); }
    // Puts a message's text on the clipboard (UTF-8), for dictionary tools. Any thread.
    virtual void setClipboardText(std::string utf8) { (void)utf8; }
    // The message history dialog "メッセージ履歴" with its list lines (CP932), modal.
    virtual void showHistory(const std::vector<Bytes>& lines) = 0;

    // ---- Shell: window, display modes, menus and cursor ----
    // Every call may come from either thread; the window itself changes on the window thread.
    // The game screen size W x H the window shows (at start-up, before the window is shown).
    virtual void setScreenSize(int width, int height) = 0;
    // The menus to draw; the model outlives the platform's loop.
    virtual void setMenus(MenuModel* menus) = 0;
    // The menu bar on the window (window mode: above the picture, never over it; full screen:
    // over the top band).
    virtual void setMenuBarShown(bool shown) = 0;
    // Opens the pop-up menu at a point of the game screen (window thread).
    virtual void openPopupMenu(int x, int y) = 0;
    // Full screen: tests whether the display can show the game and switches; Ok or the reason.
    virtual DisplayModeAnswer enterFullScreen() = 0;
    // Back to window mode, the window where it was before full screen (centred when asked).
    virtual void leaveFullScreen(bool center) = 0;
    // The desktop's colour depth in bits per pixel.
    virtual int desktopBits() = 0;
    // Full screen: the pointer is in the top band where the menu bar slides in (0 <= y <= the
    // menu bar's height, in window pixels).
    virtual bool pointerInMenuBand() = 0;
    // How the picture is scaled to the window (--filter and the menu choice).
    virtual void setScaleFilter(ScaleFilter f) { filter_ = f; }
    virtual ScaleFilter scaleFilter() const { return filter_; }
    // Window position (outer top-left corner, desktop coordinates).
    virtual bool windowPosition(int& x, int& y) = 0;
    virtual bool moveWindow(int x, int y) = 0;
    virtual bool centerWindow() = 0;
    virtual void setTopMost(bool on) = 0;
    // 0 hide, 1 show, 2 minimise, 3 show minimised, 4 minimised without activating, 5 show
    // without activating, 6 show normally; true when the window was visible before.
    virtual bool showWindow(int how) = 0;
    // The window's close button and the window manager's close.
    virtual void setCloseEnabled(bool on) = 0;
    // Cursor display count: shown while the count is 0 or more; returns the new count.
    virtual int showCursor(bool show) = 0;
    // Icon and cursor files (Windows .ico / .cur); a missing or unreadable file is ignored.
    virtual void setIconFile(const std::string& pathUtf8) = 0;
    virtual void setCursorFile(const std::string& pathUtf8) = 0;
    // The about box.
    virtual void showAbout(BytesView title, BytesView text) = 0;

    // The script author's debug windows, shown beside the game while their switches are on
    // (window thread; nullptr takes them away). A platform without windows shows none.
    virtual void setDebugWindows(ui::DebugWindows* windows) { (void)windows; }

    // ---- Sound ----
    // The mixer the players feed, alive as long as the platform; nullptr when no audio device
    // could be opened (the players are then disabled and the game runs silent).
    virtual audio::Mixer* audio() { return nullptr; }
    // The players' 100 ms timer: run on the window thread (headless: on the clock, at exact
    // times). An empty function stops it.
    virtual void setAudioTick(std::function<void()> tick) { (void)tick; }
    // The modal volume dialog.
    virtual void showVolumeDialog(VolumeDialogModel& model) { (void)model; }

    // ---- Video ----
    // Draws a movie frame on the window: the picture (24-bit bottom-up BGR) is laid over what
    // the window shows with its top-left corner at each rectangle, cut to the rectangle's size
    // and to the window. Screen 0 is not touched; the picture stays until a present covers it.
    // Any thread.
    virtual void showVideo(const FrameView& picture, std::span<const Rect> at) {
        (void)picture;
        (void)at;
    }
    // The movie frame timer: tick runs every periodMs (at least 1) from now, on the window
    // thread (headless: on the clock, at exact times). A new call replaces the timer; an empty
    // function stops it.
    virtual void setVideoTimer(int32_t periodMs, std::function<void()> tick) {
        (void)periodMs;
        (void)tick;
    }
private:
    std::atomic<ScaleFilter> filter_{ScaleFilter::Sharp};
};

}  // namespace yv
