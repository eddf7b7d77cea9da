// Real clock sleeping.
#include "core/clock.h"

#include <thread>

namespace yv {

void RealClock::sleepMs(double ms) {
    if (ms <= 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

bool RealClock::waitFor(double ms, WakeSignal& signal, const std::function<bool()>& until) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double, std::milli>(ms > 0 ? ms : 0));
    return signal.waitUntil(deadline, until);
}

void WakeSignal::notify() {
    // Orders the caller's change (whatever its memory order) before the look at the count.
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (waiters_.load() != 0) wakeAll();
}

void WakeSignal::wakeAll() {
    // Taking the lock orders the change before a waiter's next look at its condition.
    MutexLock lock(mutex_);
    cv_.notifyAll();
}

void WakeSignal::wait(const std::function<bool()>& cond) {
    MutexLock lock(mutex_);
    ++waiters_;
    while (!cond()) cv_.wait(lock);
    --waiters_;
}

bool WakeSignal::waitUntil(std::chrono::steady_clock::time_point deadline, const std::function<bool()>& cond) {
    MutexLock lock(mutex_);
    ++waiters_;
    bool held = true;
    while (!cond()) {
        if (cv_.waitUntil(lock, deadline) == std::cv_status::timeout) {
            held = cond();
            break;
        }
    }
    --waiters_;
    return held;
}

}  // namespace yv

namespace yv {

void ManualClock::schedule(double atMs, std::function<void()> fn, double periodMs) {
    MutexLock lock(mutex_);
    events_.push_back({static_cast<int64_t>(atMs * 1000), static_cast<int64_t>(periodMs * 1000),
                       std::move(fn)});
    hasEvents_.store(true, std::memory_order_release);
}

void ManualClock::advance(double ms) {
    if (ms < 0) ms = 0;
    const int64_t target = micros_.load() + static_cast<int64_t>(ms * 1000 + 0.5);
    // Nothing scheduled (the usual case in tests): time just moves on. An event scheduled at
    // this moment from another thread fires at the next advance, as it would had it come a
    // moment later.
    if (!hasEvents_.load(std::memory_order_acquire)) {
        if (target > micros_.load()) micros_ = target;
        return;
    }
    advanceTo(target, nullptr);
}

bool ManualClock::waitFor(double ms, WakeSignal&, const std::function<bool()>& until) {
    if (until()) return true;
    if (ms < 0) ms = 0;
    return advanceTo(micros_.load() + static_cast<int64_t>(ms * 1000 + 0.5), until);
}

bool ManualClock::advanceTo(int64_t target, const std::function<bool()>& stop) {
    for (;;) {
        std::function<void()> due;
        {
            MutexLock lock(mutex_);
            size_t best = events_.size();
            for (size_t i = 0; i < events_.size(); ++i)
                if (events_[i].atMicros <= target &&
                    (best == events_.size() || events_[i].atMicros < events_[best].atMicros))
                    best = i;
            if (best == events_.size()) break;
            Event& e = events_[best];
            if (e.atMicros > micros_.load()) micros_ = e.atMicros;
            due = e.fn;
            if (e.periodMicros > 0)
                e.atMicros += e.periodMicros;
            else
                events_.erase(events_.begin() + static_cast<std::ptrdiff_t>(best));
            if (events_.empty()) hasEvents_.store(false, std::memory_order_release);
        }
        due();
        if (stop && stop()) return true;
    }
    if (target > micros_.load()) micros_ = target;
    return stop && stop();
}

}  // namespace yv
