// Message printing (placeholder until the renderer exists: a page is always complete).
#include "runtime.h"

namespace yv::text {

bool advancePrinting(Runtime& rt) {
    rt.text.printing = false;
    return true;
}

void onReturn(Runtime&, int32_t) {}

}  // namespace yv::text
