// Headless input reaches the game as a window's does: through the window loop's thread, in
// order, and the poster goes on only once the game has it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/headless/headless_platform.h"

using namespace yv;

namespace {

struct Recorder : WindowEvents {
    std::thread::id loopThread = std::this_thread::get_id();
    std::vector<InputEvent> seen;
    std::atomic<bool> offLoop{false}, done{false};
    void onInput(const InputEvent& e) override {
        if (std::this_thread::get_id() != loopThread) offLoop = true;
        seen.push_back(e);
    }
    bool onCloseRequest() override { return true; }
    bool onIdle() override { return done; }
};

}  // namespace

TEST(HeadlessInput, ScheduledClicksPassThroughTheWindowLoop) {
    HeadlessPlatform p;
    Recorder r;
    p.scheduleClick(100, 7, 9, 2);
    p.scheduleInput(150, InputEvent::keyEvent(kKeyEnter, true));
    std::atomic<size_t> seenAfterClick{0}, seenAfterKey{0};
    // The clock is moved by another thread, as the interpreter thread moves it.
    std::thread interpreter([&] {
        p.manualClock().sleepMs(120);
        seenAfterClick = r.seen.size();
        p.manualClock().sleepMs(100);
        seenAfterKey = r.seen.size();
        r.done = true;
        p.wakeLoop();
    });
    p.run(r);
    interpreter.join();
    EXPECT_FALSE(r.offLoop);
    EXPECT_EQ(seenAfterClick.load(), 2u);  // the pointer's move, then the right button
    EXPECT_EQ(seenAfterKey.load(), 3u);
    ASSERT_EQ(r.seen.size(), 3u);
    EXPECT_EQ(r.seen[0].kind, InputEvent::Kind::MouseMove);
    EXPECT_EQ(r.seen[1].kind, InputEvent::Kind::MouseButton);
    EXPECT_EQ(r.seen[1].button, 2);
    EXPECT_TRUE(r.seen[1].down);
    EXPECT_EQ(r.seen[2].key, kKeyEnter);
    EXPECT_EQ(p.pointerX(), 7);
    EXPECT_EQ(p.pointerY(), 9);
}

// A post that comes after the loop has ended is dropped instead of waiting for ever.
TEST(HeadlessInput, InputAfterTheLoopHasEndedDoesNotWait) {
    HeadlessPlatform p;
    Recorder r;
    r.done = true;
    p.run(r);
    std::thread late([&] { p.postInput(InputEvent::move(1, 1)); });
    late.join();
    EXPECT_TRUE(r.seen.empty());
}
