// Choice blocks, click areas and mouse traps as the interpreter step sees them.
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;

struct Choices {
    bool collecting = false;  // a select block is being collected
    bool ready = false;       // choices are offered
};

namespace choices {
// Called at each statement slot while a block is collected: tracks its braces.
void collectAt(Runtime& rt);
void runChoicePhase(Runtime& rt);
void checkTraps(Runtime& rt);
// A return finished the subroutine at this call depth (a trap's subroutine may fire again).
void onReturn(Runtime& rt, int32_t depth);
}  // namespace choices

}  // namespace yv
