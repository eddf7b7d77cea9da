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

}  // namespace yv

namespace yv {

void ManualClock::schedule(double atMs, std::function<void()> fn, double periodMs) {
    std::lock_guard lock(mutex_);
    events_.push_back({static_cast<int64_t>(atMs * 1000), static_cast<int64_t>(periodMs * 1000),
                       std::move(fn)});
}

void ManualClock::advance(double ms) {
    if (ms < 0) ms = 0;
    const int64_t target = micros_.load() + static_cast<int64_t>(ms * 1000 + 0.5);
    for (;;) {
        std::function<void()> due;
        {
            std::lock_guard lock(mutex_);
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
        }
        due();
    }
    if (target > micros_.load()) micros_ = target;
}

}  // namespace yv
