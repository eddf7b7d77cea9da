// Jumps, calls and returns over the call stack, and the goto, gosub and return commands.
#include "script/jumps.h"

#include "script/control_commands.h"
#include "script/jump_paths.h"

namespace yv {
namespace script {

namespace paths {

int32_t learnLabel(DecodedStatement& d, const ScriptSource& src, const Bytes& label) {
    d.label = label;
    d.labelAt = src.findLabel(label);
    return d.labelAt;
}

int32_t findInRead(Runtime& rt, const Bytes& label, const Bytes& file) {
    Interp& in = rt.interp;
    ScriptPtr src = loadScript(rt, file);
    if (!src) return 0;
    const int32_t at = src->findLabel(label);
    if (at > 0) in.script = std::move(src);
    return at;
}

}  // namespace paths

using namespace paths;

const ScriptPtr* freshScript(Runtime& rt, BytesView name) { return freshIn(rt, name); }

int32_t jump(Runtime& rt, const Bytes& label, const Bytes& file) { return jumpTo(rt, label, file); }

int32_t call(Runtime& rt, const Bytes& label, const Bytes& file, int32_t mode, int32_t returnPos) {
    return callTo(rt, label, file, mode, returnPos);
}

int32_t returnFromCall(Runtime& rt) { return returnTo(rt); }

}  // namespace script

// The jump commands live here, with the jumps inlined into them: a loop runs them all the time.

int32_t cmdGoto(Runtime& rt, const Args& args) { return script::paths::gotoWith(rt, args); }

int32_t cmdGosub(Runtime& rt, const Args& args) { return script::paths::gosubWith(rt, args); }

int32_t cmdReturn(Runtime& rt, const Args&) { return script::paths::returnTo(rt); }

}  // namespace yv
