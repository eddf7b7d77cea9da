// Replaying records: each record rebuilds the argument text of the command it stands for and
// runs that command's handler, or sets the state it describes directly.
#pragma once

#include <cstdint>

#include "core/bytes.h"

namespace yv {

struct Runtime;

namespace save {

// Runs a command by name with an argument text, exactly as a script statement would.
int32_t runCommandText(Runtime& rt, BytesView name, BytesView argText);

// Replays every record of the text until one cannot be read; returns how many were replayed.
int replayRecords(Runtime& rt, Bytes text);

}  // namespace save
}  // namespace yv
