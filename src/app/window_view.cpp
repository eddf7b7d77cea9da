// The window thread's view of a running game.
#include "app/window_view.h"

#include "app/menu_logic.h"
#include "runtime.h"
#include "save/quick_save.h"

namespace yv::app {

WindowView windowView(Runtime& rt) {
    return WindowView{
        .app = rt.app,
        .config = rt.config,
        .platform = rt.platform,
        .clock = rt.clock(),
        .leftClick = rt.interp.leftClick,
        .rightClick = rt.interp.rightClick,
        .movie = rt.media.movie,
        .gameDir = rt.gameDir,
        .refreshSlots = [&rt](MenuWhich which) { refreshSlots(rt, which); },
        .requestQuick = [&rt](bool load) { save::requestQuick(rt, load ? save::Quick::Load : save::Quick::Save); },
    };
}

}  // namespace yv::app
