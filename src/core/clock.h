// The millisecond clock every wait, pacing interval and player tick goes through.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/mutex.h"

namespace yv {

// What threads wait on until a condition they share holds. Whoever changes what a condition
// reads notifies the signal afterwards (the interpreter's flags do it whenever a store changes
// them), so a waiter neither spins nor misses the change. Conditions run under the signal's lock:
// they only read atomics (sequentially consistent loads) and never notify.
class WakeSignal {
public:
    // Wakes the waiters, if any: costs a load when nobody waits.
    void notify() YV_EXCLUDES(mutex_);
    // Until cond() holds.
    void wait(const std::function<bool()>& cond) YV_EXCLUDES(mutex_);
    // Until cond() holds or the deadline passes; cond()'s value at the end.
    bool waitUntil(std::chrono::steady_clock::time_point deadline, const std::function<bool()>& cond)
        YV_EXCLUDES(mutex_);

private:
    friend class WakeFlag;
    // For a change made by a sequentially consistent read-modify-write, which orders it before
    // the look at the waiter count as the fence in notify() would.
    void notifyAfterExchange() {
        if (waiters_.load() != 0) wakeAll();
    }
    void wakeAll() YV_EXCLUDES(mutex_);
    // Guards no data: taking it orders a flag's change before a waiter's next look.
    Mutex mutex_;
    CondVar cv_;
    // Threads inside wait(), counted under the lock before they look at their condition. A
    // notifier that changed a flag and then sees no waiter can skip the lock: a waiter that
    // counts itself later looks at the condition after the change (both sides are ordered by
    // the single total order of sequentially consistent operations), so it never sleeps
    // through the change.
    std::atomic<int32_t> waiters_{0};
};

// An atomic flag that notifies its signal whenever a store changes it. A store of the value it
// already holds changes no condition, so it wakes nobody.
class WakeFlag {
public:
    WakeFlag(WakeSignal& signal, int32_t v) : signal_(signal), v_(v) {}
    WakeFlag(const WakeFlag&) = delete;
    WakeFlag& operator=(const WakeFlag&) = delete;
    int32_t load() const { return v_.load(); }
    operator int32_t() const { return v_.load(); }
    void store(int32_t v) { exchange(v); }
    WakeFlag& operator=(int32_t v) {
        store(v);
        return *this;
    }
    int32_t exchange(int32_t v) {
        const int32_t old = v_.exchange(v);
        if (old != v) signal_.notifyAfterExchange();
        return old;
    }

private:
    WakeSignal& signal_;
    std::atomic<int32_t> v_;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a wrapping 32-bit counter, like the system tick count.
    virtual uint32_t nowMs() = 0;
    // Fractional milliseconds since an arbitrary origin; pacing needs sub-millisecond intervals.
    virtual double nowPreciseMs() = 0;
    // Sleeps (or, for a manual clock, advances time) by ms.
    virtual void sleepMs(double ms) = 0;
    // Lets ms pass on this clock, or less: the sleep ends as soon as until() holds, looked at
    // before sleeping, whenever `signal` is notified and, on a manual clock, after each event
    // it fires (time then stays at that event's time). A close that sets a flag notifying
    // `signal` so cuts every such sleep short. Returns until()'s value at the end.
    virtual bool waitFor(double ms, WakeSignal& signal, const std::function<bool()>& until) = 0;
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
    bool waitFor(double ms, WakeSignal& signal, const std::function<bool()>& until) override;

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
    // Nothing waits for real time here: the events up to ms are fired, then time moves on.
    bool waitFor(double ms, WakeSignal& signal, const std::function<bool()>& until) override;
    void freeRun() override { advance(1); }
    void advance(double ms);

    // Runs fn when time reaches atMs; with periodMs > 0 again every periodMs after that.
    void schedule(double atMs, std::function<void()> fn, double periodMs = 0) YV_EXCLUDES(mutex_);

private:
    // Fires the due events in order; stops early (at the event's time) once stop() holds.
    bool advanceTo(int64_t targetMicros, const std::function<bool()>& stop) YV_EXCLUDES(mutex_);
    struct Event {
        int64_t atMicros;
        int64_t periodMicros;
        std::function<void()> fn;
    };
    std::atomic<int64_t> micros_;
    Mutex mutex_;
    std::vector<Event> events_ YV_GUARDED_BY(mutex_);
    std::atomic<bool> hasEvents_{false};  // events_ is not empty (read without the lock)
};

}  // namespace yv
