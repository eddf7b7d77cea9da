// Choice blocks, click areas and mouse traps as the interpreter step sees them.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/bytes.h"
#include "text/choice_list.h"
#include "text/text_state.h"

namespace yv {

struct Runtime;

struct Choices {
    bool collecting = false;  // a select block is being collected
    bool ready = false;       // choices are offered

    // The list on offer.
    Bytes list;                        // the record text (as posted)
    std::vector<ChoiceRecord> records;
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
    int32_t trapButton = 0;            // 0 disarmed, 1 left, 2 right
    bool trapGoto = false;
    Bytes trapLabel, trapFile;
    int32_t trapDepth = -1;            // a trap's subroutine runs above this call depth

    // Keyboard: the window thread counts Up (-1) and Down (+1); the choice phase takes them.
    std::atomic<int32_t> navSteps{0};
    bool keyboardMoved = false;
    int32_t pointerBeforeX = 0, pointerBeforeY = 0;
    uint32_t lastEnterMs = 0;          // window thread only
    bool enterSeen = false;

    // What the menus read: a block is active, choices are on the screen.
    std::atomic<int32_t> blockActive{0};
    std::atomic<int32_t> listShown{0};
    // Centre of the highlighted area (-1 when none), for automatic clicks from another thread.
    std::atomic<int32_t> hotX{-1}, hotY{-1};
    // The menu lock (states 0..4 of the menus); connected by the application shell.
    std::function<void(int32_t)> menuLock;
};

namespace choices {
// Called at each statement slot while a block is collected: tracks its braces.
void collectAt(Runtime& rt);
void runChoicePhase(Runtime& rt);
void checkTraps(Runtime& rt);
// A return finished the subroutine at this call depth (a trap's subroutine may fire again).
void onReturn(Runtime& rt, int32_t depth);

// The full reset: nothing offered, no block, no trap, default colour.
void reset(Runtime& rt);
// Offers a list (click-area commands); false when it holds no area.
bool post(Runtime& rt, BytesView list, bool useGoto, bool imageMode);
// Enter, Ctrl, Up and Down (window thread); keys are the platform's GameKey codes.
void onKey(Runtime& rt, int key, bool down);
// The centre of the highlighted area, when choices are on offer (headless automatic clicks).
bool highlightedCentre(const Runtime& rt, int32_t& x, int32_t& y);
}  // namespace choices

}  // namespace yv
