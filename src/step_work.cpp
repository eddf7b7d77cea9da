// The work of a step besides its statements: what is in progress, and the menus' and keys'
// saves and loads.
#include "step_work.h"

#include "app/fast_forward.h"
#include "core/cp932.h"
#include "graphics/transitions.h"
#include "media/media.h"
#include "runtime.h"
#include "save/pages.h"
#include "save/quick_save.h"
#include "save/rollback.h"
#include "save/save_game.h"
#include "save/slots.h"
#include "script/step_parts.h"
#include "text/renderer.h"

namespace yv::step {
namespace {

// Whether the wait of wait/waitex has passed (its first look only starts it).
[[gnu::always_inline]] inline bool waitPassed(Runtime& rt) {
    WaitGate& g = rt.interp.wait;
    const uint32_t now = rt.clock().nowMs();
    if (!g.started) {
        g.started = true;
        g.lastCheck = now;
        return false;
    }
    if (now - g.lastCheck > static_cast<uint32_t>(g.waitMs)) {
        g.lastElapse = now;
        return true;
    }
    return false;
}

}  // namespace

// The part of a pass that advances what is in progress (a volume fade, an effect, choices,
// printing, fades, a wait, a click wait); false when the step ends here.
bool busyPass(Runtime& rt) {
    using namespace script;
    Interp& in = rt.interp;
    auto yielded = [&] {
        yieldStep(rt);
        return false;
    };
    if (rt.media.volumeFading) volumeFadeSlot(rt);
    if (rt.screens.effectOn) graphics::drawEffectFrame(rt);
    if (rt.choices.collecting) text::choices::collectAt(rt);
    if (rt.choices.ready) {
        text::choices::runChoicePhase(rt);
        return yielded();
    }
    if (rt.choices.trapButton == 1 || rt.choices.trapButton == 2) text::choices::checkTraps(rt);
    if (rt.text.printing && !text::advancePrinting(rt)) return yielded();
    if (rt.screens.fadeOn) {
        if (!graphics::advanceFade(rt)) return yielded();
        rt.screens.fadeOn = false;
    }
    if (rt.screens.wipeOn) {
        if (!graphics::advanceWipe(rt)) return yielded();
        rt.screens.wipeOn = false;
    }
    if (rt.screens.transfadeOn) {
        if (!graphics::advanceTransfade(rt)) return yielded();
        rt.screens.transfadeOn = false;
    }
    if (rt.screens.mosaicfadeOn) {
        if (graphics::advanceMosaicfade(rt)) rt.screens.mosaicfadeOn = false;
        return yielded();
    }
    if (in.wait.waitMs != 0) {
        if (!waitPassed(rt)) return yielded();
        in.wait.waitMs = 0;
        in.wait.reset();
    }
    if (rt.text.printing) return false;
    if (const int32_t mode = in.clickWaitMode; mode != 0) {
        const bool clicked = mode == 1 ? in.leftClick != 0 : mode == 2 ? in.rightClick != 0 : false;
        if (!clicked) return yielded();
        in.clickWaitMode = 0;
        ++rt.text.pageWaitsPassed;
    } else if (in.inProgress.has(InProgress::kClickWait)) {
        // A close cleared it as a store here set its bit again (see InProgress).
        in.clickWaitMode = 0;
    }
    return true;
}

void serveRequestedLoad(Runtime& rt) {
    if (!save::performRequestedLoad(rt))
        save::sayNotASave(rt);
    rt.save.loadRequested = 0;
    rt.save.loadFile.clear();
}

bool slotRequested(Runtime& rt) { return save::slotRequested(rt) || save::quickRequested(rt); }
void betweenSteps(Runtime& rt) {
    save::serveSlotRequests(rt);
    save::serveQuickRequest(rt);
    if (rt.text.pageWaits != rt.save.pagesSeen) {
        rt.save.pagesSeen = rt.text.pageWaits;
        save::notePage(rt);
    }
    app::stopFastModeWhereThePlayerActs(rt);
    save::keepReadTextWhenDue(rt);
    if (rt.app.pageMoves.load(std::memory_order_relaxed) != 0) save::servePageMoves(rt);
    save::offerGoingBack(rt);
}

}  // namespace yv::step
