// The image screen commands and the image loader.
#pragma once

#include <cstdint>

#include "core/bytes.h"

namespace yv {

struct Runtime;
struct Args;

int32_t cmdLoadimage(Runtime& rt, const Args& args);
int32_t cmdCreateimage(Runtime& rt, const Args& args);
int32_t cmdReleaseimage(Runtime& rt, const Args& args);
// The image loader (also used when a saved game is loaded): 1 loaded (always 1 for a PNG), 0 not.
int32_t loadImageFile(Runtime& rt, BytesView name, int32_t n, int32_t mask);

}  // namespace yv
