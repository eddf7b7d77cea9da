// The message text renderer: printing pages unit by unit into the text overlay.
#pragma once

#include <cstdint>

#include "core/bytes.h"
#include "text/text_state.h"

namespace yv {

struct Runtime;
class FontEngine;

namespace text {
// Prints the next part of the page; true once the page is complete.
bool advancePrinting(Runtime& rt);
// A return finished the subroutine at this call depth: printing suspended by an inline
// subroutine call made there resumes.
void onReturn(Runtime& rt, int32_t depth);

// One call of the renderer; item -1 resets the render state. 1 when the message ended or no
// text display is active, 0 while it is still being shown.
int32_t render(Runtime& rt, int32_t item, BytesView text, int32_t x, int32_t y, int32_t type,
               Rgb colour);

// The font engine for the current font record (created on first use).
FontEngine& font(Runtime& rt);

// Clears the whole text overlay (image black, mask white), creating it when absent.
void clearOverlay(Runtime& rt);
// Creates the overlay (cleared) when it does not exist yet.
void ensureOverlay(Runtime& rt);
}  // namespace text

}  // namespace yv
