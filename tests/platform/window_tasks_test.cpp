// Work handed to the window thread: answers come back, dialogs wait for the outer loop, and a
// stopped window never leaves a caller waiting.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/sdl/window_tasks.h"

using namespace yv;

TEST(WindowTasks, RunsOnTheWindowThreadAndAnswers) {
    WindowTasks tasks;  // this thread is the window thread
    EXPECT_EQ(tasks.run([] { return 7; }, 0), 7);
    std::atomic<int> answer{0};
    std::thread::id ranOn;
    std::thread other([&] { answer = tasks.run([&] { ranOn = std::this_thread::get_id(); return 42; }, -1); });
    while (answer == 0) {
        tasks.serve(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    other.join();
    EXPECT_EQ(answer.load(), 42);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(WindowTasks, DialogsWaitWhileOnlyOtherWorkIsServed) {
    WindowTasks tasks;
    std::atomic<int> dialog{0}, plain{0};
    std::thread a([&] { dialog = tasks.run([] { return 1; }, -1, true); });
    std::thread b([&] { plain = tasks.run([] { return 2; }, -1); });
    while (plain == 0) {
        tasks.serve(false);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(dialog.load(), 0);
    while (dialog == 0) {
        tasks.serve(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    a.join();
    b.join();
    EXPECT_EQ(dialog.load(), 1);
}

TEST(WindowTasks, StoppedWindowAnswersWithTheFallback) {
    WindowTasks tasks;
    std::atomic<int> answer{0};
    std::thread waiting([&] { answer = tasks.run([] { return 5; }, -1); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    tasks.stop();
    waiting.join();
    EXPECT_EQ(answer.load(), -1);
    std::thread late([&] { answer = tasks.run([] { return 5; }, -2); });
    late.join();
    EXPECT_EQ(answer.load(), -2);
}
