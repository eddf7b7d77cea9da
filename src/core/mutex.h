// A mutex and its locks that clang's thread-safety analysis understands (-Wthread-safety).
#pragma once

#include <condition_variable>
#include <mutex>

// The analysis reads these attributes; other compilers see nothing.
#if defined(__clang__)
#define YV_TSA(x) __attribute__((x))
#else
#define YV_TSA(x)
#endif

#define YV_CAPABILITY(x) YV_TSA(capability(x))
#define YV_SCOPED_CAPABILITY YV_TSA(scoped_lockable)
#define YV_GUARDED_BY(x) YV_TSA(guarded_by(x))
#define YV_PT_GUARDED_BY(x) YV_TSA(pt_guarded_by(x))
#define YV_REQUIRES(...) YV_TSA(requires_capability(__VA_ARGS__))
#define YV_EXCLUDES(...) YV_TSA(locks_excluded(__VA_ARGS__))
#define YV_ACQUIRE(...) YV_TSA(acquire_capability(__VA_ARGS__))
#define YV_RELEASE(...) YV_TSA(release_capability(__VA_ARGS__))
#define YV_TRY_ACQUIRE(...) YV_TSA(try_acquire_capability(__VA_ARGS__))
#define YV_RETURN_CAPABILITY(x) YV_TSA(lock_returned(x))
#define YV_ACQUIRED_AFTER(...) YV_TSA(acquired_after(__VA_ARGS__))
// For the few functions whose locking the analysis cannot follow (say why at each use).
#define YV_NO_THREAD_SAFETY_ANALYSIS YV_TSA(no_thread_safety_analysis)

namespace yv {

class CondVar;

// std::mutex with the capability attribute, so members can say which mutex guards them.
class YV_CAPABILITY("mutex") Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock() YV_ACQUIRE() { m_.lock(); }
    void unlock() YV_RELEASE() { m_.unlock(); }
    bool try_lock() YV_TRY_ACQUIRE(true) { return m_.try_lock(); }
    // Tells the analysis that the caller holds the lock where it cannot see it.
    void assertHeld() const YV_TSA(assert_capability(this)) {}

private:
    friend class MutexLock;
    std::mutex m_;
};

// The scoped lock (std::unique_lock's role): held from construction to destruction, and may be
// let go and taken again in between; a CondVar waits on it.
class YV_SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& m) YV_ACQUIRE(m) : lock_(m.m_) {}
    ~MutexLock() YV_RELEASE() {}
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

    void unlock() YV_RELEASE() { lock_.unlock(); }
    void lock() YV_ACQUIRE() { lock_.lock(); }

private:
    friend class CondVar;
    std::unique_lock<std::mutex> lock_;
};

// std::condition_variable on a MutexLock. Wait in a loop that tests the guarded condition in the
// locked function itself (`while (!ready_) cv_.wait(lock);`): a predicate lambda is a function
// of its own to the analysis, which cannot see that it runs under the lock.
class CondVar {
public:
    void wait(MutexLock& lock) { cv_.wait(lock.lock_); }
    template <class TimePoint>
    std::cv_status waitUntil(MutexLock& lock, const TimePoint& deadline) {
        return cv_.wait_until(lock.lock_, deadline);
    }
    template <class Duration>
    std::cv_status waitFor(MutexLock& lock, const Duration& d) {
        return cv_.wait_for(lock.lock_, d);
    }
    void notifyOne() { cv_.notify_one(); }
    void notifyAll() { cv_.notify_all(); }

private:
    std::condition_variable cv_;
};

}  // namespace yv
