// The load dialog "ろーど" in the real window (SDL dummy driver): a slot chosen with the mouse
// and the button, slots without a file cannot be chosen, the keyboard, and Escape.
#include <gtest/gtest.h>

#include <atomic>

#include "core/cp932.h"
#include "sdl_events.h"

using namespace yv;

namespace {

LoadDialogRequest slots() {
    LoadDialogRequest r;
    for (int n = 0; n < 31; ++n) {
        LoadDialogSlot s;
        s.exists = n == 3 || n == 9 || n == 12;
        char buf[40];
        std::snprintf(buf, sizeof buf, s.exists ? "%2d:  2024/05/0%d 12:00:00" : "%2d: ----/--/-- --:--:--", n, n % 9 + 1);
        s.caption = buf;
        if (s.exists) {
            auto t = std::make_shared<Thumbnail>();
            t->width = 16;
            t->height = 12;
            t->rgb.assign(16 * 12 * 3, static_cast<uint8_t>(n * 20));
            s.thumbnail = t;
        }
        r.slots.push_back(std::move(s));
    }
    return r;
}

// Opens the dialog from another thread (as startload does) while `drive` plays the player.
int ask(SdlGame& g, const std::function<void()>& drive) {
    std::atomic<int> answer{-2};
    std::thread asker([&] { answer = g.platform->loadDialog(slots()); });
    std::thread player([&] {
        drive();
        waitFor([&] { return answer.load() != -2; });
        g.platform->requestClose();
    });
    EXPECT_EQ(g.shell->run(), 0);
    player.join();
    asker.join();
    return answer;
}

}  // namespace

TEST(SdlLoadDialog, ASlotIsChosenAndLoadedWithTheButton) {
    SdlGame g("");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    bool shown = false;
    const int answer = ask(g, [&] {
        auto nine = g.settled("radio:9");
        auto greyed = g.rect("radio:4");
        shown = nine && greyed && g.rect("radio:start");
        if (!shown) return;
        clickAt(*greyed);  // a slot without a file stays unchosen
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        clickAt(*nine);    // slot 9, then another slot: the other one is loaded
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        clickAt(*g.rect("radio:3"));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        clickAt(*g.rect("button:ろーど"));
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(answer, 3);
}

TEST(SdlLoadDialog, DownWalksTheChoicesThatCanBeTaken) {
    SdlGame g("");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    // Down walks past the slots without a file: はじめから, 3, 9.
    const int answer = ask(g, [&] {
        if (!g.settled("radio:3")) return;
        pushKey(SDLK_DOWN);
        pushKey(SDLK_DOWN);
        pushKey(SDLK_RETURN);
    });
    EXPECT_EQ(answer, 9);
}

TEST(SdlLoadDialog, EscapeChoosesNothing) {
    SdlGame h("");
    if (!h.platform) GTEST_SKIP() << "no SDL video: " << h.why;
    ASSERT_TRUE(h.started) << h.why;
    const int answer = ask(h, [&] {
        if (!h.settled("radio:3")) return;
        pushKey(SDLK_DOWN);
        pushKey(SDLK_ESCAPE);
    });
    EXPECT_EQ(answer, -1);
}
