// The step's lane: a loop's control flow and learnt integer assignments, run from their kept
// forms past the general command path while nothing else is in progress.
#pragma once

#include "lang/args.h"
#include "runtime.h"
#include "script/control_commands.h"
#include "script/jump_paths.h"
#include "script/step_parts.h"

namespace yv::script {

// Whether a control-flow command's direct way applies: it was read before and its kept
// arguments apply now.
inline bool directApplies(const Interp& in, const DecodedStatement& d) {
    return d.op != DirectOp::kNone && d.args && !(d.args->takesStrings && in.inlineCommandFlag);
}

// Runs a loop's control-flow command whose direct way applies by a direct call of what its
// handler does, past the general command path. Those handlers read neither the command's name
// nor its argument text and load no game, and nothing waits for their result (the caller sees
// to that). Returns the exit it took when kept, as runCommand.
template <bool kLane>
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
        case DirectOp::kGoto: v = paths::gotoWith<kLane>(rt, a); break;
        case DirectOp::kGosub:
            r.intReads.fill(in, a.ints);
            v = paths::gosubWith<kLane>(rt, a);
            break;
        case DirectOp::kReturn: v = paths::returnTo<kLane>(rt); break;
        case DirectOp::kIf:
            r.conditionReads.fill(in, a.conditions);
            v = cmdIf(rt, a);
            // Its scan of a skipped block may stop for a message box: the lane's jumps read the
            // time afresh.
            if constexpr (kLane) in.scriptCache.laneClockLeft = 0;
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

// Learns whether the lane runs the statement at d.at: a learnt integer assignment, or a
// control-flow command read before (read here: reading changes nothing but the entry) whose
// arguments are kept.
[[gnu::noinline]] void learnLane(DecodedStatement& d, BytesView t);

// Whether the lane runs the statement at d.at now.
[[gnu::always_inline]] inline bool laneRuns(const Interp& in, DecodedStatement& d, BytesView t) {
    if (d.lane == DecodedStatement::kLaneRuns) return true;
    if (d.lane == DecodedStatement::kLaneNotYet) learnLane(d, t);
    return d.lane == DecodedStatement::kLaneRuns ||
           (d.lane == DecodedStatement::kLaneRunsOutsideInline && !in.inlineCommandFlag);
}

// The lane: while nothing is in progress and no debug window looks, runs statements the lane
// runs from entry to entry, doing for each what the step's general loop does around it. Starts
// with the head of the loop done for d, the statement at in.pos; hands back before the head of
// the first statement it leaves to the general loop, with the exit the last one took and whether
// it kept the step quiet, as that loop leaves them. false when the step ends here.
//
// What it leaves out, the general loop would find unchanged: these statements start nothing in
// progress (but a wait and a return's callback, after which it looks), load no game, take no
// command's result, read no click, and set neither the close nor the stop (other threads do,
// and the lane looks at both after every statement).
bool runLane(Runtime& rt, DecodedStatement& first, StatementExit*& ran, bool& quietKept);

}  // namespace yv::script
