// The application: start-up in its documented order, the window loop, close and shutdown.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "app/cli.h"
#include "app/instance.h"
#include "platform/platform.h"
#include "runtime.h"

namespace yv {

class Shell final : public WindowEvents {
public:
    Shell(Platform& platform, Options options);
    ~Shell() override;

    // Start-up; false when the game cannot start (`why` says so in one line).
    bool start(std::string& why);
    // Runs the window loop until the window closes, then shuts down; returns the exit status.
    int run();

    Runtime& runtime() { return *rt_; }

    void onMouseButton(int button, bool down, int x, int y) override;
    void onMouseMove(int x, int y) override;
    // Headless automatic click: a left click at the pointer, or on the highlighted choice
    // while choices are offered.
    void autoClick();
    bool onCloseRequest() override;
    bool onIdle() override;
    void onMenuCommand(int32_t id) override;
    // Headless --menu: picks the entry as the player would; false (said on stderr) when it is
    // missing or greyed.
    bool pickMenuEntry(int32_t id);
    void onMenuOpening(bool popup) override;
    void onKey(int key, bool down) override;
    void onRedrawn() override;

    // Stops as by a window close without asking (the --max-seconds limit).
    void forceClose(bool timedOut);

private:
    void applyConfig();
    void openPopupMenu(int x, int y);
    void readConfigFile(const std::filesystem::path& file);
    void startInterpreter();
    void beginClose();
    void shutdown();

    Platform& platform_;
    Options options_;
    std::unique_ptr<Runtime> rt_;
    std::thread interpreter_;
    std::atomic<bool> closing_{false};
    std::atomic<bool> timedOut_{false};
    std::atomic<bool> started_{false};
    bool shutDown_ = false;
    InstanceLock instance_;
    std::chrono::steady_clock::time_point realStart_;
};

}  // namespace yv
