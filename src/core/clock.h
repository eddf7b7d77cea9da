// The millisecond clock every wait, pacing interval and player tick goes through.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace yv {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a wrapping 32-bit counter, like the system tick count.
    virtual uint32_t nowMs() = 0;
    // Fractional milliseconds since an arbitrary origin; pacing needs sub-millisecond intervals.
    virtual double nowPreciseMs() = 0;
    // Sleeps (or, for a manual clock, advances time) by ms.
    virtual void sleepMs(double ms) = 0;
    // One pass of a loop that runs without pacing. A manual clock moves on by a millisecond so
    // that time still flows when nothing sleeps.
    virtual void freeRun() {}
};

class RealClock final : public Clock {
public:
    RealClock() : origin_(std::chrono::steady_clock::now()) {}
    uint32_t nowMs() override { return static_cast<uint32_t>(static_cast<uint64_t>(nowPreciseMs())); }
    double nowPreciseMs() override {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - origin_)
            .count();
    }
    void sleepMs(double ms) override;

private:
    std::chrono::steady_clock::time_point origin_;
};

// Time moves only when told to (or when someone sleeps on it), so waits are exact and instant.
// Events scheduled on it (headless clicks, the --max-seconds stop) fire at their exact times
// on the thread that advances the clock.
class ManualClock final : public Clock {
public:
    explicit ManualClock(double startMs = 0) : micros_(static_cast<int64_t>(startMs * 1000)) {}
    uint32_t nowMs() override {
        return static_cast<uint32_t>(static_cast<uint64_t>(micros_.load() / 1000));
    }
    double nowPreciseMs() override { return static_cast<double>(micros_.load()) / 1000.0; }
    void sleepMs(double ms) override { advance(ms); }
    void freeRun() override { advance(1); }
    void advance(double ms);

    // Runs fn when time reaches atMs; with periodMs > 0 again every periodMs after that.
    void schedule(double atMs, std::function<void()> fn, double periodMs = 0);

private:
    struct Event {
        int64_t atMicros;
        int64_t periodMicros;
        std::function<void()> fn;
    };
    std::atomic<int64_t> micros_;
    std::mutex mutex_;
    std::vector<Event> events_;
};

}  // namespace yv
