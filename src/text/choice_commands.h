// Commands of choices, click areas, click waits and mouse traps.
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;

int32_t cmdSelect(Runtime& rt);
int32_t cmdSelectex(Runtime& rt);
int32_t cmdSelectcolor(Runtime& rt);
int32_t cmdMouseclickevent(Runtime& rt);
int32_t cmdMouseclickeventex(Runtime& rt);
int32_t cmdMouseimageclickevent(Runtime& rt);
int32_t cmdMouseimageclickeventex(Runtime& rt);
int32_t cmdMouseclickwait(Runtime& rt);
int32_t cmdTrapmouse(Runtime& rt);
int32_t cmdTrapmouseoff(Runtime& rt);

}  // namespace yv
