// The statement reader, the step with its wait conditions in order, and the interpreter thread.
#pragma once

#include <cstdint>

#include "core/bytes.h"
#include "lang/script_source.h"

namespace yv {

struct Runtime;

namespace script {

// Reads a script file through the resource reader; nullptr when it cannot be read. An unchanged
// file gives back the same source (and so keeps its label index).
ScriptPtr loadScript(Runtime& rt, BytesView name);

// The source loadScript would give for that name when it is known to be current without asking
// the file system (the script read or checked last, the game having written no file since and
// too little time having passed for another program to edit it); nullptr otherwise.
const ScriptPtr* freshScript(Runtime& rt, BytesView name);

// One step: advances whatever is in progress, then runs statements until one has to wait.
void step(Runtime& rt);

// The interpreter thread's procedure: steps with pacing while the running flag is set.
void threadLoop(Runtime& rt);

// Asks a running threadLoop to end and waits until it has left its loop.
void stop(Runtime& rt);

// Stops the interpreter as `end` does, without its message (running past the script's end).
void stopAtEndOfText(Runtime& rt);

}  // namespace script
}  // namespace yv
