// Mouse and keys turned into the game's state: the click flags, the pop-up menu, skipping and
// choice navigation. Both platforms' window loops hand their input here (window thread).
#pragma once

#include "platform/platform.h"

namespace yv {

struct Runtime;

namespace app {

// The window thread reaches the game only through the view.
struct WindowView;
void applyInput(WindowView& v, const InputEvent& e);

// Where a headless automatic click lands: on the highlighted choice while choices are offered
// (true: the pointer moves there first), else at the pointer. Interpreter thread.
bool autoClickTarget(Runtime& rt, int& x, int& y);

}  // namespace app
}  // namespace yv
