// The table of pixel loops every caller goes through, chosen once at start-up: the fast loops,
// or their plain twins to run a whole game on them (YORVANE_REFERENCE_PIXELS=1).
#include <atomic>
#include <cstring>

#include "pixels/pixel_ops.h"

namespace yv::pixels {

#define YV_LOOP_TABLE(ns)                                                                             \
    Loops{&ns::copyRect, &ns::alphaRect, &ns::stepToward, &ns::fadeDown, &ns::fadeUp, &ns::fill,    \
          &ns::greyTone, &ns::tint,      &ns::mosaic,     &ns::maskedBlit, &ns::compose, &ns::drawCoverage}
const Loops kFastLoops = YV_LOOP_TABLE(fast);
const Loops kReferenceLoops = YV_LOOP_TABLE(ref);
#undef YV_LOOP_TABLE

namespace {

// Like the processor's features it stands for how this process runs, so it is chosen once for
// the process rather than held by a runtime.
std::atomic<const Loops*>& chosen() {
    static std::atomic<const Loops*> table{&kFastLoops};
    return table;
}

}  // namespace

const Loops& loops() { return *chosen().load(std::memory_order_relaxed); }

void useReferenceLoops(bool on) { chosen().store(on ? &kReferenceLoops : &kFastLoops, std::memory_order_relaxed); }

bool referenceRequested(const char* value) { return value && *value && std::strcmp(value, "0") != 0; }

}  // namespace yv::pixels
