// SDL2 window platform. Everything that touches the window happens on the window thread: calls
// from the interpreter thread are handed over as tasks and wait for their answer, frames are
// handed over as copies and uploaded with SDL_LockTexture.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <imgui.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "ui/menus.h"
#include "core/cp932.h"
#include "graphics/png_write.h"
#include "platform/audio/audio_engine.h"
#include "platform/audio/sdl_audio_output.h"
#include "platform/presented_frame.h"
#include "platform/sdl/sdl_cursor.h"
#include "platform/sdl/sdl_debug_windows.h"
#include "platform/sdl/sdl_ui.h"
#include "platform/sdl/window_tasks.h"

namespace yv {
namespace {

class SdlPlatform final : public Platform {
public:
    explicit SdlPlatform(const SdlWindowOptions& o)
        : requestedScale_(o.scale) {}
    ~SdlPlatform() override {
        stopServing();
        debug_.setModel(nullptr);  // their windows go before SDL does
        audioOut_.close();  // nothing pulls the mix any more
        audioEngine_.reset();
        ui_.shutdown();
        if (cursor_) SDL_FreeCursor(cursor_);
        if (texture_) SDL_DestroyTexture(texture_);
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
        // Without a reachable display SDL falls back to drivers that show nothing: the game
        // would run invisibly and could not be closed. Only a user who asked for one gets it.
        const char* driver = SDL_GetCurrentVideoDriver();
        const char* asked = std::getenv("SDL_VIDEODRIVER");
        if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
            !(asked && *asked)) {
            why = std::string("no display reachable; SDL offered only its ") + driver + " driver";
            return false;
        }
        window_ = SDL_CreateWindow("Yorvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                                   SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
        if (!window_) {
            why = SDL_GetError();
            return false;
        }
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) {
            why = SDL_GetError();
            return false;
        }
        if (!ui_.init(window_, renderer_, why)) return false;
        debug_.setMainWindow(window_);
        SDL_StopTextInput();  // until an entry box opens
        setScreenSizeNow(640, 480);
        // Sound is not needed to play: without a device the game runs silent.
        audioEngine_ = std::make_unique<audio::AudioEngine>();
        std::string audioWhy;
        if (!audioOut_.open(*audioEngine_, audioWhy)) {
            std::fprintf(stderr, "yorvane: no sound device (%s); playing without sound\n", audioWhy.c_str());
            audioEngine_.reset();
        }
        return true;
    }

    Clock& clock() override { return clock_; }
    bool headless() const override { return false; }

    void run(WindowEvents& events) override {
        events_ = &events;
        for (;;) {
            pumpEvents(nullptr);
            if (warpPending_.exchange(false)) warpNow(warpX_, warpY_);
            serveTasks(true);
            if (quit_) break;
            if (closeRequested_.exchange(false) && events.onCloseRequest()) break;
            if (const int32_t id = std::exchange(pendingPick_, 0)) events.onMenuCommand(id);
            if (quit_) break;
            drawFrame(nullptr);
            events.onRedrawn();
            drawDebugWindows();
            runAudioTick();
            runVideoTimer();
            if (events.onIdle()) break;
            SDL_Delay(8);
        }
        stopServing();
        events_ = nullptr;
    }

    // ---- Window basics ----
    void setTitle(BytesView t) override {
        std::lock_guard lock(mutex_);
        title_ = cp932ToUtf8(t);
        titleDirty_ = true;
    }
    void requestClose() override { closeRequested_ = true; }
    bool closeRequested() const override { return closeRequested_; }

    // Only the rectangle reaches the window, as in the original: what a game draws into screen
    // 0 without presenting stays unseen until a present covers it.
    void present(const FrameView& s, Rect r) override {
        if (!s.pixels || s.width <= 0 || s.height <= 0) return;
        std::lock_guard lock(mutex_);
        dirty_ = unite(dirty_, picture_.take(s, r));
    }

