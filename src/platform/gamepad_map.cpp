// Gamepad buttons to the game's input, and the left stick to pointer speed and choice steps.
#include "platform/gamepad_map.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace yv::pad {

std::optional<InputEvent> buttonEvent(int button, bool down, int x, int y) {
    switch (button) {
    case kA: return InputEvent::keyEvent(kKeyEnter, down);
    case kB: return InputEvent::mouseButton(2, down, x, y);
    case kDpadUp: return InputEvent::keyEvent(kKeyUp, down);
    case kDpadDown: return InputEvent::keyEvent(kKeyDown, down);
    case kStart: return InputEvent::keyEvent(kKeySpace, down);
    // The wheel's way to the history honours a game that greyed the menu entry.
    case kBack: return down ? std::optional<InputEvent>(InputEvent::wheel(1)) : std::nullopt;
    case kShoulderL: return InputEvent::keyEvent(kKeyBackspace, down);
    case kShoulderR: return InputEvent::keyEvent(kKeyCtrl, down);
    case kY: return InputEvent::keyEvent(kKeyA, down);
    default: return std::nullopt;
    }
}

namespace {
double unit(int a) { return std::clamp(a / double(kAxisMax), -1.0, 1.0); }
}  // namespace

bool stickActive(int ax, int ay) { return std::hypot(unit(ax), unit(ay)) > kDeadZone; }

void stickVelocity(int ax, int ay, double& vx, double& vy) {
    vx = vy = 0;
    const double x = unit(ax), y = unit(ay), r = std::hypot(x, y);
    if (r <= kDeadZone) return;
    // Speed starts from nothing at the dead zone's edge: no jump as the stick leaves it.
    const double push = std::min(1.0, (r - kDeadZone) / (1 - kDeadZone));
    const double speed = kTopSpeed * push * push;
    vx = speed * x / r;
    vy = speed * y / r;
}

int Flick::update(int ax, int ay) {
    const double x = unit(ax), y = unit(ay);
    if (held != 0) {
        if (std::abs(y) < 0.5) held = 0;
        return 0;
    }
    // Mostly vertical, and nearly all the way: a sideways aim does not step.
    if (std::abs(y) < 0.9 || std::abs(y) < 2 * std::abs(x)) return 0;
    held = y < 0 ? -1 : 1;
    return held;
}

}  // namespace yv::pad
