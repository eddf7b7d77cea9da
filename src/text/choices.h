// Choice blocks, click areas and mouse traps as the interpreter step sees them.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "core/bytes.h"
#include "core/in_progress.h"
#include "text/choice_list.h"
#include "text/text_state.h"

namespace yv {

struct Runtime;

constexpr bool trapArmed(int32_t button) { return button == 1 || button == 2; }

struct Choices {
    explicit Choices(InProgress& p) : collecting(p), ready(p), trapButton(p) {}

    ProgressFlag<bool, InProgress::kCollecting> collecting;  // a select block is being collected
    ProgressFlag<bool, InProgress::kChoices> ready;          // choices are offered

    // The list on offer.
    Bytes list;                        // the record text (as posted)
    std::vector<ChoiceRecord> records;
    std::vector<Bytes> texts;          // a select block's: each record's line as drawn (CP932)
    bool useGoto = false;              // selectex and the commands ending in ex
    bool imageMode = false;            // the image commands
    bool inBlock = false;              // the list came from a select block
    bool firstPassDone = false;
    bool highlighted = false;          // an area is highlighted
    TextRect lastArea;                 // the area highlighted last (inclusive)

    // The select block being collected.
    int32_t blockPos = 0, blockLine = 0;
    int32_t blockLevel = 0;
    int32_t lastBracePos = -1;         // a brace is counted once even when the step comes back
    const void* lastBraceScript = nullptr;
    int32_t savedTextType = -1, savedContinue = 0;
    Rgb colour{0, 0, 20};              // selectcolor

    // Mouse trap.
    ProgressFlag<int32_t, InProgress::kTrap, &trapArmed> trapButton;  // 0 disarmed, 1 left, 2 right
    bool trapGoto = false;
    Bytes trapLabel, trapFile;
    int32_t trapDepth = -1;            // a trap's subroutine runs above this call depth

    // The keyboard moved the pointer (Up and Down); where it was before.
    bool keyboardMoved = false;
    int32_t pointerBeforeX = 0, pointerBeforeY = 0;

    // Centre of the highlighted area (-1 when none), for automatic clicks from another thread.
    std::atomic<int32_t> hotX{-1}, hotY{-1};

    // Choices taken since the start (quick load asks first after one; see save::progress).
    uint32_t taken = 0;
};

namespace text::choices {
// Called at each statement slot while a block is collected: tracks its braces.
void collectAt(Runtime& rt);
void runChoicePhase(Runtime& rt);
void checkTraps(Runtime& rt);
// A return finished the subroutine at this call depth (a trap's subroutine may fire again; an
// armed trap is looked at on every pass anyway, so this sets nothing going).
void onReturn(Runtime& rt, int32_t depth);

// The full reset: nothing offered, no block, no trap, default colour.
void reset(Runtime& rt);
// Offers a list (click-area commands); false when it holds no area.
bool post(Runtime& rt, BytesView list, bool useGoto, bool imageMode);
// The centre of the highlighted area, when choices are on offer (headless automatic clicks).
bool highlightedCentre(const Runtime& rt, int32_t& x, int32_t& y);
}  // namespace text::choices

}  // namespace yv
