// Commands of the clock, random numbers, strings and variable filling.
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;
struct Args;

int32_t cmdGetyear(Runtime& rt, const Args& args);
int32_t cmdGetmonth(Runtime& rt, const Args& args);
int32_t cmdGetday(Runtime& rt, const Args& args);
int32_t cmdGethour(Runtime& rt, const Args& args);
int32_t cmdGetminute(Runtime& rt, const Args& args);
int32_t cmdGetsecond(Runtime& rt, const Args& args);
int32_t cmdGetrand(Runtime& rt, const Args& args);
int32_t cmdGetstrlen(Runtime& rt, const Args& args);
int32_t cmdMemcmp(Runtime& rt, const Args& args);
int32_t cmdMemoryset(Runtime& rt, const Args& args);
int32_t cmdZeromemory(Runtime& rt, const Args& args);

}  // namespace yv
