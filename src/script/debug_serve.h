// The interpreter's side of the debug windows: copies of the variables and small pictures of the
// screens made at statement boundaries, the statement trace, and holding at a pause.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "lang/script_source.h"

namespace yv {

struct Runtime;

namespace script {

// What a traced statement looked like before it ran.
struct StatementMark {
    ScriptPtr script;
    int32_t start = -1;
    Bytes file;
    size_t changesBefore = 0;
};

// Before a statement (only while the debug tap is active): answers the windows' requests,
// and false when a pause holds the interpreter here (the step then returns).
bool debugBeforeStatement(Runtime& rt, StatementMark& mark);
// After the statement marked: its trace line, when the watch mode wants one.
void debugAfterStatement(Runtime& rt, const StatementMark& mark);
// After a step, at the clock's time nowMs: answers the windows' requests, and copies the
// variables on its own when they have changed and a frame's time has passed.
void debugAfterStep(Runtime& rt, double nowMs);
// Answers the windows' requests (between steps and while the interpreter waits).
void debugServe(Runtime& rt);
// True when the windows have asked for copies.
bool debugWantsAttention(Runtime& rt);

// Parts shown by the watch mode, also used by tests: the 1-based line of a position, the
// statement starting at a position (UTF-8), and the variables a statement names with values.
int32_t lineOf(BytesView text, int32_t pos);
std::string statementText(BytesView text, int32_t start);
std::string namedVariables(Runtime& rt, BytesView statement, const std::vector<int32_t>& written);

}  // namespace script
}  // namespace yv
