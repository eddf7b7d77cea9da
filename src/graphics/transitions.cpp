// Transition increments (placeholders until the transitions exist: nothing ever runs).
#include "graphics/screens.h"
#include "runtime.h"

namespace yv::graphics {

void drawEffectFrame(Runtime& rt) { rt.screens.effectOn = false; }
bool advanceFade(Runtime&) { return true; }
bool advanceWipe(Runtime&) { return true; }
bool advanceTransfade(Runtime&) { return true; }
bool advanceMosaicfade(Runtime&) { return true; }

}  // namespace yv::graphics
