// What a step does besides running statements: it advances whatever is in progress and serves
// the saves and loads the menus ask for. That work reaches every subsystem (choices, text,
// screens, sound, saves), so it lives beside the composition root and the step loop calls it.
#pragma once

namespace yv {

struct Runtime;

namespace step {

// The part of a pass that advances what is in progress (a volume fade, an effect, choices,
// printing, fades, a wait, a click wait), in the order the original's pass took them; false when
// the step ends here.
bool busyPass(Runtime& rt);

// The load that `load`, startload or a menu asked for, carried out where a step yields.
void serveRequestedLoad(Runtime& rt);

// Slot saves and loads picked in the menus: whether one waits (a halted interpreter wakes for
// it).
bool slotRequested(Runtime& rt);
// What runs between two steps: the menus' slot saves and loads, and keeping the state of a
// page whose click wait began in the last step.
void betweenSteps(Runtime& rt);

}  // namespace step
}  // namespace yv
