// The platform without a window or sound device, for tests and --headless runs: a manual clock on
// which scheduled clicks fire, dialogs answered from a list and logged, the presented frame kept.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/mutex.h"
#include "platform/platform.h"
#include "platform/presented_frame.h"

namespace yv {

class HeadlessPlatform final : public Platform {
public:
    // The thread that makes the platform is the one that runs its loop, as with a window.
    HeadlessPlatform();
    ~HeadlessPlatform() override;

    Clock& clock() override { return clock_; }
    ManualClock& manualClock() { return clock_; }
    bool headless() const override { return true; }
    // The window loop of a run without a window: hands the posted input and menu picks to the
    // game, runs the close sequence, and sleeps until something arrives.
    void run(WindowEvents& events) override;
    void wakeLoop() override;

    void setTitle(BytesView titleCp932) override;
    void requestClose() override;
    bool closeRequested() const override { return closeRequested_; }
    void present(const FrameView& screen0, Rect r) override;
    std::vector<uint8_t> shownFrame(int& width, int& height) override;

    int32_t messageBox(BytesView text, BytesView caption, MsgButtons buttons,
                       MsgIcon icon) override;
    // Answers come from the answer list as UTF-8 lines (one per field); without one a field
    // keeps the text it starts with, and a box shown again gets no answer at all.
    std::optional<Bytes> inputBox(const InputBoxRequest& r) override;
    std::optional<std::array<Bytes, 4>> inputBox2(const InputBox2Request& r) override;
    // No desktop to hand documents to: the request is only logged ("exec: open TARGET").
    int openWithShell(const std::string& targetUtf8, const std::filesystem::path& cwd) override;
    // Kept, and written to stderr as "clipboard: TEXT" (line feeds as \n).
    void setClipboardText(std::string utf8) override;
    std::string clipboardText() YV_EXCLUDES(mutex_) {
        MutexLock lock(mutex_);
        return clipboard_;
    }
    // Logs each list line as a dialog line "メッセージ履歴: LINE".
    void showHistory(const std::vector<Bytes>& lines) override;
    // Logs "ろーど: はじめから" and the captions of the slots that can be chosen (one dialog line,
    // line feeds between them); the answer is a slot number or "start" (the default).
    int loadDialog(const LoadDialogRequest& r) override;

    // Answers for the coming dialogs, in order (UTF-8 lines as given to --answers).
    void setAnswers(std::vector<std::string> answers);
    // Takes the next answer, if any is left.
    std::optional<std::string> nextAnswer();
    // Every dialog shown, one UTF-8 line each: "CAPTION: TEXT" with line feeds written as \n.
    std::vector<std::string> dialogLog();
    void logDialog(BytesView caption, BytesView text);
    // Also write each dialog line to stderr as "dialog: CAPTION: TEXT".
    void setEchoDialogs(bool on) YV_EXCLUDES(mutex_) {
        MutexLock lock(mutex_);
        echo_ = on;
    }

    // The pointer: moved by the keyboard's choice navigation and by scheduled clicks.
    void warpMouse(int x, int y) override {
        pointerX_ = x;
        pointerY_ = y;
    }
    int pointerX() const { return pointerX_; }
    int pointerY() const { return pointerY_; }

    std::string titleUtf8() YV_EXCLUDES(mutex_) {
        MutexLock lock(mutex_);
        return title_;
    }
    int presentCount() const { return presents_; }

    // ---- Shell: window, display modes, menus and cursor ----
    void setScreenSize(int width, int height) override;
    void setMenus(MenuModel* menus) override { menus_ = menus; }
    void setMenuBarShown(bool shown) override { barShown_ = shown; }
    void openPopupMenu(int x, int y) override;
    DisplayModeAnswer enterFullScreen() override;
    void leaveFullScreen(bool center) override;
    int desktopBits() override { return 24; }
    bool pointerInMenuBand() override { return pointerInBand_; }
    bool windowPosition(int& x, int& y) override;
    bool moveWindow(int x, int y) override;
    bool centerWindow() override;
    void setTopMost(bool on) override { topMost_ = on; }
    bool showWindow(int how) override;
    void setCloseEnabled(bool on) override { closeEnabled_ = on; }
    int showCursor(bool show) override { return cursorCount_ += show ? 1 : -1; }
    void setIconFile(const std::string& p) override { iconFile_ = p; }
    void setCursorFile(const std::string& p) override { cursorFile_ = p; }
    void showAbout(BytesView title, BytesView text) override { logDialog(title, text); }

    // ---- Sound ----
    // A device of its own, pulled on the clock every 10 ms (441 frames): made at the first call.
    audio::Mixer* audio() override;
    void setAudioTick(std::function<void()> tick) override;
    // Logs the dialog with the volumes it would show ("ﾎﾞﾘｭｰﾑ設定: ...").
    void showVolumeDialog(VolumeDialogModel& model) override;
    // From now on, also writes what a player would hear to a WAVE file (44.1 kHz, 16-bit
    // stereo), finished when the platform goes away. False when the file cannot be created.
    bool setAudioOut(const std::filesystem::path& file);

