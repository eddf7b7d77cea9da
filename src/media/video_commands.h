// The movie commands: playavi (frames while the script goes on) and playmciavi (the script waits).
#pragma once

#include <cstdint>

#include "lang/args.h"

namespace yv {

struct Runtime;

int32_t cmdPlayavi(Runtime& rt, const Args& args);
int32_t cmdPlaymciavi(Runtime& rt, const Args& args);

}  // namespace yv
