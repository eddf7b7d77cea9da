// SDL2 window platform. Drawing happens only on the window thread: present() hands the frame
// over, and message boxes asked for by the interpreter thread are shown by the window thread.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "core/cp932.h"

namespace yv {
namespace {

class SdlPlatform final : public Platform {
public:
    explicit SdlPlatform(const Options& o) : scale_(o.scale > 0 ? o.scale : 1), windowThread_(std::this_thread::get_id()) {}
    ~SdlPlatform() override {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        SDL_Quit();
    }

    bool init(std::string& why) {
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            why = SDL_GetError();
            return false;
        }
        window_ = SDL_CreateWindow("Yorvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640 * scale_,
                                   480 * scale_, SDL_WINDOW_HIDDEN);
        if (!window_) {
            why = SDL_GetError();
            return false;
        }
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) {
            why = SDL_GetError();
            return false;
        }
        return true;
    }

    Clock& clock() override { return clock_; }
    bool headless() const override { return false; }

    void run(WindowEvents& events) override {
        SDL_ShowWindow(window_);
        for (;;) {
            SDL_Event e;
            while (SDL_PollEvent(&e)) {
                switch (e.type) {
                case SDL_QUIT: closeRequested_ = true; break;
                case SDL_MOUSEBUTTONDOWN:
                case SDL_MOUSEBUTTONUP: {
                    const int b = e.button.button == SDL_BUTTON_LEFT ? 1 : e.button.button == SDL_BUTTON_RIGHT ? 2 : 0;
                    if (b) events.onMouseButton(b, e.type == SDL_MOUSEBUTTONDOWN, e.button.x / scale_, e.button.y / scale_);
                    break;
                }
                case SDL_MOUSEMOTION: events.onMouseMove(e.motion.x / scale_, e.motion.y / scale_); break;
                case SDL_KEYDOWN:
                case SDL_KEYUP: {
                    const bool down = e.type == SDL_KEYDOWN;
                    const SDL_Keycode k = e.key.keysym.sym;
                    if (down && k == SDLK_ESCAPE) closeRequested_ = true;
                    const int key = k == SDLK_RETURN || k == SDLK_KP_ENTER ? kKeyEnter
                                    : k == SDLK_SPACE                      ? kKeySpace
                                    : k == SDLK_LCTRL || k == SDLK_RCTRL   ? kKeyCtrl
                                    : k == SDLK_UP                         ? kKeyUp
                                    : k == SDLK_DOWN                       ? kKeyDown
                                                                           : 0;
                    // A held key repeats its press; only Up and Down act on each repeat.
                    if (key && (!e.key.repeat || key == kKeyUp || key == kKeyDown)) events.onKey(key, down);
                    break;
                }
                default: break;
                }
            }
            if (warpPending_.exchange(false))
                SDL_WarpMouseInWindow(window_, warpX_ * scale_ + scale_ / 2, warpY_ * scale_ + scale_ / 2);
            serveDialog();
            if (closeRequested_.exchange(false) && events.onCloseRequest()) break;
            draw();
            if (events.onIdle()) break;
            SDL_Delay(5);
        }
    }

    void setTitle(BytesView t) override {
        std::lock_guard lock(mutex_);
        title_ = cp932ToUtf8(t);
        titleDirty_ = true;
    }
    void requestClose() override { closeRequested_ = true; }
    bool closeRequested() const override { return closeRequested_; }

    void present(const FrameView& s, Rect) override {
        if (!s.pixels || s.width <= 0 || s.height <= 0) return;
        std::lock_guard lock(mutex_);
        frameW_ = s.width;
        frameH_ = s.height;
        frame_.assign(s.pixels, s.pixels + static_cast<size_t>(s.width) * s.height * 3);
        frameDirty_ = true;
    }

    std::vector<uint8_t> shownFrame(int& w, int& h) override {
        std::lock_guard lock(mutex_);
        w = frameW_;
        h = frameH_;
        return frame_;
    }

    int32_t messageBox(BytesView text, BytesView caption, MsgButtons buttons, MsgIcon icon) override {
        Dialog d{cp932ToUtf8(text), cp932ToUtf8(caption), buttons, icon};
        if (std::this_thread::get_id() == windowThread_) return show(d);
        std::unique_lock lock(dialogMutex_);
        dialog_ = &d;
        dialogCv_.wait(lock, [&] { return d.done; });
        return d.answer;
    }

