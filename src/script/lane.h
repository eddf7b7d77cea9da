// The step's fast forms: a loop's control flow and learnt integer assignments, run from their
// kept forms past the general command path. The step runs them in its one loop, with the same
// start and end of a pass as every other statement.
#pragma once

#include "lang/args.h"
#include "lang/int_arith.h"
#include "runtime.h"
#include "script/control_commands.h"
#include "script/jump_paths.h"
#include "script/step_parts.h"

namespace yv::script {

// Runs a loop's control-flow command read before, whose kept arguments apply, by a direct call
// of what its handler does, past the general command path. Those handlers read neither the
// command's name nor its argument text and load no game, and nothing waits for their result (the
// step sees to that). Their jumps trust the statement's entry and reuse the time read by a jump
// before (the step has them read it afresh after anything that may have taken long). Returns the
// exit it took when kept, as runCommand.
[[gnu::always_inline]] inline StatementExit* runDirect(Runtime& rt, DecodedStatement& d, int32_t p) {
    Interp& in = rt.interp;
    ArgsRecipe& r = *d.args;
    const ScriptSource* before = in.script.get();
    in.stmtStart = p;
    in.pos = p + 1;
    in.stmtEntry = &d;
    // Its arguments live in the recipe. Unlike a handler on the general path, these hand no entry
    // to another statement (only the step does), so the recipe needs no pin; and none of them
    // reads the argument text, left as the general path last set it.
    Args& a = r.args;
    int32_t v = 1;
    switch (d.op) {
        case DirectOp::kGoto: v = paths::gotoWith<true>(rt, a); break;
        case DirectOp::kGosub:
            r.intReads.fill(in, a.ints);
            v = paths::gosubWith<true>(rt, a);
            break;
        case DirectOp::kReturn: v = paths::returnTo<true>(rt); break;
        case DirectOp::kIf:
            r.conditionReads.fill(in, a.conditions);
            v = cmdIf(rt, a);
            // Its scan of a skipped block may stop for a message box: the next jumps read the
            // time afresh.
            in.scriptCache.laneClockLeft = 0;
            break;
        case DirectOp::kWait:
            r.intReads.fill(in, a.ints);
            v = cmdWait(rt, a);
            break;
        case DirectOp::kNone: break;
    }
    in.result = v;  // only rows that store their value have a direct way
    // Nothing here hands the entry to another statement: it is still this one's while the text is.
    return commandExit(in, d, p, in.script.get() == before);
}

// Learns whether the fast forms run the statement at d.at: a learnt integer assignment, or a
// control-flow command read before (read here: reading changes nothing but the entry) whose
// arguments are kept.
[[gnu::noinline]] void learnLane(DecodedStatement& d, BytesView t);

// Whether the fast forms run the statement at d.at now.
[[gnu::always_inline]] inline bool laneRuns(const Interp& in, DecodedStatement& d) {
    if (d.lane == DecodedStatement::kLaneRuns) return true;
    if (d.lane == DecodedStatement::kLaneNotYet) learnLane(d, in.text());
    return d.lane == DecodedStatement::kLaneRuns ||
           (d.lane == DecodedStatement::kLaneRunsOutsideInline && !in.inlineCommandFlag);
}

// Runs the statement at in.pos, whose entry d the fast forms run (laneRuns), as the general path
// would run it; returns the exit it took.
[[gnu::always_inline]] inline StatementExit* runFast(Runtime& rt, DecodedStatement& d) {
    Interp& in = rt.interp;
    if (d.kind != DecodedStatement::kIntAssign) return runDirect(rt, d, in.pos);
    if (d.quick != DecodedStatement::kQuickNone)
        runQuickAssign(in, d);
    else
        storeIntAssignWith(in, d.assign, [&] { return replayRightSide(in, d.rhs); });
    in.pos = d.normal.end;
    return &d.normal;
}

}  // namespace yv::script
