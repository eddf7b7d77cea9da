// Control flow and conversion commands: if, goto, gosub, return, end, breakapp, wait, loop,
// int, cstring.
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;
struct Args;

int32_t cmdIf(Runtime& rt, const Args& args);
int32_t cmdGoto(Runtime& rt, const Args& args);
int32_t cmdGosub(Runtime& rt, const Args& args);
int32_t cmdReturn(Runtime& rt, const Args& args);
int32_t cmdEnd(Runtime& rt, const Args& args);
int32_t cmdBreakapp(Runtime& rt, const Args& args);
int32_t cmdWait(Runtime& rt, const Args& args);
int32_t cmdLoop(Runtime& rt, const Args& args);
int32_t cmdInt(Runtime& rt, const Args& args);
int32_t cmdCstring(Runtime& rt, const Args& args);

}  // namespace yv
