// The pieces of the step that its fast forms share with it: reading a command statement, where
// the reader goes on after one, the walk over the bytes between statements, the yield.
#pragma once

#include <cstdint>

#include "core/bytes.h"
#include "lang/interp.h"
#include "lang/statement_cache.h"

namespace yv {

struct Runtime;

namespace script {

// Reads the command statement whose '#' is at p: its row, and where its argument text lies.
void readCommand(BytesView t, int32_t p, DecodedStatement& d);

// Where the reader goes on after a command statement, from the position the command left.
int32_t afterCommand(BytesView u, int32_t pos);

// Moves the reader to the end of the command statement at p, in the text current now; returns
// the exit it took when that exit is kept in its entry (`stays`: the text and the entry are still
// the statement's).
inline StatementExit* commandExit(Interp& in, DecodedStatement& d, int32_t p, bool stays) {
    if (!stays) {
        in.pos = afterCommand(in.text(), in.pos);
        return nullptr;
    }
    // The walk to the statement's end depends on the text and where it starts alone: the same
    // start in the same text ends where it ended last time.
    const BytesView t = in.text();
    if (in.pos == p + 1) {
        // Nothing moved the reader.
        if (d.normal.end < 0) d.normal.end = afterCommand(t, in.pos);
        in.pos = d.normal.end;
        return &d.normal;
    }
    if (d.movedTo != in.pos) {
        d.movedTo = in.pos;
        d.moved = StatementExit{};
        d.moved.end = afterCommand(t, in.pos);
    }
    in.pos = d.moved.end;
    return &d.moved;
}

// An integer assignment read and run before: its right side replays without the scanner.
inline bool learntAssignment(const DecodedStatement& d) {
    return d.kind == DecodedStatement::kIntAssign && d.rhsKnown && d.rhs.fits &&
           d.assign.kind != IntAssignForm::kPending;
}

// How many passes the step makes over the bytes from `from` that start no statement (blanks,
// line ends, labels, comments), and where the next statement (or the end of the text) lies.
void measureSkip(BytesView t, int32_t from, int32_t& to, int32_t& passes);

// A fade of the volume advances once per statement slot (each slot then costs 150 ms): true
// while it went on.
bool volumeFadeSlot(Runtime& rt);

// Yield: the common exit of the waits. A click that nothing waited for is forgotten here.
void yieldStep(Runtime& rt);

}  // namespace script
}  // namespace yv
