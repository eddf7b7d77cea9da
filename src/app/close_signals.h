// SIGTERM, SIGINT and SIGHUP turned into the window's close: a self-pipe read by one thread.
#pragma once

#include <functional>
#include <thread>

namespace yv {

// While alive, the three signals no longer kill the process: each one runs `onSignal` on a
// thread of its own (never in the signal handler), which asks the window loop to close.
class CloseSignals {
public:
    explicit CloseSignals(std::function<void(int)> onSignal);
    ~CloseSignals();
    CloseSignals(const CloseSignals&) = delete;
    CloseSignals& operator=(const CloseSignals&) = delete;
    bool active() const { return readFd_ >= 0; }

private:
    std::function<void(int)> onSignal_;
    int readFd_ = -1;
    int writeFd_ = -1;
    std::thread watcher_;
};

}  // namespace yv
