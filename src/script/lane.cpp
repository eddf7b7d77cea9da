// The step's lane: learning which statements it runs, and running them from entry to entry.
#include "script/lane.h"

#include "lang/int_arith.h"
#include "script/command_table.h"

namespace yv::script {

void learnLane(DecodedStatement& d, BytesView t) {
    if (learntAssignment(d)) {
        learnQuickAssign(d);
        d.lane = DecodedStatement::kLaneRuns;
        return;
    }
    if (d.kind == DecodedStatement::kIntAssign && d.rhsKnown) {
        d.lane = DecodedStatement::kLaneNever;
        return;
    }
    if (d.kind == DecodedStatement::kEmpty && t[static_cast<size_t>(d.at)] == '#') readCommand(t, d.at, d);
    if (d.kind != DecodedStatement::kCommand) return;  // an assignment not learnt yet, or never
    if (d.op == DirectOp::kNone) d.lane = DecodedStatement::kLaneNever;
    else if (d.args) d.lane = d.args->takesStrings ? DecodedStatement::kLaneRunsOutsideInline : DecodedStatement::kLaneRuns;
}

bool runLane(Runtime& rt, DecodedStatement& first, StatementExit*& ran, bool& quietKept) {
    Interp& in = rt.interp;
    DecodedStatement* d = &first;
    in.scriptCache.laneClockLeft = 0;  // its jumps read the time afresh first
    for (;;) {
        const int32_t p = in.pos;
        StatementExit* e;
        bool keeps;
        if (d->kind == DecodedStatement::kIntAssign) {
            if (d->quick != DecodedStatement::kQuickNone)
                runQuickAssign(in, *d);
            else
                storeIntAssignWith(in, d->assign, [&] { return replayRightSide(in, d->rhs); });
            in.pos = d->normal.end;
            e = &d->normal;
            keeps = true;
        } else {
            e = runDirect<true>(rt, *d, p);
            keeps = d->row->keepsQuiet || (d->op == DirectOp::kReturn && !in.returnResumed);
        }
        // The end of the general loop's pass.
        if (in.halt) {
            yieldStep(rt);
            return false;
        }
        in.forgetClicks();
        ++in.pos;
        if (!in.running) return false;

        // The next statement, when the exit kept knows it and the lane runs it.
        auto handBack = [&] {
            ran = e;
            quietKept = keeps && e;
            return true;
        };
        // After a wait the general loop's look at what is in progress comes next anyway.
        if (!e || (!keeps && (d->op == DirectOp::kWait || !quietPass(rt))) ||
            in.debug.active.load(std::memory_order_relaxed))
            return handBack();
        if (e->followTo < 0) measureSkip(in.text(), in.pos, e->followTo, e->followPasses);
        DecodedStatement* next = e->followEntry;
        if (!next || !in.statements.holds(*next, in.script.get(), e->followTo) || !laneRuns(in, *next, in.text()))
            return handBack();
        // The head of the next pass, as passToStatement makes it. (Its look at the close is the
        // one just made: a close that comes between the two is one that came just after.)
        in.pos = e->followTo;
        // The clicks were forgotten just now, as the passes would forget them.
        in.passCount += 1 + e->followPasses;
        d = next;
    }
}

}  // namespace yv::script
