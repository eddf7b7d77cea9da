// The self-pipe behind CloseSignals: the handler only writes the signal's number.
#include "app/close_signals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace yv {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// A signal handler gets no context: the pipe it writes to is the process's one piece of state
// for it. Only one CloseSignals is alive at a time.
std::atomic<int> gWriteFd{-1};

extern "C" void onCloseSignal(int sig) {
    const int saved = errno;
    const int fd = gWriteFd.load();
    if (fd >= 0) {
        const unsigned char b = static_cast<unsigned char>(sig);
        [[maybe_unused]] ssize_t n = ::write(fd, &b, 1);
    }
    errno = saved;
}

}  // namespace

CloseSignals::CloseSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    readFd_ = fds[0];
    writeFd_ = fds[1];
    // The handler must never block: a full pipe loses a repeated signal, which is harmless.
    ::fcntl(writeFd_, F_SETFL, O_NONBLOCK);
    gWriteFd = writeFd_;
    watcher_ = std::thread([this] {
        for (;;) {
            unsigned char b = 0;
            const ssize_t n = ::read(readFd_, &b, 1);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0 || b == 0) return;  // 0: the destructor's stop byte
            if (onSignal_) onSignal_(b);
        }
    });
    struct sigaction sa {};
    sa.sa_handler = onCloseSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : kSignals) ::sigaction(s, &sa, nullptr);
}

CloseSignals::~CloseSignals() {
    if (readFd_ < 0) return;
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (int s : kSignals) ::sigaction(s, &sa, nullptr);
    gWriteFd = -1;
    const unsigned char stop = 0;
    [[maybe_unused]] ssize_t n = ::write(writeFd_, &stop, 1);
    if (watcher_.joinable()) watcher_.join();
    ::close(readFd_);
    ::close(writeFd_);
}

}  // namespace yv
