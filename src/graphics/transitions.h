// The transition commands; the step advances the running transitions (graphics/screens.h).
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;
struct Args;

int32_t cmdFade(Runtime& rt, const Args& args);
int32_t cmdTransfade(Runtime& rt, const Args& args);
int32_t cmdMosaicfade(Runtime& rt, const Args& args);
int32_t cmdWipe(Runtime& rt, const Args& args);
int32_t cmdEffect(Runtime& rt, const Args& args);

}  // namespace yv
