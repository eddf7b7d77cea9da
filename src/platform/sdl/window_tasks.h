// Hands work from other threads to the window thread and waits for its answer. Once the window
// loop has ended, waiting callers and new calls get their fallback answer at once, so a thread
// never waits for a window that will not serve it again.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <thread>

#include "core/mutex.h"

namespace yv {

class WindowTasks {
public:
    WindowTasks() : windowThread_(std::this_thread::get_id()) {}

    bool onWindowThread() const { return std::this_thread::get_id() == windowThread_; }
    // How a posted task wakes the window loop that sleeps waiting for events (set before the
    // loop runs).
    void setWake(std::function<void()> wake) { wake_ = std::move(wake); }

    // Runs f on the window thread (at once when called there) and returns its answer.
    // Dialog tasks wait while another dialog is open.
    template <class F, class R>
    R run(F f, R fallback, bool dialog = false) YV_EXCLUDES(mutex_) {
        if (onWindowThread()) return f();
        R result = fallback;
        auto task = std::make_shared<Task>();
        task->fn = [&] { result = f(); };
        task->dialog = dialog;
        MutexLock lock(mutex_);
        if (stopped_) return fallback;
        tasks_.push_back(task);
        if (wake_) wake_();
        while (!task->done && !stopped_) cv_.wait(lock);
        return task->done ? result : fallback;
    }

    // The window thread carries out what is waiting.
    void serve(bool dialogsToo) YV_EXCLUDES(mutex_) {
        for (;;) {
            std::shared_ptr<Task> t;
            {
                MutexLock lock(mutex_);
                auto it = std::find_if(tasks_.begin(), tasks_.end(),
                                       [&](const auto& x) { return dialogsToo || !x->dialog; });
                if (it == tasks_.end()) return;
                t = *it;
                tasks_.erase(it);
            }
            t->fn();
            MutexLock lock(mutex_);
            t->done = true;
            cv_.notifyAll();
        }
    }

    // The window loop has ended: nothing will be served any more.
    void stop() YV_EXCLUDES(mutex_) {
        MutexLock lock(mutex_);
        stopped_ = true;
        tasks_.clear();
        cv_.notifyAll();
    }

private:
    struct Task {
        std::function<void()> fn;
        bool dialog = false;
        bool done = false;  // under WindowTasks::mutex_
    };

    std::thread::id windowThread_;
    std::function<void()> wake_;
    Mutex mutex_;
    CondVar cv_;
    std::deque<std::shared_ptr<Task>> tasks_ YV_GUARDED_BY(mutex_);
    bool stopped_ YV_GUARDED_BY(mutex_) = false;
};

}  // namespace yv
