// Choice handling (placeholder until choices exist).
#include "runtime.h"

namespace yv::choices {

void collectAt(Runtime& rt) { rt.choices.collecting = false; }
void runChoicePhase(Runtime& rt) { rt.choices.ready = false; }
void checkTraps(Runtime&) {}

void onReturn(Runtime&, int32_t) {}

}  // namespace yv::choices
