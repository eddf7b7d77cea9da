// Loading a saved game (placeholder until save files exist: a requested load fails).
#include "runtime.h"

namespace yv::save {

bool performRequestedLoad(Runtime&) { return false; }

}  // namespace yv::save
