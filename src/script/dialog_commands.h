// The message box and text-entry box commands, starting other programs, and the text helpers
// of the boxes.
#pragma once

#include <cstdint>

#include "core/bytes.h"

namespace yv {

struct Runtime;
struct Args;

int32_t cmdExec(Runtime& rt, const Args& args);
int32_t cmdMessagebox(Runtime& rt, const Args& args);
int32_t cmdInputbox(Runtime& rt, const Args& args);
int32_t cmdInputbox2(Runtime& rt, const Args& args);

namespace script {
// The message box escapes (\n, \t, \\ ...), applied one after the other in their fixed order.
Bytes applyMessageEscapes(BytesView text);
// True when every second byte, from the first on, is a lead byte (full-width text only).
bool onlyDoubleByte(BytesView entry);
}  // namespace script

}  // namespace yv
