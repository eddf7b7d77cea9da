// Control flow and conversion commands: if, goto, gosub, return, end, breakapp, wait, loop,
// int, cstring.
#pragma once

#include <cstdint>

#include "core/bytes.h"

namespace yv {

struct Runtime;

int32_t cmdIf(Runtime& rt);
int32_t cmdGoto(Runtime& rt);
int32_t cmdGosub(Runtime& rt);
int32_t cmdReturn(Runtime& rt);
int32_t cmdEnd(Runtime& rt);
int32_t cmdBreakapp(Runtime& rt);
int32_t cmdWait(Runtime& rt);
int32_t cmdLoop(Runtime& rt);
int32_t cmdInt(Runtime& rt);
int32_t cmdCstring(Runtime& rt);

// Jumps shared with the inline commands of message text and with mouse traps.
// goto: returns the label's position or 0.
int32_t jumpGoto(Runtime& rt, const Bytes& label, const Bytes& file);

}  // namespace yv
