// The gamepad's meaning: buttons to the game's keys and clicks, the stick to pointer speed.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/gamepad_map.h"

using namespace yv;

TEST(GamepadButtons, StandForTheKeysAndClicksPlayersKnow) {
    auto key = [](int b, bool down = true) {
        const auto e = pad::buttonEvent(b, down, 0, 0);
        return e && e->kind == InputEvent::Kind::Key ? e->key : -1;
    };
    EXPECT_EQ(key(pad::kA), kKeyEnter);
    EXPECT_EQ(key(pad::kDpadUp), kKeyUp);
    EXPECT_EQ(key(pad::kDpadDown), kKeyDown);
    EXPECT_EQ(key(pad::kStart), kKeySpace);
    EXPECT_EQ(key(pad::kShoulderL), kKeyBackspace);
    EXPECT_EQ(key(pad::kY), kKeyA);
    // RB is held as Ctrl is: its release must reach the game too, or fast-forward never stops.
    const auto rbUp = pad::buttonEvent(pad::kShoulderR, false, 0, 0);
    ASSERT_TRUE(rbUp);
    EXPECT_EQ(rbUp->key, kKeyCtrl);
    EXPECT_FALSE(rbUp->down);
    // B is the right button where the pointer is (the pop-up menu opens there).
    const auto b = pad::buttonEvent(pad::kB, true, 120, 45);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->kind, InputEvent::Kind::MouseButton);
    EXPECT_EQ(b->button, 2);
    EXPECT_EQ(b->x, 120);
    EXPECT_EQ(b->y, 45);
    // Back asks for the history once, on the press.
    const auto back = pad::buttonEvent(pad::kBack, true, 0, 0);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->kind, InputEvent::Kind::Wheel);
    EXPECT_GT(back->key, 0);
    EXPECT_FALSE(pad::buttonEvent(pad::kBack, false, 0, 0));
    EXPECT_FALSE(pad::buttonEvent(pad::kGuide, true, 0, 0));
    EXPECT_FALSE(pad::buttonEvent(pad::kX, true, 0, 0));
}

TEST(GamepadStick, RestsInTheDeadZoneAndAimsFinelyNearIt) {
    double vx = 1, vy = 1;
    pad::stickVelocity(3000, -4000, vx, vy);  // a worn stick's drift
    EXPECT_EQ(vx, 0);
    EXPECT_EQ(vy, 0);
    EXPECT_FALSE(pad::stickActive(3000, -4000));
    // Just past the dead zone the pointer creeps (no jump at its edge).
    const int edge = static_cast<int>((pad::kDeadZone + 0.02) * pad::kAxisMax);
    EXPECT_TRUE(pad::stickActive(edge, 0));
    pad::stickVelocity(edge, 0, vx, vy);
    EXPECT_GT(vx, 0);
    EXPECT_LT(vx, 5);
    // All the way: the top speed, whichever way, diagonals included; -32768 is no faster.
    pad::stickVelocity(-32768, 0, vx, vy);
    EXPECT_NEAR(vx, -pad::kTopSpeed, 1e-9);
    pad::stickVelocity(23170, 23170, vx, vy);
    EXPECT_NEAR(std::hypot(vx, vy), pad::kTopSpeed, 1.0);
    // Half way is well under half speed: the curve favours aiming.
    pad::stickVelocity(0, 16384, vx, vy);
    EXPECT_GT(vy, 0);
    EXPECT_LT(vy, pad::kTopSpeed / 4);
}

TEST(GamepadStick, AFullVerticalPushStepsOnceUntilTheStickComesBack) {
    pad::Flick f;
    EXPECT_EQ(f.update(0, 20000), 0);  // aiming, not stepping
    EXPECT_EQ(f.update(0, 32767), 1);
    EXPECT_EQ(f.update(0, 32767), 0);  // held: no repeat
    EXPECT_EQ(f.update(0, 20000), 0);  // not back far enough
    EXPECT_EQ(f.update(0, -32768), 0);  // through the centre in one report still needs a rest first
    EXPECT_EQ(f.update(0, 0), 0);
    EXPECT_EQ(f.update(0, -32768), -1);
    EXPECT_EQ(f.update(0, 0), 0);
    // A diagonal push aims the pointer instead.
    EXPECT_EQ(f.update(32767, 31000), 0);
}
