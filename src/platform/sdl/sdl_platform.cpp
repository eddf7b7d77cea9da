// SDL2 window platform. Everything that touches the window happens on the window thread: calls
// from the interpreter thread are handed over as tasks and wait for their answer, frames are
// handed over as copies and uploaded with SDL_LockTexture.
#include "platform/sdl/sdl_renderer_pick.h"
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <thread>
#include <utility>

#include "core/i18n.h"
#include "ui/menus.h"
#include "core/cp932.h"
#include "core/mutex.h"
#include "graphics/png_write.h"
#include "platform/audio/audio_engine.h"
#include "platform/audio/sdl_audio_output.h"
#include "platform/gamepad_map.h"
#include "platform/key_names.h"
#include "platform/presented_frame.h"
#include "platform/sdl/sdl_cursor.h"
#include "platform/sdl/sdl_desktop_scale.h"
#include "platform/sdl/sdl_debug_windows.h"
#include "platform/sdl/sdl_picture.h"
#include "platform/sdl/sdl_ui.h"
#include "platform/sdl/sdl_x11_state.h"
#include "platform/sdl/window_tasks.h"
#include "platform/window_layout.h"

namespace yv {
namespace {

constexpr bool sameButton(int ours, int sdl) { return ours == sdl; }
static_assert(sameButton(pad::kA, SDL_CONTROLLER_BUTTON_A) && sameButton(pad::kY, SDL_CONTROLLER_BUTTON_Y) &&
              sameButton(pad::kBack, SDL_CONTROLLER_BUTTON_BACK) && sameButton(pad::kStart, SDL_CONTROLLER_BUTTON_START) &&
              sameButton(pad::kShoulderL, SDL_CONTROLLER_BUTTON_LEFTSHOULDER) &&
              sameButton(pad::kShoulderR, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER) &&
              sameButton(pad::kDpadUp, SDL_CONTROLLER_BUTTON_DPAD_UP) &&
              sameButton(pad::kDpadRight, SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
              "the gamepad mapping counts buttons as SDL does");

class SdlPlatform final : public Platform {
public:
    explicit SdlPlatform(const SdlWindowOptions& o)
        : requestedScale_(o.scale), rememberedW_(o.areaWidth), rememberedH_(o.areaHeight),
          knownW_(o.gameWidth), knownH_(o.gameHeight), filter_(o.filter) {}
    ~SdlPlatform() override {
        {
            // SDL wakes a waiting loop through the window; no post may be half done as it goes.
            MutexLock lock(postMutex_);
            posting_ = false;
        }
        stopServing();
        debug_.setModel(nullptr);  // their windows go before SDL does
        audioOut_.close();  // nothing pulls the mix any more
        audioEngine_.reset();
        ui_.shutdown();
        if (cursor_) SDL_FreeCursor(cursor_);
        for (auto& [id, c] : pads_) SDL_GameControllerClose(c);
        picture_.release();
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        SDL_Quit();
    }

    bool init(std::string& why) {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        // SIGTERM and the like are the program's (they close the game as the window does).
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            why = SDL_GetError();
            return false;
        }
        passStaleWakeUps();
        if (invisibleVideoDriver(why)) return false;
        desktopScale_ = sdlDesktopScale();
        ui_.setDesktopScale(desktopScale_);
        // Gamepads are a convenience: without them (no joystick support) the window still plays.
        // Those plugged in already arrive as added devices at the first events.
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
            std::fprintf(stderr, "yorvane: no gamepad support (%s)\n", SDL_GetError());
        wakeEvent_ = SDL_RegisterEvents(1);
        // The window opens at its final size where the game's is known: a window resized before
        // its first frame can show that frame laid out for its old size.
        const float uiScale = layOut(knownW_ > 0 ? knownW_ : 640, knownH_ > 0 ? knownH_ : 480, false);
        window_ = SDL_CreateWindow("Yorvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, areaW_,
                                   areaH_ + SdlUi::menuBarHeightAt(uiScale),
                                   SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE);
        if (!window_) {
            why = SDL_GetError();
            return false;
        }
        renderer_ = sdl::createWindowRenderer(window_, true);
        if (!renderer_) {
            why = SDL_GetError();
            return false;
        }
        if (!ui_.init(window_, renderer_, why)) return false;
        setUiScale(uiScale);
        debug_.setMainWindow(window_);
        debug_.setDesktopScale(desktopScale_);
        SDL_StopTextInput();  // until an entry box opens
        tasks_.setWake([this] { wakeLoop(); });
        // Sound is not needed to play: without a device the game runs silent.
        audioEngine_ = std::make_unique<audio::AudioEngine>();
        std::string audioWhy;
        if (!audioOut_.open(*audioEngine_, audioWhy)) {
            std::fprintf(stderr, "yorvane: %s\n", i18n::trf("no sound device (%s); playing without sound", {audioWhy}).c_str());
            audioEngine_.reset();
        }
        return true;
    }

    Clock& clock() override { return clock_; }
    bool headless() const override { return false; }

    // The loop sleeps in SDL_WaitEventTimeout until an event, a request of another thread
    // (wakeLoop), the players' next tick or a frame that is due; it draws only when something
    // on the window changed.
    void run(WindowEvents& events) override {
        events_ = &events;
        redraw_ = true;
        for (;;) {
            waitAndPump(nullptr);
            if (warpPending_.exchange(false)) warpNow(warpX_, warpY_);
            moveByStick();
            serveTasks(true);
            if (quit_) break;
            if (closeForced_.exchange(false)) {
                events.onCloseForced();
                break;
            }
            if (closeRequested_.exchange(false) && events.onCloseRequest()) break;
            if (toggleFull_.exchange(false)) events.onToggleFullScreen();
            if (const int32_t id = std::exchange(pendingPick_, 0)) events.onMenuCommand(id);
            if (quit_) break;
            if (frameDue()) {
                drawFrame(nullptr);
                events.onRedrawn();
            }
            drawDebugWindows();
            runAudioTick();
            runVideoTimer();
            if (events.onIdle()) break;
        }
        // The window goes at once; what follows (the interpreter's end, system.dat) is unseen.
        SDL_HideWindow(window_);
        stopServing();
        events_ = nullptr;
    }

    void wakeLoop() override {
        MutexLock lock(postMutex_);
        if (!posting_ || wakePosted_.exchange(true)) return;  // one wake event in the queue is enough
        SDL_Event e{};
        e.type = wakeEvent_;
        SDL_PushEvent(&e);
    }
    void dismissDialogs() override {
        dismissDialogs_ = true;
        wakeLoop();
    }

    // ---- Window basics ----
    void setTitle(BytesView t) override {
        {
            MutexLock lock(mutex_);
            title_ = cp932ToUtf8(t);
            titleDirty_ = true;
        }
        wakeLoop();
    }
    void requestClose() override {
        closeRequested_ = true;
        wakeLoop();
    }
    bool closeRequested() const override { return closeRequested_; }

    // Only the rectangle reaches the window, as in the original: what a game draws into screen
    // 0 without presenting stays unseen until a present covers it.
    void present(const FrameView& s, Rect r) override {
        if (!s.pixels || s.width <= 0 || s.height <= 0) return;
        {
            MutexLock lock(mutex_);
            dirty_ = unite(dirty_, frame_.take(s, r));
        }
        redraw_ = true;
        wakeLoop();
    }

    std::vector<uint8_t> shownFrame(int& w, int& h) override {
        MutexLock lock(mutex_);
        w = frame_.width();
        h = frame_.height();
        return frame_.pixels();
    }

    int32_t messageBox(BytesView text, BytesView caption, MsgButtons buttons, MsgIcon icon) override {
        DialogRequest d;
        d.text = cp932ToUtf8(text);
        d.caption = cp932ToUtf8(caption);
        d.buttons = buttons;
        d.icon = icon;
        // A closed window answers with the last button (cancel, no), as closing the box would.
        const int32_t fallback = static_cast<int32_t>(buttons == MsgButtons::Ok ? kIdOk
                                 : buttons == MsgButtons::OkCancel || buttons == MsgButtons::YesNoCancel ||
                                         buttons == MsgButtons::RetryCancel
                                     ? kIdCancel
                                     : kIdNo);
        return onWindowThread([&] { return runModal(d); }, fallback, true);
    }

    std::optional<Bytes> inputBox(const InputBoxRequest& r) override {
        DialogRequest d = entryBox(r.title);
        d.fields.push_back(entryField(r.prompt.empty() ? utf8ToCp932("メッセージを入力してください") : r.prompt,
                                      r.defaultText, r.initial, r.maxLength));
        if (!onWindowThread([&] { return runModal(d), !d.cancelled; }, false, true)) return std::nullopt;
        return utf8ToCp932(d.fields[0].text());
    }

    std::optional<std::array<Bytes, 4>> inputBox2(const InputBox2Request& r) override {
        DialogRequest d = entryBox(r.title);
        for (size_t k = 0; k < 4; ++k)
            d.fields.push_back(entryField(r.labels[k], r.defaults[k], r.initial[k], r.maxLengths[k]));
        if (!onWindowThread([&] { return runModal(d), !d.cancelled; }, false, true)) return std::nullopt;
        std::array<Bytes, 4> out;
        for (size_t k = 0; k < 4; ++k) out[k] = utf8ToCp932(d.fields[k].text());
        return out;
    }

    // ---- Shell: window, display modes, menus and cursor ----
    void setScreenSize(int w, int h) override {
        onWindowThread([&] { return setScreenSizeNow(w, h), 0; }, 0);
    }
    void setMenus(MenuModel* m) override { menus_ = m; }
    void setMenuBarShown(bool shown) override {
        onWindowThread([&] {
            if (barShown_ != shown) {
                barShown_ = shown;
                if (!full_) resizeWindow();
                redraw_ = true;
            }
            return 0;
        }, 0);
    }
    void openPopupMenu(int x, int y) override {
        onWindowThread([&] {
            const Rect r = pictureRect();
            ui_.requestPopup(r.x + x * r.w / std::max(1, screenW_), r.y + y * r.h / std::max(1, screenH_));
            uiFrames_ = kUiSettleFrames;
            return 0;
        }, 0);
    }
    DisplayModeAnswer enterFullScreen() override {
        return onWindowThread([&] { return enterFullScreenNow(); }, DisplayModeAnswer::Refused);
    }
    void leaveFullScreen(bool center) override {
        onWindowThread([&] {
            if (!full_) return 0;
            SDL_SetWindowFullscreen(window_, 0);
            SDL_SetWindowBordered(window_, SDL_TRUE);
            full_ = false;
            // The menus shrink back to the window's scale before they count in its size (full
            // screen drew them larger).
            setUiScale(windowUiScale());
            if (wasMaximized_) SDL_MaximizeWindow(window_);
            else resizeWindow();
            settle();
            if (center)
                SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
            else
                SDL_SetWindowPosition(window_, savedX_, savedY_);
            return 0;
        }, 0);
    }
    int desktopBits() override {
        return onWindowThread([&] {
            SDL_DisplayMode dm{};
            if (SDL_GetDesktopDisplayMode(displayIndex(), &dm) != 0) return 32;
            const int bits = static_cast<int>(SDL_BITSPERPIXEL(dm.format));
            return bits > 0 ? bits : 32;
        }, 32);
    }
    bool pointerInMenuBand() override { return full_ && mouseY_ >= 0 && mouseY_ <= ui_.menuBarHeight(); }
    void setScaleFilter(ScaleFilter f) override {
        filter_ = f;
        redraw_ = true;
        wakeLoop();
    }
    ScaleFilter scaleFilter() const override { return filter_; }
    bool windowPosition(int& x, int& y) override {
        return onWindowThread([&] {
            SDL_GetWindowPosition(window_, &x, &y);
            return true;
        }, false);
    }
    bool moveWindow(int x, int y) override {
        return onWindowThread([&] {
            if (full_) return false;
            SDL_SetWindowPosition(window_, x, y);
            SDL_RaiseWindow(window_);
            return true;
        }, false);
    }
    bool centerWindow() override {
        return onWindowThread([&] {
            if (full_) return false;
            SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
            return true;
        }, false);
    }
    void setTopMost(bool on) override {
        onWindowThread([&] { return SDL_SetWindowAlwaysOnTop(window_, on ? SDL_TRUE : SDL_FALSE), 0; }, 0);
    }
    bool showWindow(int how) override {
        return onWindowThread([&] {
            const bool was = (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0;
            switch (how) {
            case 0: SDL_HideWindow(window_); break;
            case 1: case 6: SDL_ShowWindow(window_); SDL_RestoreWindow(window_); break;
            case 5: SDL_ShowWindow(window_); break;
            case 2: case 3: case 4: SDL_ShowWindow(window_); SDL_MinimizeWindow(window_); break;
            default: break;
            }
            if (!full_ && !wmFull_) SDL_GetWindowPosition(window_, &windowedX_, &windowedY_);
            settle();
            return was;
        }, false);
    }
    void setCloseEnabled(bool on) override { closeEnabled_ = on; }
    int showCursor(bool show) override {
        return onWindowThread([&] {
            cursorCount_ += show ? 1 : -1;
            SDL_ShowCursor(cursorCount_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
            return cursorCount_;
        }, 0);
    }
    void setIconFile(const std::string& path) override {
        onWindowThread([&] {
            if (SDL_Surface* s = loadIconSurface(path, nullptr, nullptr)) {
                SDL_SetWindowIcon(window_, s);
                SDL_FreeSurface(s);
            }
            return 0;
        }, 0);
    }
    void setCursorFile(const std::string& path) override {
        onWindowThread([&] {
            int hx = 0, hy = 0;
            if (SDL_Surface* s = loadIconSurface(path, &hx, &hy)) {
                if (SDL_Cursor* c = SDL_CreateColorCursor(s, hx, hy)) {
                    if (cursor_) SDL_FreeCursor(cursor_);
                    cursor_ = c;
                    SDL_SetCursor(cursor_);
                }
                SDL_FreeSurface(s);
            }
            return 0;
        }, 0);
    }
    void showAbout(BytesView title, BytesView text) override {
        DialogRequest d;
        d.kind = DialogRequest::Kind::About;
        d.caption = cp932ToUtf8(title);
        d.text = cp932ToUtf8(text);
        d.icon = MsgIcon::Information;
        onWindowThread([&] { return runModal(d); }, int32_t{kIdOk}, true);
    }

    // ---- For scripted runs ----
    std::map<std::string, SdlItemRect> itemRects() {
        MutexLock lock(mutex_);
        return rects_;
    }
    std::vector<uint8_t> windowPixels(int& w, int& h) {
        if (tasks_.onWindowThread()) {
            drawFrame(currentModal_, true);
        } else {
            MutexLock lock(mutex_);
            shotWanted_ = true;
            redraw_ = true;
            wakeLoop();
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            while (shotWanted_)
                if (shotCv_.waitUntil(lock, deadline) == std::cv_status::timeout) break;
        }
        MutexLock lock(mutex_);
        w = shotW_;
        h = shotH_;
        return shot_;
    }

    // The history list; from the menu it opens on the window thread itself and runs its own loop
    // there, as every modal dialog does.
    void setClipboardText(std::string utf8) override {
        onWindowThread([&] { return SDL_SetClipboardText(utf8.c_str()); }, 0);
    }
    void showHistory(const std::vector<Bytes>& lines) override {
        DialogRequest d;
        d.kind = DialogRequest::Kind::List;
        d.caption = "メッセージ履歴";
        for (const Bytes& l : lines) d.lines.push_back(cp932ToUtf8(l));
        // The newest lines are what a player looks back for: the list opens at its end.
        d.selected = static_cast<int>(d.lines.size()) - 1;
        onWindowThread([&] { return runModal(d); }, int32_t{kIdOk}, true);
    }

    // The load dialog; from startload it opens on the window thread as every modal dialog does.
    int loadDialog(const LoadDialogRequest& r) override {
        DialogRequest d;
        d.kind = DialogRequest::Kind::Load;
        d.caption = "ろーど";
        d.slots = r.slots;
        d.selected = -1;
        d.answer = -1;
        return onWindowThread([&] { return runModal(d), d.done && !d.cancelled ? d.answer : -1; }, -1, true);
    }

    void warpMouse(int x, int y) override {
        warpX_ = x;
        warpY_ = y;
        warpPending_ = true;
        wakeLoop();
    }

    // ---- Debug windows ----
    void setDebugWindows(ui::DebugWindows* windows) override {
        onWindowThread([&] { return debug_.setModel(windows), 0; }, 0);
    }
    SdlDebugWindows& debugWindows() { return debug_; }

    // ---- Sound ----
    audio::Mixer* audio() override { return audioEngine_.get(); }
    void setAudioTick(std::function<void()> tick) override {
        MutexLock lock(tickMutex_);
        audioTick_ = std::move(tick);
    }
    void showVolumeDialog(VolumeDialogModel& model) override {
        DialogRequest d;
        d.kind = DialogRequest::Kind::Volume;
        d.caption = "ﾎﾞﾘｭｰﾑ設定";
        d.volume = &model;
        onWindowThread([&] {
            SdlUi::prepareVolumeDialog(d);
            return runModal(d);
        }, int32_t{kIdOk}, true);
    }

    // ---- Video ----
    void showVideo(const FrameView& p, std::span<const Rect> at) override {
        {
            MutexLock lock(mutex_);
            for (const Rect& r : at) dirty_ = unite(dirty_, frame_.lay(p, r));
        }
        redraw_ = true;
        wakeLoop();
    }
    void setVideoTimer(int32_t periodMs, std::function<void()> tick) override {
        MutexLock lock(tickMutex_);
        videoTick_ = std::move(tick);
        videoPeriod_ = static_cast<uint64_t>(std::max(1, periodMs));
        videoDue_ = SDL_GetTicks64() + videoPeriod_;
        wakeLoop();  // the loop's sleep must end by the first frame's time
    }

private:
    // The movie frame timer on the window thread. Ticks missed while the loop was busy are not
    // made up, as a window timer's are not.
    void runVideoTimer() {
        std::function<void()> tick;
        {
            MutexLock lock(tickMutex_);
            const uint64_t now = SDL_GetTicks64();
            if (!videoTick_ || now < videoDue_) return;
            videoDue_ += videoPeriod_;
            if (videoDue_ <= now) videoDue_ = now + videoPeriod_;
            tick = videoTick_;
        }
        tick();
    }

    // The debug windows beside the game: drawn when their time has come (msUntilDue says when,
    // for a loop that sleeps).
    void drawDebugWindows() {
        const uint32_t now = SDL_GetTicks();
        debug_.holdOpening(settling(now) ? settleUntilMs_ : now);
        debug_.frame(now, [this](int& w, int& h) { return shownFrame(w, h); });
    }

    // The players' 100 ms timer on the window thread.
    void runAudioTick() {
        const uint32_t now = SDL_GetTicks();
        if (now - lastTickMs_ < 100) return;
        lastTickMs_ = now;
        std::function<void()> tick;
        {
            MutexLock lock(tickMutex_);
            tick = audioTick_;
        }
        if (tick) tick();
        // After the players, whose requests would wake it at once.
        if (audioEngine_) audioEngine_->restIfQuiet();
    }

    template <class F, class R>
    R onWindowThread(F f, R fallback, bool dialog = false) {
        return tasks_.run(f, fallback, dialog);
    }
    void serveTasks(bool dialogsToo) { tasks_.serve(dialogsToo); }
    void stopServing() { tasks_.stop(); }

    static DialogRequest entryBox(const Bytes& title) {
        DialogRequest d;
        d.kind = DialogRequest::Kind::Input;
        d.caption = title.empty() ? std::string("入力BOX") : cp932ToUtf8(title);
        return d;
    }
    static DialogField entryField(const Bytes& label, const Bytes& def, const Bytes& initial, int32_t maxBytes) {
        DialogField f;
        f.label = cp932ToUtf8(label);
        f.defaultText = cp932ToUtf8(def);
        f.maxBytes = std::max<int32_t>(maxBytes, 0);
        f.setText(cp932ToUtf8(initial));
        return f;
    }

    int displayIndex() const {
        const int i = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
        return i < 0 ? 0 : i;
    }

    void setScreenSizeNow(int w, int h) {
        setUiScale(layOut(w, h, true));
        if (!full_) resizeWindow();
        settle();
    }

    // The window mode's picture area for a game screen of w x h, and the scale of the menus
    // that goes with it. `warn`: the game's own size, about which a lowered --scale is said.
    float layOut(int w, int h, bool warn) {
        screenW_ = std::max(1, w);
        screenH_ = std::max(1, h);
        // A window never starts larger than the desktop's usable area: a scale that does not
        // fit is lowered (the frame the window manager adds is guessed).
        SDL_Rect b{0, 0, 1024, 768};
        if (SDL_GetDisplayUsableBounds(displayIndex(), &b) != 0) SDL_GetDisplayBounds(displayIndex(), &b);
        scale_ = fitWindowScale(requestedScale_, screenW_, screenH_, ui_.baseMenuBarHeight(), b.w, b.h, 8, 32,
                                desktopScale_);
        if (warn && requestedScale_ > 0 && scale_ < requestedScale_ && !scaleWarned_) {
            scaleWarned_ = true;
            std::fprintf(stderr, "yorvane: --scale %d does not fit the desktop (%d x %d usable); using %d\n",
                         requestedScale_, b.w, b.h, scale_);
        }
        areaW_ = screenW_ * scale_;
        areaH_ = screenH_ * scale_;
        // The size the player last gave this game's window, while it fits the desktop (the
        // frame guessed as for the scale).
        if (requestedScale_ == 0 && rememberedW_ > 0 && rememberedH_ > 0 && rememberedW_ + 8 <= b.w &&
            rememberedH_ + ui_.baseMenuBarHeight() * desktopScale_ + 32 <= b.h) {
            areaW_ = rememberedW_;
            areaH_ = rememberedH_;
        }
        return windowUiScale();
    }

    float windowUiScale() const {
        return uiScaleFor(fitPicture({0, 0, areaW_, areaH_}, screenW_, screenH_), screenW_, screenH_, desktopScale_);
    }

    int barHeight() const { return barShown_ && menus_ ? ui_.menuBarHeight() : 0; }

    // The window mode's size: the picture area the player last had, and the menu bar above it.
    void resizeWindow() {
        if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) return;  // the desktop decides
        setWindowSize(areaW_, areaH_ + barHeight());
    }

    // A size the program gives the window. Until the window system reports it (or a moment has
    // passed) the sizes it reports are on the way there, not the player's.
    void setWindowSize(int w, int h) {
        expectW_ = w;
        expectH_ = h;
        expectUntilMs_ = SDL_GetTicks() + kExpectMs;
        SDL_SetWindowSize(window_, w, h);
        settle();
    }

    // Frames go on for a moment after every change of the window's size or visibility: some
    // drivers (Mesa's software GL) lay a frame out in the buffer of the size the window had
    // when the frame began, and a window at rest would keep that frame.
    void settle() {
        settleUntilMs_ = SDL_GetTicks() + kSettleMs;
        redraw_ = true;
    }
    bool settling(uint32_t now) const { return static_cast<int32_t>(settleUntilMs_ - now) > 0; }

    // The player (or the window manager) gave the window a new size.
    void onResized() {
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        const uint32_t now = SDL_GetTicks();
        const bool asked = w == expectW_ && h == expectH_;
        const bool onTheWay = !asked && static_cast<int32_t>(expectUntilMs_ - now) > 0;
        if (asked) expectUntilMs_ = now;
        if (!full_ && !wmFull_ && !onTheWay &&
            !(SDL_GetWindowFlags(window_) & (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_FULLSCREEN))) {
            const int oldW = areaW_, oldH = areaH_;
            areaW_ = std::max(1, w);
            areaH_ = std::max(1, h - barHeight());
            // The sizes the program itself sets come back unchanged; a new one is the player's.
            if (events_ && (areaW_ != oldW || areaH_ != oldH)) events_->onWindowAreaChanged(areaW_, areaH_);
        }
        int ow = 0, oh = 0;
        SDL_GetRendererOutputSize(renderer_, &ow, &oh);
        setUiScale(uiScaleFor({0, 0, ow, oh}, screenW_, screenH_, desktopScale_));
        settle();
    }

    void setUiScale(float s) {
        if (s == ui_.scale()) return;
        ui_.setScale(s);
        uiFrames_ = kUiSettleFrames;
    }

    // Where the game picture lies in the window, in window pixels: the client area below the
    // menu bar (full screen: all of it, the bar sliding over), aspect kept, black bars around.
    Rect pictureRect() const {
        int ow = 0, oh = 0;
        SDL_GetRendererOutputSize(renderer_, &ow, &oh);
        if (ow <= 0 || oh <= 0) return {0, 0, screenW_, screenH_};
        const int top = full_ ? 0 : std::min(barHeight(), oh - 1);
        return fitPicture({0, top, ow, oh - top}, screenW_, screenH_);
    }

    void toGame(int wx, int wy, int& gx, int& gy) const {
        windowToGame(pictureRect(), screenW_, screenH_, wx, wy, gx, gy);
    }

    // Puts the pointer on the middle of game pixel (gx, gy).
    void warpNow(int gx, int gy) {
        int wx = 0, wy = 0;
        gameToWindow(pictureRect(), screenW_, screenH_, gx, gy, wx, wy);
        SDL_WarpMouseInWindow(window_, wx, wy);
    }

    DisplayModeAnswer enterFullScreenNow() {
        SDL_DisplayMode dm{};
        if (SDL_GetDesktopDisplayMode(displayIndex(), &dm) != 0 || dm.w <= 0 || dm.h <= 0)
            return DisplayModeAnswer::NoSuchMode;
        const int bits = static_cast<int>(SDL_BITSPERPIXEL(dm.format));
        if (bits != 0 && bits < 16) return DisplayModeAnswer::NotSupported;
        if (full_) return DisplayModeAnswer::Ok;
        // Made full screen by the window manager, the window already stands at the display's
        // corner: it goes back to where it stood before.
        if (wmFull_) {
            savedX_ = windowedX_;
            savedY_ = windowedY_;
        } else {
            SDL_GetWindowPosition(window_, &savedX_, &savedY_);
        }
        wasMaximized_ = (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) != 0;
        if (wasMaximized_) SDL_RestoreWindow(window_);
        // The window first covers the display itself, without a frame (so it is full screen
        // even where no window manager handles the request), then asks for full screen.
        SDL_Rect b{0, 0, dm.w, dm.h};
        SDL_GetDisplayBounds(displayIndex(), &b);
        SDL_SetWindowBordered(window_, SDL_FALSE);
        SDL_SetWindowPosition(window_, b.x, b.y);
        SDL_SetWindowSize(window_, b.w, b.h);
        if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            SDL_SetWindowBordered(window_, SDL_TRUE);
            resizeWindow();
            SDL_SetWindowPosition(window_, savedX_, savedY_);
            return DisplayModeAnswer::Failed;
        }
        full_ = true;
        settle();
        return DisplayModeAnswer::Ok;
    }

    // How long the loop may sleep: until the players' next tick, or the next frame when one is
    // wanted (at most one frame every kFrameMs, the menus' few settling frames included).
    int sleepMs() const {
        const uint32_t now = SDL_GetTicks();
        int ms = std::max(0, 100 - static_cast<int>(now - lastTickMs_));
        if (redraw_ || uiFrames_ > 0)
            ms = std::min(ms, std::max(0, kFrameMs - static_cast<int>(now - lastFrameMs_)));
        if (settling(now)) ms = std::min(ms, std::max(0, kSettleFrameMs - static_cast<int>(now - lastFrameMs_)));
        {
            // A playing movie's next frame.
            MutexLock lock(tickMutex_);
            if (videoTick_) {
                const uint64_t t = SDL_GetTicks64();
                ms = std::min(ms, videoDue_ > t ? static_cast<int>(std::min<uint64_t>(videoDue_ - t, 100)) : 0);
            }
        }
        // The debug windows' next frame.
        if (const int d = debug_.msUntilDue(now); d >= 0) ms = std::min(ms, d);
        // The pointer's next step while the stick is pushed (at rest the stick costs nothing).
        if (stickMs_ != 0) ms = std::min(ms, std::max(0, kStickMs - static_cast<int>(SDL_GetTicks64() - stickMs_)));
        return ms;
    }

    bool frameDue() const {
        const uint32_t now = SDL_GetTicks();
        const int since = static_cast<int>(now - lastFrameMs_);
        return ((redraw_ || uiFrames_ > 0) && since >= kFrameMs) || (settling(now) && since >= kSettleFrameMs);
    }

    void waitAndPump(DialogRequest* modal) {
        SDL_Event e;
        const int ms = sleepMs();
        if (ms > 0 ? SDL_WaitEventTimeout(&e, ms) : SDL_PollEvent(&e)) {
            handleEvent(e, modal);
            while (SDL_PollEvent(&e)) handleEvent(e, modal);
        }
        applyTitle();
        if (menus_ && menus_.load()->version() != drawnMenuVersion_) redraw_ = true;
    }

    // The window manager's own full screen (its key or menu, wmctrl) is the player's choice as
    // F11 is: the game goes to full screen as the program's switch takes it there, and back to
    // the window when the manager ends it. Only a change of the manager's state counts: the
    // program's own switches change it too, and then agree with it.
    void followWindowManager() {
        const int state = windowManagerFullScreen(window_);
        if (state < 0 || (state == 1) == wmFull_) return;
        wmFull_ = state == 1;
        if (wmFull_ == full_) return;
        if (currentModal_ && events_)
            events_->onToggleFullScreen();
        else
            toggleFull_ = true;
    }

    // Alt+Enter and F11 switch between window and full screen in every state and never reach
    // the game or the menus.
    bool fullScreenKey(const SDL_Event& e) {
        if (e.type != SDL_KEYDOWN && e.type != SDL_KEYUP) return false;
        const SDL_Keycode k = e.key.keysym.sym;
        const bool enter = k == SDLK_RETURN || k == SDLK_KP_ENTER;
        if (e.type == SDL_KEYUP) {
            if (k == SDLK_F11) return true;
            if (enter && swallowEnterUp_) {
                swallowEnterUp_ = false;
                return true;
            }
            return false;
        }
        const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
        if (k != SDLK_F11 && !(enter && alt)) return false;
        if (enter) swallowEnterUp_ = true;
        if (!e.key.repeat) {
            toggleFull_ = true;
            if (currentModal_ && events_) events_->onToggleFullScreen(), toggleFull_ = false;
        }
        return true;
    }

    void handleEvent(const SDL_Event& e, DialogRequest* modal) {
        if (e.type == wakeEvent_) {
            wakePosted_ = false;
            return;
        }
        if (debug_.takeEvent(e)) return;  // the debug windows' own input
        if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_F12 && !e.key.repeat) {
            // The picture goes to the player's pictures folder (the game's side decides where);
            // YORVANE_WINDOW_SHOT asks for the whole window, menus and dialogs included.
            const char* env = std::getenv("YORVANE_WINDOW_SHOT");
            if (env && *env)
                saveWindowShot(env);
            else if (events_)
                events_->onInput(InputEvent::keyEvent(kKeyF12, true));
            return;
        }
        if ((e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) && e.key.keysym.sym == SDLK_F12) return;
        if (fullScreenKey(e)) return;
        if (e.type == SDL_WINDOWEVENT) {
            followWindowManager();
            switch (e.window.event) {
            case SDL_WINDOWEVENT_MOVED:
                if (!full_ && !wmFull_) SDL_GetWindowPosition(window_, &windowedX_, &windowedY_);
                break;
            case SDL_WINDOWEVENT_SIZE_CHANGED: onResized(); break;
            case SDL_WINDOWEVENT_RESIZED: case SDL_WINDOWEVENT_EXPOSED: case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_RESTORED: case SDL_WINDOWEVENT_MAXIMIZED:
                settle();
                break;
            default: break;
            }
        }
        if (e.type == SDL_RENDER_TARGETS_RESET || e.type == SDL_RENDER_DEVICE_RESET) {
            picture_.targetsLost();
            redraw_ = true;
        }
        // What the menus show changes only with input on them: a few frames to settle after it.
        if (e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP || e.type == SDL_MOUSEWHEEL ||
            e.type == SDL_KEYDOWN || e.type == SDL_KEYUP || e.type == SDL_TEXTINPUT || e.type == SDL_TEXTEDITING)
            uiFrames_ = kUiSettleFrames;
        if (e.type == SDL_MOUSEMOTION) {
            // Highlights follow the pointer on open menus, dialogs and the menu bar (one more
            // frame once it leaves the bar, to take the highlight off).
            const bool onUi = modal || ui_.menuOpen() || (barShown_ && menus_ && e.motion.y <= ui_.menuBarHeight());
            if (onUi || pointerWasOnUi_) uiFrames_ = kUiSettleFrames;
            pointerWasOnUi_ = onUi;
        }
        const bool entryBox = modal && modal->kind == DialogRequest::Kind::Input;
        // An entry box keeps its field on Escape (the field itself would undo the typing).
        if (entryBox && (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) && e.key.keysym.sym == SDLK_ESCAPE)
            return;
        if (e.type == SDL_TEXTINPUT) {
            ui_.ensureGlyphs(e.text.text);
            if (entryBox) modal->composition.clear();
        }
        if (e.type == SDL_TEXTEDITING && entryBox) {
            modal->composition = e.edit.text;
            ui_.ensureGlyphs(modal->composition);
        }
        // Escape in an open menu closes all of it, submenus included (ImGui would take one
        // level at a time), and never reaches the game.
        if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE && ui_.menuOpen() && !modal) ui_.closeMenus();
        // What the menus had open before this event decides where a click belongs.
        const bool menuWasOpen = ui_.menuOpen();
        ui_.processEvent(e);
        switch (e.type) {
        case SDL_QUIT:
            if (!closeEnabled_) break;
            // A close while a dialog is open ends the dialog (as its cancel) and the game.
            if (modal) {
                dismissDialogs_ = true;
                closeForced_ = true;
            } else {
                closeRequested_ = true;
            }
            break;
        case SDL_MOUSEMOTION: {
            mouseX_ = e.motion.x;
            mouseY_ = e.motion.y;
            if (modal || ui_.menuOpen() || !events_) break;
            int gx, gy;
            toGame(e.motion.x, e.motion.y, gx, gy);
            events_->onInput(InputEvent::move(gx, gy));
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            mouseX_ = e.button.x;
            mouseY_ = e.button.y;
            const int b = e.button.button == SDL_BUTTON_LEFT ? 1 : e.button.button == SDL_BUTTON_RIGHT ? 2 : 0;
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            if (!b || modal || !events_) break;
            // The menus take what happens on them; a right button let go always reaches
            // the game, so that its right-click flag is cleared.
            const bool onUi = menuWasOpen || (barShown_ && menus_ && e.button.y < ui_.menuBarHeight());
            if (down && onUi) break;
            if (!down && b == 1 && onUi) break;
            int gx, gy;
            toGame(e.button.x, e.button.y, gx, gy);
            events_->onInput(InputEvent::mouseButton(b, down, gx, gy));
            break;
        }
        case SDL_MOUSEWHEEL: {
            if (modal || ui_.menuOpen() || !events_ || e.wheel.y == 0) break;
            const int steps = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            events_->onInput(InputEvent::wheel(steps));
            break;
        }
        case SDL_CONTROLLERDEVICEADDED: openPad(e.cdevice.which); break;
        case SDL_CONTROLLERDEVICEREMOVED: closePad(e.cdevice.which); break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: padButton(e.cbutton.button, e.type == SDL_CONTROLLERBUTTONDOWN, modal); break;
        case SDL_CONTROLLERAXISMOTION: padAxis(e.caxis.axis, e.caxis.value, modal); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const bool down = e.type == SDL_KEYDOWN;
            if (modal) {
                if (down) ui_.dialogKey(*modal, e.key.keysym.sym);
                break;
            }
            if (ui_.menuOpen() || !events_) break;
            // The same mapping as headless --key gives (F12 never gets here: it was taken above).
            const int k = gameKeyOf(e.key.keysym.sym);
            if (e.key.repeat && k != kKeyUp && k != kKeyDown) break;
            events_->onInput(InputEvent::keyEvent(k, down));
            break;
        }
        default: break;
        }
    }

    // ---- Gamepads ----
    void openPad(int deviceIndex) {
        SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
        if (!c) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
        // A pad announced twice is opened once (each open holds a reference).
        if (!pads_.emplace(id, c).second) SDL_GameControllerClose(c);
    }
    void closePad(SDL_JoystickID id) {
        const auto it = pads_.find(id);
        if (it == pads_.end()) return;
        SDL_GameControllerClose(it->second);
        pads_.erase(it);
        // What the pad held goes with it: the pointer stops, and fast-forward ends.
        stickX_ = stickY_ = 0;
        flick_ = {};
        stickMs_ = 0;
        if (padFastHeld_ && events_) events_->onInput(InputEvent::keyEvent(kKeyCtrl, false));
        padFastHeld_ = false;
    }

    // A mouse click at the pointer, as the window system would deliver it (the menus take it).
    void pushClickAtPointer() {
        for (Uint32 type : {Uint32(SDL_MOUSEBUTTONDOWN), Uint32(SDL_MOUSEBUTTONUP)}) {
            SDL_Event c{};
            c.type = type;
            c.button.windowID = SDL_GetWindowID(window_);
            c.button.button = SDL_BUTTON_LEFT;
            c.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            c.button.clicks = 1;
            c.button.x = mouseX_;
            c.button.y = mouseY_;
            SDL_PushEvent(&c);
        }
    }

    // Dialogs take the pad as their keys; open menus and the menu bar take A as a click where
    // the stick put the pointer, and B closes them; the game gets the pad's keys and clicks.
    void padButton(int button, bool down, DialogRequest* modal) {
        if (modal) {
            if (!down) return;
            const SDL_Keycode k = button == pad::kA ? SDLK_RETURN : button == pad::kB ? SDLK_ESCAPE
                                  : button == pad::kDpadUp ? SDLK_UP : button == pad::kDpadDown ? SDLK_DOWN
                                  : button == pad::kDpadLeft ? SDLK_LEFT : button == pad::kDpadRight ? SDLK_RIGHT : 0;
            // An entry box keeps its field on Escape, as it does for the key.
            if (k == SDLK_ESCAPE && modal->kind == DialogRequest::Kind::Input) return;
            if (k) ui_.dialogKey(*modal, k);
            uiFrames_ = kUiSettleFrames;
            return;
        }
        const bool onBar = barShown_ && menus_ && mouseY_ < ui_.menuBarHeight();
        if (ui_.menuOpen() || (onBar && button == pad::kA)) {
            if (down && button == pad::kA) pushClickAtPointer();
            if (down && button == pad::kB) ui_.closeMenus();
            uiFrames_ = kUiSettleFrames;
            // RB let go over a menu still ends fast-forward.
            if (button != pad::kShoulderR || down) return;
        }
        if (!events_) return;
        int gx = 0, gy = 0;
        toGame(mouseX_, mouseY_, gx, gy);
        const std::optional<InputEvent> ev = pad::buttonEvent(button, down, gx, gy);
        if (!ev) return;
        if (button == pad::kShoulderR) padFastHeld_ = down;
        events_->onInput(*ev);
    }

    void padAxis(int axis, int value, DialogRequest* modal) {
        if (axis == SDL_CONTROLLER_AXIS_LEFTX) stickX_ = value;
        else if (axis == SDL_CONTROLLER_AXIS_LEFTY) stickY_ = value;
        else return;
        const int step = flick_.update(stickX_, stickY_);
        if (!step) return;
        if (modal) {
            ui_.dialogKey(*modal, step < 0 ? SDLK_UP : SDLK_DOWN);
            uiFrames_ = kUiSettleFrames;
        } else if (!ui_.menuOpen() && events_) {
            events_->onInput(InputEvent::keyEvent(step < 0 ? kKeyUp : kKeyDown, true));
        }
    }

    // The left stick moves the pointer, a step every kStickMs while it is off its centre.
    // Pushed all the way up or down it steps between choices instead, and the pointer stays
    // where the step put it.
    void moveByStick() {
        if (!pad::stickActive(stickX_, stickY_) || flick_.held != 0) {
            stickMs_ = 0;
            return;
        }
        const uint64_t now = SDL_GetTicks64();
        if (stickMs_ == 0) {
            stickMs_ = now;
            aimX_ = mouseX_;
            aimY_ = mouseY_;
            return;
        }
        if (now - stickMs_ < static_cast<uint64_t>(kStickMs)) return;
        // A loop held up by a dialog's opening does not make the pointer leap.
        const double dt = static_cast<double>(std::min<uint64_t>(now - stickMs_, 100)) / 1000.0;
        stickMs_ = now;
        double vx = 0, vy = 0;
        pad::stickVelocity(stickX_, stickY_, vx, vy);
        // Game pixels to window coordinates (the picture's scale, and a high-DPI output's).
        int ww = 0, wh = 0, ow = 0, oh = 0;
        SDL_GetWindowSize(window_, &ww, &wh);
        SDL_GetRendererOutputSize(renderer_, &ow, &oh);
        const Rect pic = pictureRect();
        const double k = double(pic.w) / std::max(1, screenW_) * ww / std::max(1, ow);
        aimX_ = std::clamp(aimX_ + vx * dt * k, 0.0, double(std::max(0, ww - 1)));
        aimY_ = std::clamp(aimY_ + vy * dt * k, 0.0, double(std::max(0, wh - 1)));
        const int x = static_cast<int>(std::lround(aimX_)), y = static_cast<int>(std::lround(aimY_));
        if (x != mouseX_ || y != mouseY_) SDL_WarpMouseInWindow(window_, x, y);
    }

    // Ends a dialog as its cancel (or its only button) would.
    void dismiss(DialogRequest& d) {
        if (d.kind == DialogRequest::Kind::Input) {
            d.cancelled = true;
            return;
        }
        ui_.dialogKey(d, SDLK_ESCAPE);
        if (!d.done) d.answer = d.buttons == MsgButtons::YesNo ? kIdNo : kIdOk;
    }

    // A modal dialog: its own loop on the window thread until the player answers. The
    // interpreter's non-dialog requests are still served meanwhile.
    int32_t runModal(DialogRequest& d) {
        ui_.prepareDialog(d);
        // Typing goes through SDL's text input (and so through an input method) only while an
        // entry box is open; the game itself takes plain keys.
        const bool typing = d.kind == DialogRequest::Kind::Input;
        if (typing) SDL_StartTextInput();
        SDL_Rect imeRect{0, 0, 0, 0};
        // A message during start-up comes before the window is shown: show it with the box.
        if (!(SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN)) SDL_ShowWindow(window_);
        DialogRequest* outer = currentModal_;
        currentModal_ = &d;
        uiFrames_ = kUiSettleFrames;
        while (!d.done) {
            // A close (the window's, a signal's) ends the box at once, before it waits again.
            if (dismissDialogs_) {
                dismiss(d);
                break;
            }
            waitAndPump(&d);
            moveByStick();
            serveTasks(false);
            if (frameDue()) drawFrame(&d);
            drawDebugWindows();
            if (typing && std::memcmp(&imeRect, &d.imeRect, sizeof imeRect) != 0) {
                imeRect = d.imeRect;
                SDL_SetTextInputRect(&imeRect);
            }
            runAudioTick();  // the players' timers run on under a modal dialog
            runVideoTimer();
            // A forced stop (the time limit) ends the box as Escape would, then the loop.
            if (events_ && !quit_ && events_->onIdle()) quit_ = true;
            if (quit_ || dismissDialogs_) {
                dismiss(d);
                break;
            }
        }
        currentModal_ = outer;
        redraw_ = true;  // the box goes from the window
        if (typing && !(outer && outer->kind == DialogRequest::Kind::Input)) SDL_StopTextInput();
        return d.answer;
    }

    void applyTitle() {
        MutexLock lock(mutex_);
        if (!titleDirty_) return;
        SDL_SetWindowTitle(window_, title_.c_str());
        titleDirty_ = false;
    }

    void uploadFrame() {
        MutexLock lock(mutex_);
        picture_.upload(renderer_, frame_.pixels(), frame_.width(), frame_.height(), dirty_);
        dirty_ = {};
    }

    void drawFrame(DialogRequest* modal, bool forceShot = false) {
        redraw_ = false;
        if (uiFrames_ > 0) --uiFrames_;
        lastFrameMs_ = SDL_GetTicks();
        uploadFrame();
        MenuModel* const menus = menus_.load();
        // The atlas may only grow between frames.
        if (menus && menus->version() != drawnMenuVersion_)
            ui_.ensureMenuGlyphs(menus->snapshot(MenuWhich::Bar), menus->snapshot(MenuWhich::Popup));
        ui_.beginFrame(mouseX_, mouseY_);
        if (menus) {
            drawnMenuVersion_ = menus->version();
            bool opening = false;
            if (barShown_) {
                if (modal) ImGui::BeginDisabled();
                const int32_t id = ui_.drawMenuBar(menus->snapshot(MenuWhich::Bar), opening);
                if (modal) ImGui::EndDisabled();
                if (opening && events_) events_->onMenuOpening(false);
                if (id && !modal) pendingPick_ = id;
            } else {
                // A bar that is no longer drawn has no menu open (full screen chosen from it).
                ui_.barGone();
            }
            if (!modal) {
                const int32_t id = ui_.drawPopup(menus->snapshot(MenuWhich::Popup), opening);
                if (opening && events_) events_->onMenuOpening(true);
                if (id) pendingPick_ = id;
            }
        }
        // Reading aloud: the entry the pointer moved onto, once.
        if (ui_.hoveredMenuLabel() != hoveredMenu_) {
            hoveredMenu_ = ui_.hoveredMenuLabel();
            if (!hoveredMenu_.empty() && events_) events_->onMenuHovered(hoveredMenu_);
        }
        if (modal) ui_.drawDialog(*modal);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        picture_.draw(renderer_, pictureRect(), filter_);
        ui_.endFrame(renderer_);
        {
            MutexLock lock(mutex_);
            rects_.clear();
            for (const auto& [k, r] : ui_.itemRects) rects_[k] = {r.x, r.y, r.w, r.h};
        }
        bool wanted = forceShot;
        {
            MutexLock lock(mutex_);
            wanted = wanted || shotWanted_;
        }
        if (wanted) captureWindow();
        SDL_RenderPresent(renderer_);
    }

    void captureWindow() {
        int w = 0, h = 0;
        std::vector<uint8_t> bottomUp;
        if (!readRendererPixels(renderer_, bottomUp, w, h)) {
            // A window that cannot be read back is taken as black, at its size.
            SDL_GetRendererOutputSize(renderer_, &w, &h);
            w = std::max(w, 0), h = std::max(h, 0);
            bottomUp.assign(static_cast<size_t>(w) * h * 3, 0);
        }
        MutexLock lock(mutex_);
        shot_ = std::move(bottomUp);
        shotW_ = w;
        shotH_ = h;
        shotWanted_ = false;
        shotCv_.notifyAll();
    }

    // F12 with YORVANE_WINDOW_SHOT: the window's picture, menus and dialogs included, as a PNG.
    void saveWindowShot(const std::string& file) {
        drawFrame(currentModal_, true);
        MutexLock lock(mutex_);
        if (!shot_.empty() && writePng(file, shot_.data(), shotW_, shotH_))
            std::fprintf(stderr, "window picture: %s\n", file.c_str());
    }


    static constexpr int kFrameMs = 16;        // at most about 60 frames a second
    static constexpr int kSettleMs = 400;      // frames after a change of the window's size
    static constexpr int kSettleFrameMs = 50;  // ... one every so often
    static constexpr int kExpectMs = 600;      // the window system's answer to a size we gave
    static constexpr int kUiSettleFrames = 4;  // ImGui places new popups over two frames
    static constexpr int kStickMs = 16;        // the stick moves the pointer about 60 times a second

    RealClock clock_;
    int requestedScale_;
    int desktopScale_ = 1;  // the desktop's own scale: the menus are never drawn smaller
    int rememberedW_, rememberedH_;
    int knownW_, knownH_;  // the game's screen size as known when the window opens (0: not)
    std::atomic<ScaleFilter> filter_;
    bool scaleWarned_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SdlPicture picture_;
    SDL_Cursor* cursor_ = nullptr;
    SdlUi ui_;
    SdlDebugWindows debug_;
    WindowEvents* events_ = nullptr;
    std::atomic<MenuModel*> menus_{nullptr};
    int screenW_ = 640, screenH_ = 480, scale_ = 1;
    int areaW_ = 640, areaH_ = 480;  // window mode: the picture area the window keeps
    int expectW_ = 0, expectH_ = 0;   // the size last given to the window ...
    uint32_t expectUntilMs_ = 0;      // ... and until when sizes on the way there are reported
    uint32_t settleUntilMs_ = 0;      // frames go on until then after a change of size
    bool wmFull_ = false;             // the window manager shows the window full screen
    int windowedX_ = 0, windowedY_ = 0;  // where the window last stood in window mode
    bool wasMaximized_ = false;
    bool barShown_ = true;
    std::atomic<bool> full_{false};
    int savedX_ = 0, savedY_ = 0;
    std::atomic<int> mouseX_{0}, mouseY_{0};
    int cursorCount_ = 0;
    int32_t pendingPick_ = 0;
    DialogRequest* currentModal_ = nullptr;
    bool quit_ = false;
    std::atomic<bool> closeRequested_{false};
    // A close during a modal dialog: the dialog ends and the game closes without asking.
    std::atomic<bool> closeForced_{false};
    // Every dialog ends at once as its cancel would (a close is under way).
    std::atomic<bool> dismissDialogs_{false};
    // Alt+Enter or F11 was pressed.
    std::atomic<bool> toggleFull_{false};
    bool swallowEnterUp_ = false;
    // Drawing only on change: something on the window changed since the last frame, the
    // menus' settling frames still to draw, when the last frame was drawn.
    std::atomic<bool> redraw_{true};
    int uiFrames_ = 0;
    uint32_t lastFrameMs_ = 0;
    uint64_t drawnMenuVersion_ = 0;
    std::string hoveredMenu_;  // the menu entry last under the pointer (reading aloud)
    bool pointerWasOnUi_ = false;
    uint32_t wakeEvent_ = 0;
    std::atomic<bool> wakePosted_{false};
    Mutex postMutex_;
    bool posting_ YV_GUARDED_BY(postMutex_) = true;
    std::atomic<bool> closeEnabled_{true};
    // A pointer move asked for by the interpreter thread, made by the window loop.
    std::atomic<bool> warpPending_{false};
    std::atomic<int> warpX_{0}, warpY_{0};
    // Gamepads (window thread): those open, the left stick's position and the pointer it aims
    // (window coordinates, kept finer than a pixel), the time of its last step (0: at rest).
    std::map<SDL_JoystickID, SDL_GameController*> pads_;
    int stickX_ = 0, stickY_ = 0;
    pad::Flick flick_;
    double aimX_ = 0, aimY_ = 0;
    uint64_t stickMs_ = 0;
    bool padFastHeld_ = false;

    Mutex mutex_;  // guards the frame, title, rectangles and window pictures
    std::string title_ YV_GUARDED_BY(mutex_);
    bool titleDirty_ YV_GUARDED_BY(mutex_) = false;
    PresentedFrame frame_ YV_GUARDED_BY(mutex_);  // what the window shows
    Rect dirty_ YV_GUARDED_BY(mutex_);  // presented since the last upload to the texture
    std::map<std::string, SdlItemRect> rects_ YV_GUARDED_BY(mutex_);
    bool shotWanted_ YV_GUARDED_BY(mutex_) = false;
    CondVar shotCv_;
    std::vector<uint8_t> shot_ YV_GUARDED_BY(mutex_);
    int shotW_ YV_GUARDED_BY(mutex_) = 0;
    int shotH_ YV_GUARDED_BY(mutex_) = 0;

    WindowTasks tasks_;

    std::unique_ptr<audio::AudioEngine> audioEngine_;
    audio::SdlAudioOutput audioOut_;
    mutable Mutex tickMutex_;
    std::function<void()> audioTick_ YV_GUARDED_BY(tickMutex_);
    uint32_t lastTickMs_ = 0;  // the window thread's alone
    std::function<void()> videoTick_ YV_GUARDED_BY(tickMutex_);
    uint64_t videoPeriod_ YV_GUARDED_BY(tickMutex_) = 1;
    uint64_t videoDue_ YV_GUARDED_BY(tickMutex_) = 0;
};

}  // namespace

std::unique_ptr<Platform> makeSdlPlatform(const SdlWindowOptions& options, std::string& why) {
    auto p = std::make_unique<SdlPlatform>(options);
    if (!p->init(why)) return nullptr;
    return p;
}

bool invisibleVideoDriver(std::string& why) {
    // Without a reachable display SDL falls back to drivers that show nothing. Only a user who
    // asked for one (tests, scripted runs) gets it.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) || (asked && *asked))
        return false;
    why = std::string("no display reachable; SDL offered only its ") + driver + " driver";
    return true;
}

std::map<std::string, SdlItemRect> sdlItemRects(Platform& p) {
    auto* s = dynamic_cast<SdlPlatform*>(&p);
    return s ? s->itemRects() : std::map<std::string, SdlItemRect>{};
}

SdlDebugWindows* sdlDebugWindows(Platform& p) {
    auto* s = dynamic_cast<SdlPlatform*>(&p);
    return s ? &s->debugWindows() : nullptr;
}

std::vector<uint8_t> sdlWindowPixels(Platform& p, int& w, int& h) {
    auto* s = dynamic_cast<SdlPlatform*>(&p);
    w = h = 0;
    return s ? s->windowPixels(w, h) : std::vector<uint8_t>{};
}

}  // namespace yv
