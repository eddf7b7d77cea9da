// --warnings: the checker's findings said on stderr when the running game meets them, once per
// place, and kept for the debug window. Absent (a null pointer in the Runtime) when off.
#pragma once

#include <deque>
#include <set>
#include <string>
#include <tuple>

#include "core/bytes.h"
#include "core/mutex.h"

namespace yv {

struct Runtime;

struct PlayWarnings {
    Mutex mutex;
    std::set<std::tuple<Bytes, int32_t, std::string>> said YV_GUARDED_BY(mutex);  // script, offset, code
    std::deque<std::string> recent YV_GUARDED_BY(mutex);  // the last lines, for the debug window
    static constexpr size_t kRecent = 200;
};

struct CommandRow;

// Says a finding at byte `at` of the script text (-1: the command statement being run). Called
// only where rt.warnings is set, on the interpreter thread.
void warnAt(Runtime& rt, const char* code, std::string text, int32_t at = -1);

// The ways the runtime meets a finding, each called only while warnings are on.
void warnUnknownCommand(Runtime& rt, BytesView name);
// After a command ran: a file it names that is not there.
void warnAfterCommand(Runtime& rt, const CommandRow& row, BytesView argText);
// A jump whose label was not found; `file` as the jump used it (";" the loaded text).
void warnJumpMissed(Runtime& rt, BytesView label, BytesView file);
// An assignment at p read for the first time: a command on its line that the reader passes over.
void warnAssignmentSkips(Runtime& rt, BytesView text, int32_t p);

}  // namespace yv