    std::vector<uint8_t> shownFrame(int& w, int& h) override {
        std::lock_guard lock(mutex_);
        w = picture_.width();
        h = picture_.height();
        return picture_.pixels();
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
            }
            return 0;
        }, 0);
    }
    void openPopupMenu(int x, int y) override {
        onWindowThread([&] {
            const SDL_Rect r = pictureRect();
            ui_.requestPopup(r.x + x * r.w / std::max(1, screenW_), r.y + y * r.h / std::max(1, screenH_));
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
            resizeWindow();
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
        std::lock_guard lock(mutex_);
        return rects_;
    }
    std::vector<uint8_t> windowPixels(int& w, int& h) {
        if (tasks_.onWindowThread()) {
            drawFrame(currentModal_, true);
        } else {
            std::unique_lock lock(mutex_);
            shotWanted_ = true;
            shotCv_.wait_for(lock, std::chrono::seconds(3), [&] { return !shotWanted_; });
        }
        std::lock_guard lock(mutex_);
        w = shotW_;
        h = shotH_;
        return shot_;
    }

    // The history list; from the menu it opens on the window thread itself and runs its own loop
    // there, as every modal dialog does.
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
    }

    // ---- Debug windows ----
    void setDebugWindows(ui::DebugWindows* windows) override {
        onWindowThread([&] { return debug_.setModel(windows), 0; }, 0);
    }
    SdlDebugWindows& debugWindows() { return debug_; }

    // ---- Sound ----
    audio::AudioEngine* audio() override { return audioEngine_.get(); }
    void setAudioTick(std::function<void()> tick) override {
        std::lock_guard lock(tickMutex_);
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
        std::lock_guard lock(mutex_);
        for (const Rect& r : at) dirty_ = unite(dirty_, picture_.lay(p, r));
    }
    void setVideoTimer(int32_t periodMs, std::function<void()> tick) override {
        std::lock_guard lock(tickMutex_);
        videoTick_ = std::move(tick);
        videoPeriod_ = static_cast<uint64_t>(std::max(1, periodMs));
        videoDue_ = SDL_GetTicks64() + videoPeriod_;
    }

private:
    // The movie frame timer on the window thread. Ticks missed while the loop was busy are not
    // made up, as a window timer's are not.
    void runVideoTimer() {
        std::function<void()> tick;
        {
            std::lock_guard lock(tickMutex_);
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
        debug_.frame(SDL_GetTicks(), [this](int& w, int& h) { return shownFrame(w, h); });
    }

    // The players' 100 ms timer on the window thread.
    void runAudioTick() {
        const uint32_t now = SDL_GetTicks();
        if (now - lastTickMs_ < 100) return;
        lastTickMs_ = now;
        std::function<void()> tick;
        {
            std::lock_guard lock(tickMutex_);
            tick = audioTick_;
        }
        if (tick) tick();
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
        screenW_ = std::max(1, w);
        screenH_ = std::max(1, h);
        scale_ = requestedScale_;
        if (scale_ <= 0) {
            // The largest whole factor that leaves the desktop some room, at least 1.
            SDL_Rect b{0, 0, 1024, 768};
            if (SDL_GetDisplayUsableBounds(displayIndex(), &b) != 0) SDL_GetDisplayBounds(displayIndex(), &b);
            const int sx = static_cast<int>(b.w * 0.9) / screenW_;
            const int sy = static_cast<int>(b.h * 0.9 - ui_.menuBarHeight() - 40) / screenH_;
            scale_ = std::max(1, std::min(sx, sy));
        }
        if (!full_) resizeWindow();
    }

    int barHeight() const { return barShown_ && menus_ ? ui_.menuBarHeight() : 0; }

    void resizeWindow() { SDL_SetWindowSize(window_, screenW_ * scale_, screenH_ * scale_ + barHeight()); }

    // Where the game picture lies in the window, in window pixels.
    SDL_Rect pictureRect() const {
        if (!full_) return {0, barHeight(), screenW_ * scale_, screenH_ * scale_};
        int ow = 0, oh = 0;
        SDL_GetRendererOutputSize(renderer_, &ow, &oh);
        if (ow <= 0 || oh <= 0) return {0, 0, screenW_, screenH_};
        // Aspect kept, black bars around.
        const double f = std::min(static_cast<double>(ow) / screenW_, static_cast<double>(oh) / screenH_);
        const int w = std::max(1, static_cast<int>(screenW_ * f));
        const int h = std::max(1, static_cast<int>(screenH_ * f));
        return {(ow - w) / 2, (oh - h) / 2, w, h};
    }

    void toGame(int wx, int wy, int& gx, int& gy) const {
        const SDL_Rect r = pictureRect();
        gx = std::clamp(static_cast<int>(static_cast<int64_t>(wx - r.x) * screenW_ / std::max(1, r.w)), 0, screenW_ - 1);
        gy = std::clamp(static_cast<int>(static_cast<int64_t>(wy - r.y) * screenH_ / std::max(1, r.h)), 0, screenH_ - 1);
    }

    // Puts the pointer on the middle of game pixel (gx, gy).
    void warpNow(int gx, int gy) {
        const SDL_Rect r = pictureRect();
        const int64_t sw = std::max(1, screenW_), sh = std::max(1, screenH_);
        const int wx = r.x + static_cast<int>((2 * static_cast<int64_t>(gx) + 1) * r.w / (2 * sw));
        const int wy = r.y + static_cast<int>((2 * static_cast<int64_t>(gy) + 1) * r.h / (2 * sh));
        SDL_WarpMouseInWindow(window_, wx, wy);
    }

    DisplayModeAnswer enterFullScreenNow() {
        SDL_DisplayMode dm{};
        if (SDL_GetDesktopDisplayMode(displayIndex(), &dm) != 0 || dm.w <= 0 || dm.h <= 0)
            return DisplayModeAnswer::NoSuchMode;
        const int bits = static_cast<int>(SDL_BITSPERPIXEL(dm.format));
        if (bits != 0 && bits < 16) return DisplayModeAnswer::NotSupported;
        if (full_) return DisplayModeAnswer::Ok;
        SDL_GetWindowPosition(window_, &savedX_, &savedY_);
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
        return DisplayModeAnswer::Ok;
    }

    static int gameKey(SDL_Keycode k) {
        switch (k) {
        case SDLK_ESCAPE: return kKeyEscape;
        case SDLK_SPACE: return kKeySpace;
        case SDLK_RETURN: case SDLK_KP_ENTER: return kKeyEnter;
        case SDLK_LCTRL: case SDLK_RCTRL: return kKeyCtrl;
        case SDLK_UP: return kKeyUp;
        case SDLK_DOWN: return kKeyDown;
        default: return kKeyOther;
        }
    }

    void pumpEvents(DialogRequest* modal) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            if (debug_.takeEvent(e)) continue;  // the debug windows' own input
            if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_F12 && !e.key.repeat) {
                saveWindowShot();
                continue;
            }
            const bool entryBox = modal && modal->kind == DialogRequest::Kind::Input;
            // An entry box keeps its field on Escape (the field itself would undo the typing).
            if (entryBox && (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) && e.key.keysym.sym == SDLK_ESCAPE)
                continue;
            if (e.type == SDL_TEXTINPUT) {
                ui_.ensureGlyphs(e.text.text);
                if (entryBox) modal->composition.clear();
            }
            if (e.type == SDL_TEXTEDITING && entryBox) {
                modal->composition = e.edit.text;
                ui_.ensureGlyphs(modal->composition);
            }
            // What the menus had open before this event decides where a click belongs.
            const bool menuWasOpen = ui_.menuOpen();
            ui_.processEvent(e);
            switch (e.type) {
            case SDL_QUIT:
                if (closeEnabled_ && !modal) closeRequested_ = true;
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
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const bool down = e.type == SDL_KEYDOWN;
                if (modal) {
                    if (down) ui_.dialogKey(*modal, e.key.keysym.sym);
                    break;
                }
                if (ui_.menuOpen() || !events_) break;
                const int k = gameKey(e.key.keysym.sym);
                if (e.key.repeat && k != kKeyUp && k != kKeyDown) break;
                events_->onInput(InputEvent::keyEvent(k, down));
                break;
            }
            default: break;
            }
        }
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
        while (!d.done) {
            pumpEvents(&d);
            serveTasks(false);
            drawFrame(&d);
            drawDebugWindows();
            if (typing && std::memcmp(&imeRect, &d.imeRect, sizeof imeRect) != 0) {
                imeRect = d.imeRect;
                SDL_SetTextInputRect(&imeRect);
            }
            runAudioTick();  // the players' timers run on under a modal dialog
            runVideoTimer();
            // A forced stop (the time limit) ends the box as Escape would, then the loop.
            if (events_ && !quit_ && events_->onIdle()) quit_ = true;
            if (quit_) {
                if (d.kind == DialogRequest::Kind::Input) {
                    d.cancelled = true;
                    break;
                }
                ui_.dialogKey(d, SDLK_ESCAPE);
                if (!d.done) d.answer = d.buttons == MsgButtons::YesNo ? kIdNo : kIdOk;
                break;
            }
            SDL_Delay(8);
        }
        currentModal_ = outer;
        if (typing && !(outer && outer->kind == DialogRequest::Kind::Input)) SDL_StopTextInput();
        return d.answer;
    }

    void uploadFrame() {
        std::lock_guard lock(mutex_);
        if (titleDirty_) {
            SDL_SetWindowTitle(window_, title_.c_str());
            titleDirty_ = false;
        }
        const int fw = picture_.width(), fh = picture_.height();
        if (fw <= 0 || fh <= 0) return;
        // The texture keeps the game's size; the renderer scales it. A new texture takes the
        // whole picture, otherwise only what was presented since the last upload is copied.
        if (!texture_ || texW_ != fw || texH_ != fh) {
            if (texture_) SDL_DestroyTexture(texture_);
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING, fw, fh);
            texW_ = fw;
            texH_ = fh;
            dirty_ = {0, 0, fw, fh};
        }
        // (A rectangle of an earlier, larger picture is cut to this one.)
        const int x0 = std::clamp(dirty_.x, 0, fw), y0 = std::clamp(dirty_.y, 0, fh);
        const int x1 = std::clamp(dirty_.x + dirty_.w, x0, fw), y1 = std::clamp(dirty_.y + dirty_.h, y0, fh);
        dirty_ = {};
        if (x1 <= x0 || y1 <= y0) return;
        const SDL_Rect area{x0, y0, x1 - x0, y1 - y0};
        void* px = nullptr;
        int pitch = 0;
        if (texture_ && SDL_LockTexture(texture_, &area, &px, &pitch) == 0) {
            const uint8_t* src = picture_.pixels().data();
            for (int y = 0; y < area.h; ++y)  // bottom-up rows to top-down
                std::memcpy(static_cast<uint8_t*>(px) + static_cast<size_t>(y) * pitch,
                            src + (static_cast<size_t>(fh - 1 - (area.y + y)) * fw + area.x) * 3,
                            static_cast<size_t>(area.w) * 3);
            SDL_UnlockTexture(texture_);
        }
    }

    void drawFrame(DialogRequest* modal, bool forceShot = false) {
        uploadFrame();
        ui_.beginFrame(mouseX_, mouseY_);
        if (MenuModel* menus = menus_.load()) {
            bool opening = false;
            if (barShown_) {
                if (modal) ImGui::BeginDisabled();
                const int32_t id = ui_.drawMenuBar(menus->snapshot(MenuWhich::Bar), opening);
                if (modal) ImGui::EndDisabled();
                if (opening && events_) events_->onMenuOpening(false);
                if (id && !modal) pendingPick_ = id;
            }
            if (!modal) {
                const int32_t id = ui_.drawPopup(menus->snapshot(MenuWhich::Popup), opening);
                if (opening && events_) events_->onMenuOpening(true);
                if (id) pendingPick_ = id;
            }
        }
        if (modal) ui_.drawDialog(*modal);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        const SDL_Rect dst = pictureRect();
        if (texture_) SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
        ui_.endFrame(renderer_);
        {
            std::lock_guard lock(mutex_);
            rects_.clear();
            for (const auto& [k, r] : ui_.itemRects) rects_[k] = {r.x, r.y, r.w, r.h};
        }
        bool wanted = forceShot;
        {
            std::lock_guard lock(mutex_);
            wanted = wanted || shotWanted_;
        }
        if (wanted) captureWindow();
        SDL_RenderPresent(renderer_);
    }

    void captureWindow() {
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(renderer_, &w, &h);
        std::vector<uint8_t> top(static_cast<size_t>(w) * h * 3);
        if (w > 0 && h > 0 && SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_BGR24, top.data(), w * 3) != 0)
            top.assign(top.size(), 0);
        std::vector<uint8_t> bottomUp(top.size());
        for (int y = 0; y < h; ++y)
            std::memcpy(bottomUp.data() + static_cast<size_t>(h - 1 - y) * w * 3,
                        top.data() + static_cast<size_t>(y) * w * 3, static_cast<size_t>(w) * 3);
        std::lock_guard lock(mutex_);
        shot_ = std::move(bottomUp);
        shotW_ = w;
        shotH_ = h;
        shotWanted_ = false;
        shotCv_.notify_all();
    }

    // F12: the window's picture, menus and dialogs included, as a PNG (YORVANE_WINDOW_SHOT, or
    // yorvane-window.png in the current folder).
    void saveWindowShot() {
        drawFrame(currentModal_, true);
        const char* env = std::getenv("YORVANE_WINDOW_SHOT");
        const std::string file = env && *env ? env : "yorvane-window.png";
        std::lock_guard lock(mutex_);
        if (!shot_.empty() && writePng(file, shot_.data(), shotW_, shotH_))
            std::fprintf(stderr, "window picture: %s\n", file.c_str());
    }


    RealClock clock_;
    int requestedScale_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Cursor* cursor_ = nullptr;
    SdlUi ui_;
    SdlDebugWindows debug_;
    WindowEvents* events_ = nullptr;
    std::atomic<MenuModel*> menus_{nullptr};
    int texW_ = 0, texH_ = 0;
    int screenW_ = 640, screenH_ = 480, scale_ = 1;
    bool barShown_ = true;
    std::atomic<bool> full_{false};
    int savedX_ = 0, savedY_ = 0;
    std::atomic<int> mouseX_{0}, mouseY_{0};
    int cursorCount_ = 0;
    int32_t pendingPick_ = 0;
    DialogRequest* currentModal_ = nullptr;
    bool quit_ = false;
    std::atomic<bool> closeRequested_{false};
    std::atomic<bool> closeEnabled_{true};
    // A pointer move asked for by the interpreter thread, made by the window loop.
    std::atomic<bool> warpPending_{false};
    std::atomic<int> warpX_{0}, warpY_{0};

    std::mutex mutex_;  // guards the frame, title, rectangles and window pictures
    std::string title_;
    bool titleDirty_ = false;
    PresentedFrame picture_;  // what the window shows
    Rect dirty_;              // presented since the last upload to the texture
    std::map<std::string, SdlItemRect> rects_;
    bool shotWanted_ = false;
    std::condition_variable shotCv_;
    std::vector<uint8_t> shot_;
    int shotW_ = 0, shotH_ = 0;

    WindowTasks tasks_;

    std::unique_ptr<audio::AudioEngine> audioEngine_;
    audio::SdlAudioOutput audioOut_;
    std::mutex tickMutex_;
    std::function<void()> audioTick_;
    uint32_t lastTickMs_ = 0;
    std::function<void()> videoTick_;  // under tickMutex_, as its period and due time
    uint64_t videoPeriod_ = 1, videoDue_ = 0;
};

}  // namespace

std::unique_ptr<Platform> makeSdlPlatform(const SdlWindowOptions& options, std::string& why) {
    auto p = std::make_unique<SdlPlatform>(options);
    if (!p->init(why)) return nullptr;
    return p;
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
