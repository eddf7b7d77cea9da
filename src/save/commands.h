// Temporary-save and system-save commands.
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;

int32_t cmdSavetmp(Runtime& rt);
int32_t cmdNonesavetmp(Runtime& rt);
int32_t cmdClrsavetmp(Runtime& rt);
int32_t cmdClrsavetmpex(Runtime& rt);
int32_t cmdSystemsave(Runtime& rt);
int32_t cmdSystemload(Runtime& rt);

}  // namespace yv
