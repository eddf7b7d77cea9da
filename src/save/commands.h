// Temporary-save and system-save commands.
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;
struct Args;

int32_t cmdSavetmp(Runtime& rt, const Args& args);
int32_t cmdNonesavetmp(Runtime& rt, const Args& args);
int32_t cmdClrsavetmp(Runtime& rt, const Args& args);
int32_t cmdClrsavetmpex(Runtime& rt, const Args& args);
int32_t cmdSystemsave(Runtime& rt, const Args& args);
int32_t cmdSystemload(Runtime& rt, const Args& args);

}  // namespace yv