    // ---- Video ----
    void showVideo(const FrameView& picture, std::span<const Rect> at) override;
    // The timer's ticks are events of the manual clock, one scheduled at a time.
    void setVideoTimer(int32_t periodMs, std::function<void()> tick) override;

    // What a test looks at: the window as a desktop would have it.
    MenuModel* menus() const { return menus_; }
    bool menuBarShown() const { return barShown_; }
    bool fullScreen() const { return full_; }
    bool visible() const { return visible_; }
    bool closeEnabled() const { return closeEnabled_; }
    int cursorCount() const { return cursorCount_; }
    int popupOpens() const { return popupOpens_; }
    const std::string& iconFile() const { return iconFile_; }
    const std::string& cursorFile() const { return cursorFile_; }
    // The desktop the window lives on, and whether full screen is possible there.
    void setDesktop(int width, int height, bool fullScreenWorks);
    void setPointerInMenuBand(bool in) { pointerInBand_ = in; }
    // Picks a menu entry as the player would; delivered on the window loop (or at once by
    // deliverPicks when no loop runs).
    void pickMenu(int32_t id);
    void deliverPicks(WindowEvents& events);

    // Mouse and keys as a window's events bring them: handed to the window loop, which passes
    // them to the game (a mouse event also moves the pointer). From any thread; from another
    // thread than the loop's it returns once the loop has passed the event on (waiting for the
    // loop to start if need be), so input scheduled on the clock is seen by the interpreter at
    // the step it fires in. After the loop has ended the event is dropped.
    void postInput(const InputEvent& e);
    // Input at a time of this platform's clock: posted by the thread that moves the clock there.
    void scheduleInput(double atMs, const InputEvent& e);
    // A press of a button at (x, y) with the pointer moved there first, as --click gives it.
    void scheduleClick(double atMs, int x, int y, int button);
    // An SDL key pressed (down, then up at once), held down or let go, reaching the game as the
    // window hands it on (--key). The keys the window keeps to itself (F11) do nothing here.
    void scheduleKey(double atMs, int32_t sdlKey, bool down, bool up);

private:
    void deliverInputs(WindowEvents& events);
    void releaseHeldDelivery();
    void scheduleVideoTick(uint64_t generation, double atMs, double periodMs);

    ManualClock clock_;
    std::string clipboard_ YV_GUARDED_BY(mutex_);
    std::atomic<bool> closeRequested_{false};

    // The hand-over to the window loop.
    Mutex loopMutex_;
    CondVar loopCv_;
    std::vector<int32_t> picks_ YV_GUARDED_BY(loopMutex_);
    std::deque<InputEvent> inputs_ YV_GUARDED_BY(loopMutex_);
    // Inputs handed over / passed to the game.
    uint64_t posted_ YV_GUARDED_BY(loopMutex_) = 0;
    uint64_t delivered_ YV_GUARDED_BY(loopMutex_) = 0;
    bool loopEnded_ YV_GUARDED_BY(loopMutex_) = false;
    bool woken_ YV_GUARDED_BY(loopMutex_) = false;
    // An input that asked for the close counts as passed on only once the loop has answered the
    // close (loop thread only): the thread that posted it, a manual clock's, would otherwise run
    // on to the time limit first and the game would end as timed out.
    bool deliveryHeld_ = false;
    std::thread::id loopThread_ YV_GUARDED_BY(loopMutex_);

    Mutex mutex_;  // guards the answers, the log, the title, the picture and the window
    std::deque<std::string> answers_ YV_GUARDED_BY(mutex_);
    std::vector<std::string> log_ YV_GUARDED_BY(mutex_);
    bool echo_ YV_GUARDED_BY(mutex_) = false;
    std::string title_ YV_GUARDED_BY(mutex_);
    PresentedFrame picture_ YV_GUARDED_BY(mutex_);
    std::atomic<int> presents_{0};
    std::atomic<int> pointerX_{0}, pointerY_{0};

    MenuModel* menus_ = nullptr;
    std::atomic<bool> barShown_{true}, full_{false}, pointerInBand_{false}, topMost_{false};
    std::atomic<bool> visible_{true}, closeEnabled_{true}, fullWorks_{true};
    std::atomic<int> cursorCount_{0}, popupOpens_{0};
    int screenW_ YV_GUARDED_BY(mutex_) = 640;
    int screenH_ YV_GUARDED_BY(mutex_) = 480;
    int desktopW_ YV_GUARDED_BY(mutex_) = 1280;
    int desktopH_ YV_GUARDED_BY(mutex_) = 1024;
    int winX_ YV_GUARDED_BY(mutex_) = 0;
    int winY_ YV_GUARDED_BY(mutex_) = 0;
    int savedX_ YV_GUARDED_BY(mutex_) = 0;
    int savedY_ YV_GUARDED_BY(mutex_) = 0;
    std::string iconFile_, cursorFile_;

    Mutex videoMutex_;  // the movie timer's function and generation
    std::function<void()> videoTick_ YV_GUARDED_BY(videoMutex_);
    uint64_t videoGeneration_ YV_GUARDED_BY(videoMutex_) = 0;

    struct Sound;
    // Made once by audio() (under mutex_), never replaced after.
    std::unique_ptr<Sound> sound_;  // before clock_ goes: its events call into it
};

}  // namespace yv
