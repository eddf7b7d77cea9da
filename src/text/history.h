// The message history: finished messages of item 1 with their labels, and the dialog's lines.
#pragma once

#include <vector>

#include "core/bytes.h"
#include "text/text_state.h"

namespace yv::text::history {

// At the end of a message: item 1 stores its label and text (while recording), any other item's
// text becomes the label of the next item-1 message. The history text is emptied.
void finishMessage(TextState& t, int32_t item);

// The list the history dialog shows: oldest first, at most 41 lines, each at most 96 bytes.
std::vector<Bytes> dialogLines(const History& h);

// The same rows with a message's rows cut at 96 bytes joined again, for a dialog that wraps
// lines to its own width (a cut falls in the middle of a word); line feeds still start rows.
std::vector<Bytes> joinedLines(const History& h);

// Opens the history dialog (window thread; the platform waits until it is closed).
void show(Runtime& rt);

}  // namespace yv::text::history
