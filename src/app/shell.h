// The application: start-up in its documented order, the window loop, close and shutdown.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "app/cli.h"
#include "app/instance.h"
#include "app/player_settings.h"
#include "app/window_view.h"
#include "platform/platform.h"
#include "runtime.h"
#include "ui/debug_windows.h"

namespace yv {

class Shell final : public WindowEvents {
public:
    Shell(Platform& platform, Options options);
    ~Shell() override;

    // Start-up; false when the game cannot start (`why` says so in one line).
    bool start(std::string& why);
    // Runs the window loop until the window closes, then shuts down; returns the exit status.
    int run();

    // What the player chose for this game in earlier runs; changes made in the window are
    // written back to it. Before start().
    void rememberSettings(PlayerSettingsFile settings) { settings_ = std::move(settings); }
    const PlayerSettings& rememberedSettings() const { return settings_.settings(); }

    Runtime& runtime() { return *rt_; }
    // The debug windows' model (nullptr unless a debug window was asked for).
    ui::DebugWindows* debugWindows() { return debugWindows_.get(); }

    // Mouse and keys, on the thread running the window loop (app::applyInput).
    void onInput(const InputEvent& e) override;
    // The same, as a window loop would pass them (tests acting as the window thread).
    void onMouseButton(int button, bool down, int x, int y) { onInput(InputEvent::mouseButton(button, down, x, y)); }
    void onMouseMove(int x, int y) { onInput(InputEvent::move(x, y)); }
    void onKey(int key, bool down) { onInput(InputEvent::keyEvent(key, down)); }
    bool onCloseRequest() override;
    bool onIdle() override;
    void onMenuCommand(int32_t id) override;
    // Headless --menu: picks the entry as the player would; false (said on stderr) when it is
    // missing or greyed.
    bool pickMenuEntry(int32_t id);
    void onMenuOpening(bool popup) override;
    void onRedrawn() override;
    void onToggleFullScreen() override;
    void onCloseForced() override;
    void onWindowAreaChanged(int width, int height) override;
    // Reading aloud: the menu entry under the pointer.
    void onMenuHovered(const std::string& labelUtf8) override;

    // Stops as by a window close without asking (the --max-seconds limit).
    void forceClose(bool timedOut);
    // From any thread (SIGTERM and the like): the window loop closes as by forceClose at its
    // next look.
    void requestSignalClose();

private:
    void applyConfig();
    void readConfigFile(const std::filesystem::path& file);
    void startInterpreter();
    void openDebugWindows(const std::string& iconFile);
    void beginClose();
    void setScaleFilter(ScaleFilter f);
    template <class F>
    void holdingAutoMode(F&& dialog);
    void applyRememberedSettings();
    void rememberMenuChoice(int32_t id, int32_t volumeBefore, bool muteBefore, uint16_t waveBefore);
    void rememberDisplayMode();
    void rememberFastForward();
    void setCopyText(bool on);
    void rememberSpeech();
    void refuseSpeechWithoutService();
    void shutdown();

    Platform& platform_;
    Options options_;
    std::unique_ptr<Runtime> rt_;
    app::WindowView view_;  // what input and the window loop's timers reach
    std::thread interpreter_;
    std::unique_ptr<ui::DebugWindows> debugWindows_;
    std::atomic<bool> closing_{false};
    std::atomic<bool> timedOut_{false};
    std::atomic<bool> started_{false};
    std::atomic<bool> signalled_{false};
    bool shutDown_ = false;
    bool speechRefused_ = false;  // the speech service proved missing: 読み上げ greyed
    InstanceLock instance_;
    PlayerSettingsFile settings_;
    std::chrono::steady_clock::time_point realStart_;
};

}  // namespace yv
