// What a gamepad's buttons and left stick mean to the game, without SDL: the window loop feeds
// the controller's events through these and hands the answers on as ordinary InputEvents.
#pragma once

#include <optional>

#include "platform/platform.h"

namespace yv::pad {

// The buttons in SDL's game-controller numbering (the window checks the two agree).
enum Button : int {
    kA = 0, kB, kX, kY, kBack, kGuide, kStart, kLeftStick, kRightStick, kShoulderL, kShoulderR,
    kDpadUp, kDpadDown, kDpadLeft, kDpadRight
};

// The input a button stands for, pressed or let go with the pointer at (x, y) in game pixels:
// A is Enter (a click, or the highlighted choice), B the right button, the D-pad's up and down
// the arrow keys, Start the pop-up menu (Space), Back the history (the wheel turned up), LB a
// page back (Backspace), RB fast-forward (Ctrl held) and Y auto mode (A). Nothing for the rest.
std::optional<InputEvent> buttonEvent(int button, bool down, int x, int y);

// Axis values as SDL gives them: -32768..32767.
constexpr int kAxisMax = 32767;
// Below this distance from the centre a worn stick's drift is taken as rest.
constexpr double kDeadZone = 0.25;
// The pointer's top speed, in game pixels a second, with the stick pushed all the way.
constexpr double kTopSpeed = 600;

// True when the stick is off its centre (the pointer moves; the window's timer runs).
bool stickActive(int ax, int ay);
// The pointer's speed for a stick position, in game pixels a second: none inside the dead zone,
// then growing with the square of the push, so that a small push aims finely.
void stickVelocity(int ax, int ay, double& vx, double& vy);

// The stick pushed all the way up or down steps between choices as the arrow keys do, once per
// push: it must come back towards the centre before it steps again.
struct Flick {
    int held = 0;  // -1 up, 1 down, 0 not flicked
    // The step this stick position gives (-1 up, 1 down, 0 none).
    int update(int ax, int ay);
};

}  // namespace yv::pad
