// The step's fast forms: learning which statements they run.
#include "script/lane.h"

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

}  // namespace yv::script
