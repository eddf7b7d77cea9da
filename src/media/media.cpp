// Sound hooks (placeholders until the players exist).
#include "runtime.h"

namespace yv::media {

bool advanceVolumeFade(Runtime&) { return false; }
bool cdDriveReady(Runtime&) { return true; }

}  // namespace yv::media