    // Interim: the list as a plain message box until the menus host a proper list dialog.
    void showHistory(const std::vector<Bytes>& lines) override {
        std::string text;
        for (const Bytes& l : lines) text += cp932ToUtf8(l) + "\n";
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, "メッセージ履歴", text.c_str(), window_);
    }

    void warpMouse(int x, int y) override {
        warpX_ = x;
        warpY_ = y;
        warpPending_ = true;
    }

private:
    struct Dialog {
        std::string text, caption;
        MsgButtons buttons;
        MsgIcon icon;
        int32_t answer = kIdOk;
        bool done = false;
    };

    int32_t show(const Dialog& d) {
        std::vector<SDL_MessageBoxButtonData> b;
        auto add = [&](int32_t id, const char* label) { b.push_back({0, id, label}); };
        switch (d.buttons) {
        case MsgButtons::Ok: add(kIdOk, "OK"); break;
        case MsgButtons::OkCancel: add(kIdOk, "OK"); add(kIdCancel, "キャンセル"); break;
        case MsgButtons::YesNo: add(kIdYes, "はい"); add(kIdNo, "いいえ"); break;
        case MsgButtons::YesNoCancel: add(kIdYes, "はい"); add(kIdNo, "いいえ"); add(kIdCancel, "キャンセル"); break;
        case MsgButtons::RetryCancel: add(kIdRetry, "再試行"); add(kIdCancel, "キャンセル"); break;
        }
        b.front().flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        Uint32 flags = d.icon == MsgIcon::Error ? SDL_MESSAGEBOX_ERROR
                       : d.icon == MsgIcon::Exclamation ? SDL_MESSAGEBOX_WARNING
                                                        : SDL_MESSAGEBOX_INFORMATION;
        SDL_MessageBoxData data{flags, window_, d.caption.c_str(), d.text.c_str(), static_cast<int>(b.size()), b.data(), nullptr};
        int hit = kIdOk;
        if (SDL_ShowMessageBox(&data, &hit) != 0 || hit < 0) hit = b.back().buttonid;
        return hit;
    }

    void serveDialog() {
        std::unique_lock lock(dialogMutex_);
        if (!dialog_) return;
        Dialog* d = dialog_;
        lock.unlock();
        const int32_t a = show(*d);
        lock.lock();
        d->answer = a;
        d->done = true;
        dialog_ = nullptr;
        dialogCv_.notify_all();
    }

    void draw() {
        std::lock_guard lock(mutex_);
        if (titleDirty_) {
            SDL_SetWindowTitle(window_, title_.c_str());
            titleDirty_ = false;
        }
        if (frameDirty_) {
            if (!texture_ || texW_ != frameW_ || texH_ != frameH_) {
                if (texture_) SDL_DestroyTexture(texture_);
                texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING, frameW_, frameH_);
                texW_ = frameW_;
                texH_ = frameH_;
                SDL_SetWindowSize(window_, frameW_ * scale_, frameH_ * scale_);
            }
            void* px = nullptr;
            int pitch = 0;
            if (texture_ && SDL_LockTexture(texture_, nullptr, &px, &pitch) == 0) {
                for (int y = 0; y < frameH_; ++y)  // bottom-up rows to top-down
                    std::memcpy(static_cast<uint8_t*>(px) + static_cast<size_t>(y) * pitch,
                                frame_.data() + static_cast<size_t>(frameH_ - 1 - y) * frameW_ * 3,
                                static_cast<size_t>(frameW_) * 3);
                SDL_UnlockTexture(texture_);
            }
            frameDirty_ = false;
        }
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        if (texture_) SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }

    RealClock clock_;
    int scale_;
    std::thread::id windowThread_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int texW_ = 0, texH_ = 0;
    std::atomic<bool> closeRequested_{false};
    // A pointer move asked for by the interpreter thread, made by the window loop.
    std::atomic<bool> warpPending_{false};
    std::atomic<int> warpX_{0}, warpY_{0};
    std::mutex mutex_;
    std::string title_;
    bool titleDirty_ = false;
    std::vector<uint8_t> frame_;
    int frameW_ = 0, frameH_ = 0;
    bool frameDirty_ = false;
    std::mutex dialogMutex_;
    std::condition_variable dialogCv_;
    Dialog* dialog_ = nullptr;
};

}  // namespace

std::unique_ptr<Platform> makeSdlPlatform(const Options& options, std::string& why) {
    auto p = std::make_unique<SdlPlatform>(options);
    if (!p->init(why)) return nullptr;
    return p;
}

}  // namespace yv
