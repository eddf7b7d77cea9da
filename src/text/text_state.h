// Message text state the interpreter step consults.
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;

struct TextState {
    bool printing = false;    // a text page is being printed
    bool textBuffer = false;  // textBuffer: drawing commands lay the overlay over screen 0
};

namespace text {
// Prints the next part of the page; true once the page is complete.
bool advancePrinting(Runtime& rt);
// A return finished the subroutine at this call depth: printing suspended by an inline
// subroutine call made there resumes.
void onReturn(Runtime& rt, int32_t depth);
}  // namespace text

}  // namespace yv
