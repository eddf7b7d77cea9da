// Jumps and subroutine calls: what goto, gosub and return do, for the script's own statements
// and for the other subsystems that jump (choices, mouse traps, commands inside message text).
#pragma once

#include <cstdint>

#include "core/bytes.h"
#include "lang/interp.h"

namespace yv {

struct Runtime;

namespace script {

// goto: makes `file` the current script name whatever the outcome, records the jump, and moves
// to the label in that file (";" = the text already loaded), whose text then replaces the
// script text. A label starting with ';' is not looked for. The label's position, or 0.
int32_t jump(Runtime& rt, const Bytes& label, const Bytes& file);

// gosub: pushes the return point and moves to the label. `file` empty means the current script,
// a file starting with ';' the text already loaded. Mode 1 returns onto the current statement;
// every other mode returns to `returnPos`, or after the current statement when it is the end
// marker (not given). Records the call when it is made. The label's position, or 0 when the
// label is not found or the stack is full.
int32_t call(Runtime& rt, const Bytes& label, const Bytes& file, int32_t mode, int32_t returnPos = kEndMarker);

// return: back to the latest call's return point, when its file can be read. 1 in any case.
int32_t returnFromCall(Runtime& rt);

}  // namespace script
}  // namespace yv
