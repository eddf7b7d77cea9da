// The jumps' fast ways, inlined where a loop makes them: into the goto, gosub and return
// commands and into the step's direct way to them. The rare ways (a label not looked up yet, a
// file to read) stay out of line, in jumps.cpp.
#pragma once

#include "core/os.h"
#include "lang/args.h"
#include "play_warnings.h"
#include "runtime.h"
#include "script/interpreter.h"

namespace yv::script::paths {

// Learns the label's position in src for the jump statement d.
[[gnu::noinline]] int32_t learnLabel(DecodedStatement& d, const ScriptSource& src, const Bytes& label);
// Reads `file` and finds the label there; its text then replaces the script text. 0 when not
// found or unreadable.
[[gnu::noinline]] int32_t findInRead(Runtime& rt, const Bytes& label, const Bytes& file);

// The file name ";" as a call passes it on for any file argument starting with ';'.
inline const Bytes kLoadedText = ";";

// Jumps made by the step's lane pass kLane: its statements never stop for long (but an if,
// after which it reads the time again), so a time read a few hundred jumps ago is as good as
// the coarse clock's own, and the entry of the jump statement is known to be its own.
constexpr int32_t kLaneClockJumps = 256;

template <bool kLane>
[[gnu::always_inline]] inline int64_t checkTime(ScriptCache& cache) {
    if constexpr (kLane) {
        if (cache.laneClockLeft > 0) {
            --cache.laneClockLeft;
            return cache.laneNowMs;
        }
        cache.laneClockLeft = kLaneClockJumps;
        return cache.laneNowMs = os::coarseMonotonicMs();
    } else {
        return os::coarseMonotonicMs();
    }
}

// A loop's jumps all come through here: inlined into each of them, with the rare ways (a label
// not looked up yet, a file to read) kept out of line.
template <bool kLane = false>
[[gnu::always_inline]] inline const ScriptPtr* freshIn(Runtime& rt, BytesView name) {
    ScriptCache& cache = rt.interp.scriptCache;
    if (!cache.recent || !sameBytes(cache.recentName, name)) return nullptr;
    if (rt.resources.writeCount() != cache.recentWrites) return nullptr;
    const int64_t now = checkTime<kLane>(cache);
    if (now < cache.recentAtMs || now - cache.recentAtMs >= Resources::kVersionReuseMs) return nullptr;
    return &cache.recent;
}

// The file name ";": the text already loaded, whatever its file.
inline bool namesLoadedText(const Bytes& file) { return file.size() == 1 && file[0] == ';'; }

inline void afterJump(Interp& in, int32_t labelPos) {
    in.pos = labelPos;
    if (in.blocks.opened > 0 && in.blocks.depth >= in.blocks.opened) in.blocks.depth -= in.blocks.opened;
}

// The label's position in src. A jump statement names the same label each time it runs (unless
// a variable names it), so the answer is kept with the statement when src is the text it is in.
template <bool kLane = false>
[[gnu::always_inline]] inline int32_t labelIn(Interp& in, const ScriptPtr& src, const Bytes& label) {
    if (src.get() == in.script.get())
        if (DecodedStatement* d = in.stmtEntry; kLane || (d && in.statements.holds(*d, src.get(), in.stmtStart))) {
            if (d->labelAt >= 0 && sameBytes(d->label, label)) return d->labelAt;
            return learnLabel(*d, *src, label);
        }
    return src->findLabel(label);
}

// Finds the label in the loaded text (file ";") or in the named file, whose text then replaces
// the script text; 0 when not found or unreadable.
template <bool kLane = false>
[[gnu::always_inline]] inline int32_t findIn(Runtime& rt, const Bytes& label, const Bytes& file) {
    Interp& in = rt.interp;
    if (namesLoadedText(file)) return labelIn<kLane>(in, in.script, label);
    // A jump within the file just read (a loop) neither copies nor swaps the script it holds.
    if (const ScriptPtr* fresh = freshIn<kLane>(rt, file)) {
        const int32_t at = labelIn<kLane>(in, *fresh, label);
        if (at > 0 && in.script != *fresh) in.script = *fresh;
        return at;
    }
    return findInRead(rt, label, file);
}

template <bool kLane = false>
[[gnu::always_inline]] inline int32_t jumpTo(Runtime& rt, const Bytes& label, const Bytes& file) {
    Interp& in = rt.interp;
    in.scriptName = file;  // switched whatever the outcome
    rt.save.log.add(62, label, file);
    if (!label.empty() && label[0] == ';') return 0;
    const int32_t at = findIn<kLane>(rt, label, file);
    if (at > 0) afterJump(in, at);
    else if (rt.warnings) [[unlikely]] warnJumpMissed(rt, label, file);
    return at;
}

template <bool kLane = false>
[[gnu::always_inline]] inline int32_t callTo(Runtime& rt, const Bytes& label, const Bytes& fileArg, int32_t mode,
                                              int32_t returnPos) {
    Interp& in = rt.interp;
    // Mode 1 returns onto this statement; every other mode continues after it.
    const int32_t ret = mode == 1 ? in.stmtStart - 1 : (returnPos != kEndMarker ? returnPos : in.pos);
    CallStack& cs = in.calls;
    if (cs.depth < 0 || cs.depth >= kStackSize) return 0;  // deeper nesting is refused
    // A loop's calls find the name there from the time before (a return leaves it).
    if (Bytes& kept = cs.file[static_cast<size_t>(cs.depth)]; !sameBytes(kept, in.scriptName)) kept = in.scriptName;
    cs.pos[static_cast<size_t>(cs.depth)] = ret;
    const Bytes& file = fileArg.empty() ? in.scriptName : fileArg[0] == ';' ? kLoadedText : fileArg;
    const int32_t at = findIn<kLane>(rt, label, file);
    if (at <= 0) {
        if (rt.warnings) [[unlikely]] warnJumpMissed(rt, label, file);
        return 0;
    }
    ++cs.depth;
    in.scriptName = file;
    rt.save.log.add(61, label, file, mode, mode == 1 ? in.pos : ret, in.stmtStart);
    afterJump(in, at);
    return at;
}

template <bool kLane = false>
[[gnu::always_inline]] inline int32_t returnTo(Runtime& rt) {
    Interp& in = rt.interp;
    CallStack& cs = in.calls;
    if (cs.depth <= 0) return 1;
    const size_t top = static_cast<size_t>(cs.depth - 1);
    const Bytes& file = cs.file[top];
    if (namesLoadedText(file)) return 1;  // names no file: a call made without one cannot return
    if (const ScriptPtr* fresh = freshIn<kLane>(rt, file)) {
        if (in.script != *fresh) in.script = *fresh;
    } else {
        ScriptPtr src = loadScript(rt, file);
        if (!src) return 1;
        in.script = std::move(src);
    }
    // A return into the file it is in (the usual case) has its name already.
    if (!sameBytes(in.scriptName, file)) in.scriptName = file;
    in.pos = cs.pos[top];
    // The name stays in the slot above the top (nothing reads it there; the next call through
    // it finds it in place).
    cs.pos[top] = 0;
    --cs.depth;
    rt.save.log.add(63);
    if (in.onReturn) in.onReturn(rt, cs.depth);
    return 1;
}

// goto's and gosub's arguments: (label, file) and (label, file; mode, return point).
template <bool kLane = false>
[[gnu::always_inline]] inline int32_t gotoWith(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    const Bytes& file = s.given(1) ? s[1] : rt.interp.scriptName;
    return jumpTo<kLane>(rt, s[0], file);
}

template <bool kLane = false>
[[gnu::always_inline]] inline int32_t gosubWith(Runtime& rt, const Args& args) {
    return callTo<kLane>(rt, args.strings[0], args.strings[1], args.ints[0], args.ints[1]);
}

}  // namespace yv::script::paths
