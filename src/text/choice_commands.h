// Commands of choices, click areas, click waits and mouse traps.
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;
struct Args;

int32_t cmdSelect(Runtime& rt, const Args& args);
int32_t cmdSelectex(Runtime& rt, const Args& args);
int32_t cmdSelectcolor(Runtime& rt, const Args& args);
int32_t cmdMouseclickevent(Runtime& rt, const Args& args);
int32_t cmdMouseclickeventex(Runtime& rt, const Args& args);
int32_t cmdMouseimageclickevent(Runtime& rt, const Args& args);
int32_t cmdMouseimageclickeventex(Runtime& rt, const Args& args);
int32_t cmdMouseclickwait(Runtime& rt, const Args& args);
int32_t cmdTrapmouse(Runtime& rt, const Args& args);
int32_t cmdTrapmouseoff(Runtime& rt, const Args& args);

}  // namespace yv
