// The load that startload requests, carried out at the end of a step.
#include "runtime.h"
#include "save/save_folder.h"
#include "save/save_game.h"

namespace yv::save {

bool performRequestedLoad(Runtime& rt) {
    const Bytes name = rt.save.loadFile;
    const bool ok = loadGame(rt, ownSavePath(rt, name), name);
    rt.save.justLoaded = 0;  // the step ends here: the next one starts at the loaded position
    return ok;
}

}  // namespace yv::save
