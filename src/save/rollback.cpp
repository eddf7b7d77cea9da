// Page moves: which kept page a Backspace reaches, and loading it.
#include "save/rollback.h"

#include <algorithm>
#include <array>

#include "runtime.h"
#include "save/save_game.h"
#include "ui/menus.h"

namespace yv::save {
namespace {

// The player is on the page shown: at its click wait, or moved to it and not yet past it. From
// within a later page the first step back returns to the start of the page just left.
bool onShownPage(const Runtime& rt) {
    return rt.save.pages.movePending() || rt.text.rs.clickWait || rt.interp.clickWaitMode != 0;
}

void showPage(Runtime& rt, size_t i) {
    Interp& in = rt.interp;
    // system.dat's variables outlive the game, and so a page move too.
    constexpr size_t first = kSystemVarFirst, last = kSystemVarLast;
    std::array<int32_t, last - first + 1> kept{};
    std::copy(in.ivar.begin() + first, in.ivar.begin() + last + 1, kept.begin());
    const std::optional<Bytes> file = rt.save.pages.moveTo(i);
    if (!file) return;
    // A load leaves the variables above those as they are where the file has none; a page's
    // state is all of its own.
    std::fill(in.ivar.begin() + last + 1, in.ivar.end(), 0);
    const int32_t wasSuspended = in.suspended.exchange(1);
    resetAndRestore(rt, *file);
    std::copy(kept.begin(), kept.end(), in.ivar.begin() + first);
    // Between steps: the next step starts where the page's state put the read position.
    rt.save.justLoaded = 0;
    // A click made before the move was meant for the page left, not for this one.
    in.leftClick = 0;
    in.suspended = wasSuspended;
}

}  // namespace

void servePageMoves(Runtime& rt) {
    const int32_t moves = rt.app.pageMoves.exchange(0);
    if (moves == 0) return;
    // A select block being collected is left alone until its choices are on offer.
    if (rt.choices.collecting) {
        rt.app.pageMoves += moves;
        return;
    }
    Pages& pages = rt.save.pages;
    const auto shown = static_cast<int64_t>(pages.shown());
    const auto last = static_cast<int64_t>(pages.count()) - 1;
    if (moves > 0) {
        // Forward beyond the newest kept page is a click: the game runs on as usual.
        if (shown >= last) {
            rt.interp.leftClick = 1;
            return;
        }
        showPage(rt, static_cast<size_t>(std::min(shown + moves, last)));
        return;
    }
    if (last < 0) return;
    const int64_t from = onShownPage(rt) ? shown - 1 : shown;
    if (from < 0) return;
    showPage(rt, static_cast<size_t>(std::max<int64_t>(from + 1 + moves, 0)));
}

void offerGoingBack(Runtime& rt) {
    const Pages& pages = rt.save.pages;
    const bool can = pages.count() != 0 && (pages.shown() > 0 || !onShownPage(rt));
    if (can == rt.save.backOffered) return;
    rt.save.backOffered = can;
    rt.app.menus.setGreyed(MenuWhich::Bar, ui::menuid::kGoBack, !can);
}

}  // namespace yv::save
