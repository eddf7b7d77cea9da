// Statement reader and interpreter step.
#include "script/interpreter.h"

#include <algorithm>
#include <unordered_map>

#include "core/cp932.h"
#include "core/os.h"
#include "play_warnings.h"
#include "runtime.h"
#include "script/command_table.h"
#include "script/debug_serve.h"
#include "script/lane.h"
#include "step_work.h"
#include "lang/int_arith.h"
#include "lang/scanners.h"

namespace yv::script {
namespace {

// Longest command name worth keeping: a missing '(' lets the name run on, and such a name
// matches nothing whatever its length.
constexpr size_t kMaxNameBytes = 64;

void applyPending(Runtime& rt, int32_t& pendingIndex, int32_t& pendingKind) {
    Interp& in = rt.interp;
    if (pendingKind == 1) {
        in.setInt(pendingIndex, in.result);
    } else if (pendingKind == 2) {
        if (pendingIndex >= 0 && pendingIndex < kStrVarCount) {
            in.svar[static_cast<size_t>(pendingIndex)] = in.strResult;
            in.noteChange(pendingIndex);
        }
    } else {
        return;
    }
    in.result = 0;
    in.strResult.clear();
    pendingKind = 0;
    pendingIndex = -1;
}

// Runs a statement's command: from its kept arguments where they apply (the loop's usual case,
// inline), else evaluated afresh.
inline int32_t callStatementCommand(Runtime& rt, const CommandRow& row, BytesView argText,
                                    std::shared_ptr<ArgsRecipe>& recipe) {
    if (!row.handler) return 1;
    if (const Args* kept = replayArgs(rt.interp, argText, recipe.get())) {
        const int32_t v = row.handler(rt, *kept);
        if (row.result == kStored) rt.interp.result = v;
        return v;
    }
    return callCommandFresh(rt, row, argText, recipe);
}

// Which of the step's direct ways a row has. By handler: the row decides what the command does.
DirectOp directOpOf(const CommandRow* row) {
    if (!row || row->result != kStored) return DirectOp::kNone;
    const Handler h = row->handler;
    return h == cmdGoto     ? DirectOp::kGoto
           : h == cmdGosub  ? DirectOp::kGosub
           : h == cmdReturn ? DirectOp::kReturn
           : h == cmdIf     ? DirectOp::kIf
           : h == cmdWait   ? DirectOp::kWait
                            : DirectOp::kNone;
}

// The entry for the statement at p, through the exit the reader just took when that exit knows
// it: a loop then runs from entry to entry without looking any up.
inline DecodedStatement& entryAt(Interp& in, int32_t p, StatementExit* via) {
    if (!via || via->followTo != p) return in.statements.slot(in.script, p);
    if (DecodedStatement* e = via->followEntry; e && in.statements.holds(*e, in.script.get(), p)) return *e;
    DecodedStatement& d = in.statements.slot(in.script, p);
    // Had `via` lain in the slot just taken, this lands in the new entry, where the check above
    // rejects it.
    via->followEntry = &d;
    return d;
}

// Runs the command whose '#' is at p (d: its entry, read); afterwards moves to the end of the
// statement. Returns the exit it took when that exit is kept in its entry.
StatementExit* runCommand(Runtime& rt, DecodedStatement& d, int32_t p, int32_t& pendingIndex, int32_t& pendingKind) {
    Interp& in = rt.interp;
    // The command's name and argument text view the text they were read from, held until the
    // next command, so a jump that replaces the text while it runs takes nothing from under it;
    // afterwards only the current text is read.
    if (in.heldText.get() != in.script.get()) in.heldText = in.script;
    const BytesView t = in.text();
    const CommandRow* row = d.row;
    in.stmtStart = p;
    in.pos = p + 1;
    // The entry's positions lie within its text: views without substr's checks.
    in.cmdName = BytesView(t.data() + p + 1, static_cast<size_t>(d.nameLen));
    // Handed on from here, not read back from `in`: reading a view just stored as two words
    // back as one stalls the load.
    BytesView argText;
    if (d.ownSemicolon) {
        argText = BytesView(t.data() + d.open, static_cast<size_t>(d.argEnd - d.open) + 1);
    } else {
        // Built once for the statement a loop runs again and again (`argRoomText` holds the
        // text, so the pair names one statement for as long as it is kept).
        if (in.argRoomText.get() != in.heldText.get() || in.argRoomAt != p) {
            if (d.open >= 0)
                in.argRoom.assign(t.substr(static_cast<size_t>(d.open), static_cast<size_t>(d.argEnd - d.open)));
            else
                in.argRoom.clear();
            in.argRoom += ';';
            in.argRoomText = in.heldText;
            in.argRoomAt = p;
        }
        argText = in.argRoom;
    }
    in.argText = argText;

    // The text is held (above and by the statement cache), so the address compared below
    // cannot be another text's.
    const ScriptSource* before = in.script.get();
    in.stmtEntry = &d;
    bool stays = true;  // the text and the entry are still this statement's
    if (row) {
        // The handler's arguments live in the entry's recipe: pinned, it outlives the command
        // even should the entry be handed to another statement meanwhile.
        DecodedStatement* const outer = in.statements.pin(&d);
        callStatementCommand(rt, *row, argText, d.args);
        in.statements.unpin(outer);
        stays = in.script.get() == before && in.statements.holds(d, before, p);
        if (rt.warnings) [[unlikely]]
            warnAfterCommand(rt, *row, argText);
    } else if (rt.warnings) [[unlikely]] {
        warnUnknownCommand(rt, in.cmdName);
    }
    // A game was loaded: the read position is the loaded statement, which runs next.
    if (rt.save.justLoaded) return nullptr;

    // Finish the statement (in the text that is current now: a jump may have replaced it).
    if (in.running) applyPending(rt, pendingIndex, pendingKind);
    return commandExit(in, d, p, stays);
}

// Marks an assignment that was read and is run as written each time.
constexpr int32_t kNotKept = -2;

// Reads an integer assignment at p into d; false for any other assignment, for one too long
// to keep and for a malformed one (it runs as written each time).
bool readIntAssignment(BytesView t, int32_t p, DecodedStatement& d) {
    const BytesView stmt = assignmentText(t.substr(static_cast<size_t>(p)));
    if (stmt.size() < 2 || !isDigit(stmt[1])) return false;
    const size_t len = compactAssignment(stmt, d.compact, DecodedStatement::kCompactRoom);
    if (len > DecodedStatement::kCompactRoom) return false;
    const IntAssignForm form = readIntAssign(BytesView(d.compact, len));
    if (form.kind == IntAssignForm::kMalformed) return false;
    d.compactLen = static_cast<uint8_t>(len);
    d.assign = form;
    size_t q = static_cast<size_t>(p);
    while (q < t.size() && t[q] != ';' && t[q] != ')' && t[q] != '\n') ++q;
    d.normal.end = static_cast<int32_t>(q) + 1;
    d.kind = DecodedStatement::kIntAssign;
    return true;
}

// Runs the assignment at p (d: its entry); returns the exit it took when it is kept there.
StatementExit* runAssignment(Runtime& rt, DecodedStatement& d, int32_t p, int32_t& pendingIndex, int32_t& pendingKind) {
    Interp& in = rt.interp;
    in.pos = p + 1;
    if (learntAssignment(d)) {
        // The usual case, inline: an assignment read and run before.
        storeIntAssignWith(in, d.assign, [&] { return replayRightSide(in, d.rhs); });
        in.pos = d.normal.end;
        return &d.normal;
    }
    // An assignment runs no command (one after '=' runs later, as a statement of its own), so the
    // text stays as it is.
    const BytesView t = in.text();
    if (d.kind == DecodedStatement::kEmpty && d.normal.end != kNotKept) {
        // Read for the first time: the one place an assignment's line is looked at as a whole.
        if (rt.warnings) [[unlikely]]
            warnAssignmentSkips(rt, t, p);
        if (!readIntAssignment(t, p, d)) d.normal.end = kNotKept;
    }
    if (d.kind == DecodedStatement::kIntAssign) {
        runIntAssign(in, BytesView(d.compact, d.compactLen), d.assign, &d.rhs, &d.rhsKnown);
        if (d.assign.kind == IntAssignForm::kPending) {
            pendingIndex = d.assign.index;
            pendingKind = 1;
            return nullptr;  // the command after '=' is reached by the byte walk
        }
        in.pos = d.normal.end;
        return &d.normal;
    }
    AssignOutcome a = evalAssignment(in, rt, t.substr(static_cast<size_t>(p)));
    if (a.pending) {
        pendingIndex = a.index;
        pendingKind = a.kind;
        return nullptr;  // the command after '=' is reached by the byte walk
    }
    size_t q = static_cast<size_t>(p);
    while (q < t.size() && t[q] != ';' && t[q] != ')' && t[q] != '\n') ++q;
    in.pos = static_cast<int32_t>(q) + 1;
    return nullptr;
}

// passToStatement's way where the statement just run kept no exit that knows what follows.
[[gnu::noinline]] StatementExit* passToStatementSlow(Interp& in, StatementExit* via) {
    StatementExit* x = via;
    const bool fresh = !via || in.pos != via->end + 1;
    if (fresh) {
        const BytesView t = in.text();
        const int32_t from = in.pos;
        if (from < 0 || from >= static_cast<int32_t>(t.size())) return nullptr;
        const char first = t[static_cast<size_t>(from)];
        if (first == '#' || first == '@') return nullptr;  // already at a statement
        x = &in.statements.slot(in.script, from).skip;
    }
    if (x->followTo < 0) measureSkip(in.text(), in.pos, x->followTo, x->followPasses);
    // Where nothing is passed `followTo` may still lie past a comment, which the step skips anyway.
    in.pos = x->followTo;
    if (x->followPasses != 0) {
        in.passCount += x->followPasses;
        // After a statement's exit the clicks were forgotten just now, as the passes would.
        if (fresh) in.forgetClicks();
    }
    return x;
}

// Passes at once over the bytes before the next statement (blanks, line ends, labels, comments),
// counting the passes the step would have made over them one by one. `via` is the exit the
// statement just run took, when kept: the bytes after it are known there. The reader then stands
// one past its end (a statement leaves the reader at the end of the exit it hands back, and the
// pass's end adds one; not compared here, as that would wait on the store just made), and the
// pass has just forgotten the clicks. Returns the entry of the statement it stopped
// at when the exit whose bytes it passed knows it, else nullptr with that exit (or nullptr when
// it stopped where it was) in `passed`.
[[gnu::always_inline]] inline DecodedStatement* passToStatement(Interp& in, StatementExit* via,
                                                                StatementExit*& passed) {
    StatementExit* x = via;
    if (via && via->followTo >= 0) [[likely]] {
        in.pos = via->followTo;
        in.passCount += via->followPasses;
    } else {
        x = passToStatementSlow(in, via);
        if (!x) {
            passed = nullptr;
            return nullptr;
        }
    }
    DecodedStatement* e = x->followEntry;
    if (e && in.statements.holds(*e, in.script.get(), in.pos)) [[likely]]
        return e;
    passed = x;
    return nullptr;
}


void countPass(Interp& in, uint32_t now) {
    ++in.passCount;
    if (now - in.passSecondStart >= 1000) {
        in.stepsPerSecond = in.passCount;
        in.passCount = 0;
        in.passSecondStart = now;
    }
}

}  // namespace

// The pieces the lane and the passes share (step_parts.h).

// A fade of the volume advances once per statement slot; while it runs each slot costs 150 ms.
bool volumeFadeSlot(Runtime& rt) {
    if (!rt.media.volumeFading) return false;
    if (media::advanceVolumeFade(rt)) {
        rt.sleep(150);  // a close cuts the slot short
        return true;
    }
    rt.media.volumeFading = false;
    rt.interp.halt = 0;
    return false;
}

void readCommand(BytesView t, int32_t p, DecodedStatement& d) {
    const size_t n = t.size();
    const size_t open = t.find('(', static_cast<size_t>(p) + 1);
    const size_t nameEnd = open == BytesView::npos ? n : open;
    const size_t nameLen = std::min(nameEnd - static_cast<size_t>(p) - 1, kMaxNameBytes + 1);
    d.row = findCommand(t.substr(static_cast<size_t>(p) + 1, nameLen));
    d.op = directOpOf(d.row);
    d.nameLen = static_cast<int32_t>(nameLen);
    d.open = -1;
    d.argEnd = 0;
    if (open != BytesView::npos) {
        size_t e = open;
        while (e < n && t[e] != ';' && t[e] != '\n') ++e;
        d.open = static_cast<int32_t>(open);
        d.argEnd = static_cast<int32_t>(e);
        d.ownSemicolon = e < n && t[e] == ';';
    }
    d.kind = DecodedStatement::kCommand;
}

int32_t afterCommand(BytesView u, int32_t pos) {
    const int32_t un = static_cast<int32_t>(u.size());
    // A return onto a call at the very start of the text leaves q at -1: the byte after it is
    // the call's '#', which stops the walk there so that the call runs again.
    int32_t q = std::max(pos, -1);
    auto at = [&](int32_t i) { return i >= 0 && i < un ? u[static_cast<size_t>(i)] : '\0'; };
    while (q < un && at(q) != ';') {
        if (at(q + 1) == '#') break;
        if (at(q) == ')' || at(q) == '\n') break;
        ++q;
    }
    return skipComment(u, q);
}

void measureSkip(BytesView t, int32_t from, int32_t& to, int32_t& passes) {
    const int32_t n = static_cast<int32_t>(t.size());
    int32_t p = from;
    passes = 0;
    for (;;) {
        p = skipComment(t, p);
        if (p < 0 || p >= n) break;
        const char b = t[static_cast<size_t>(p)];
        if (b == '#' || b == '@') break;
        ++p;
        ++passes;
    }
    to = p;
}

void yieldStep(Runtime& rt) {
    rt.interp.forgetClicks();
    if (rt.save.loadRequested) step::serveRequestedLoad(rt);
}

ScriptPtr loadScript(Runtime& rt, BytesView name) {
    if (const ScriptPtr* fresh = freshScript(rt, name)) return *fresh;
    ScriptCache& cache = rt.interp.scriptCache;
    // Taken before the version is asked: a write or an edit after it makes the next jump ask again.
    const uint64_t writes = rt.resources.writeCount();
    const int64_t checkedAt = os::coarseMonotonicMs();
    auto remember = [&](const ScriptPtr& src) {
        cache.recentName.assign(name);
        cache.recent = src;
        cache.recentWrites = writes;
        cache.recentAtMs = checkedAt;
        // The lane's last time may be older than this one: it reads the clock again.
        cache.laneClockLeft = 0;
    };
    const Resources::Version version = rt.resources.version(name);
    if (version.known) {
        MutexLock lock(cache.mutex);
        for (const ScriptCache::Entry& e : cache.entries)
            if (BytesView(e.name) == name && e.version == version) {
                remember(e.source);
                return e.source;
            }
    }
    auto data = rt.resources.read(name);
    if (!data) return nullptr;
    // The text is the file's bytes up to its first zero byte.
    const size_t zero = data->find('\0');
    if (zero != Bytes::npos) data->resize(zero);
    auto src = std::make_shared<const ScriptSource>(std::move(*data));
    // Asked again after the read: a file seen for the first time has a version only now.
    const Resources::Version after = rt.resources.version(name);
    if (after.known) {
        MutexLock lock(cache.mutex);
        std::erase_if(cache.entries, [&](const ScriptCache::Entry& e) { return BytesView(e.name) == name; });
        if (cache.entries.size() >= 32) cache.entries.erase(cache.entries.begin());
        cache.entries.push_back({Bytes(name), after, src});
        remember(src);
    }
    return src;
}

void stopAtEndOfText(Runtime& rt) {
    rt.interp.scriptEnded = 1;
    rt.interp.halt = 1;
    rt.interp.running = 0;
    rt.interp.suspended = 0;
}

namespace {

// What a step keeps from one statement to the next.
struct StepState {
    int32_t pendingIndex = -1;
    int32_t pendingKind = 0;
    StatementMark assignmentMark;  // an assignment waiting for its command's result
    StatementMark mark;            // the traced statement (touched only while tracing)
};

// The entry of the statement at in.pos into d (nullptr for a byte that starts none). At the end
// of the text it stops the script and returns false: the step ends there.
[[gnu::noinline]] bool statementAt(Runtime& rt, StatementExit* via, DecodedStatement*& d) {
    Interp& in = rt.interp;
    const BytesView t = in.text();
    if (in.pos < 0 || in.pos >= static_cast<int32_t>(t.size())) {
        stopAtEndOfText(rt);
        return false;
    }
    const char b = t[static_cast<size_t>(in.pos)];
    d = b == '#' || b == '@' ? &entryAt(in, in.pos, via) : nullptr;
    return true;
}

// The start of a pass while something is in progress: one byte at a time, each thing in progress
// advanced once. False when the step ends here.
[[gnu::noinline]] bool startBusyPass(Runtime& rt) {
    Interp& in = rt.interp;
    in.pos = skipComment(in.text(), in.pos);
    // What it advances may take long (a fade's slot sleeps): the fast forms' jumps read the time
    // afresh.
    in.scriptCache.laneClockLeft = 0;
    return step::busyPass(rt);
}

// The end of every pass: the CD wait, the halt, the clicks nothing waited for, the next byte.
// False when the step ends here; else `busy` is what is in progress for the next pass.
[[gnu::always_inline]] inline bool endPass(Runtime& rt, uint32_t& busy) {
    Interp& in = rt.interp;
    busy = in.inProgress.bits();
    if (busy & InProgress::kCdWait) [[unlikely]] {
        if (!media::cdDriveReady(rt)) return false;
        rt.media.cdWait = false;
        busy = in.inProgress.bits();
    }
    if (in.halt) [[unlikely]] {
        yieldStep(rt);
        return false;
    }
    in.forgetClicks();
    ++in.pos;
    if (!in.running) return false;
    ++in.passCount;  // the next pass's
    return true;
}

// Runs the statement at in.pos (d: its entry) the general way: a command through its row, an
// assignment through the scanner (or its kept form), a pending result, the debug windows' looks.
// False when the step ends here; else `ran` is the exit the statement took when kept.
[[gnu::noinline]] bool runGeneral(Runtime& rt, DecodedStatement& d, StepState& s, StatementExit*& ran) {
    Interp& in = rt.interp;
    const BytesView t = in.text();
    // The debug windows look between statements; a pause holds here (never between an
    // assignment and the command whose result it takes).
    const bool traced = in.debug.active.load(std::memory_order_relaxed) && in.debug.wantsStatements();
    if (traced) {
        s.mark = {};
        if (s.pendingKind == 0 && !debugBeforeStatement(rt, s.mark)) return false;
    }
    if (t[static_cast<size_t>(in.pos)] == '#') {
        const int32_t p = in.pos;
        if (d.kind != DecodedStatement::kCommand) readCommand(t, p, d);
        ran = runCommand(rt, d, p, s.pendingIndex, s.pendingKind);
        // The command that completes an assignment is traced as that assignment.
        if (traced) debugAfterStatement(rt, s.mark.script ? s.mark : s.assignmentMark);
        if (s.assignmentMark.script) s.assignmentMark = {};
        // A command may take any time (a dialog, a sleep): the fast forms' jumps read it afresh.
        in.scriptCache.laneClockLeft = 0;
        // Only the interpreter thread sets and clears it: a relaxed look first spares the
        // locked exchange on every command.
        if (rt.save.justLoaded.load(std::memory_order_relaxed) != 0 && rt.save.justLoaded.exchange(0))
            return false;
    } else {
        ran = runAssignment(rt, d, in.pos, s.pendingIndex, s.pendingKind);
        if (traced && s.pendingKind != 0)
            s.assignmentMark = std::move(s.mark);
        else if (traced)
            debugAfterStatement(rt, s.mark);
    }
    return true;
}

}  // namespace

// One loop: every pass starts the same way (counted; over the bytes before the next statement
// at once while nothing is in progress, else one byte with each thing in progress advanced) and
// ends the same way (endPass). Only how the statement itself runs differs: a fast form where its
// entry has one and nothing asks for the general way, else the general path.
void step(Runtime& rt) {
    Interp& in = rt.interp;
    if (!in.running) return;
    countPass(in, rt.clock().nowMs());
    if (rt.media.volumeFading) {
        if (volumeFadeSlot(rt) && in.halt) return;
    }
    in.scriptCache.laneClockLeft = 0;  // the first jump reads the time afresh
    StepState s;
    StatementExit* ran = nullptr;  // the exit the statement just run took, when kept
    ++in.passCount;
    // Later passes look at the halt flag only at their end: nothing runs between that look and
    // the next pass's start (a close that comes between the two came just after it).
    if (in.halt) return;
    uint32_t busy = in.inProgress.bits();
    // No result pending and the fast forms not turned off: asked again only after the general path.
    bool fastForms = in.directWays;
    for (;;) {
        // The start of the pass: where it stops, and the statement's entry when the walk knows it.
        DecodedStatement* d = nullptr;
        if (busy == 0) [[likely]] {
            // It stops only where no comment starts.
            StatementExit* via;
            d = passToStatement(in, ran, via);
            if (!d && !statementAt(rt, via, d)) return;
        } else if (!startBusyPass(rt) || !statementAt(rt, nullptr, d)) {
            return;
        }
        ran = nullptr;

        if (d) {
            if (fastForms && laneRuns(in, *d) && !in.debug.active.load(std::memory_order_relaxed)) [[likely]] {
                ran = runFast(rt, *d);
            } else {
                if (!runGeneral(rt, *d, s, ran)) return;
                fastForms = s.pendingKind == 0 && in.directWays;
            }
        }  // else a byte passed one by one while something is in progress

        if (!endPass(rt, busy)) return;
    }
}

void threadLoop(Runtime& rt) {
    Interp& in = rt.interp;
    Clock& clock = rt.clock();
    in.running = 1;
    in.threadActive = 1;
    in.suspended = 0;
    // Halted for good (after end or breakapp, until the window closes); a volume fade still
    // runs its slots.
    auto halted = [&] { return in.halt && !rt.media.volumeFading; };
    while (in.running) {
        if (in.suspended || !in.stepsEnabled) {
            // Start-up, a display-mode switch: the window thread lets the steps run again.
            in.wake.wait([&] { return !in.running || (!in.suspended && in.stepsEnabled); });
            continue;
        }
        // Slot saves and loads picked in the menus run here, between two steps; so does
        // keeping the state of a page that began its click wait.
        step::betweenSteps(rt);
        // Unpaced steps read no clock of their own: the time is asked only to pace.
        const bool paced = in.pacingMs.load() > 0;
        const double start = paced ? clock.nowPreciseMs() : 0.0;
        step(rt);
        DebugTap& tap = in.debug;
        if (tap.active.load(std::memory_order_relaxed)) {
            debugAfterStep(rt, clock.nowPreciseMs());
            if (tap.holding.load()) {
                // Paused by the watch mode: nothing runs until it resumes or grants a step; the
                // window, its menus and the sound go on, and the debug windows are served.
                in.wake.wait([&] {
                    return !in.running || in.closing || !tap.paused || tap.stepGrant != 0 ||
                           debugWantsAttention(rt) || step::slotRequested(rt);
                });
                if (!tap.paused) tap.holding = false;
                continue;
            }
        }
        if (halted()) {
            // Nothing runs while halted: the game's clock need not move, and a manual clock
            // must not race ahead to a time limit. A save or load picked in the menus is still
            // served, and so are the debug windows.
            in.wake.wait([&] {
                return !in.running || !in.halt || step::slotRequested(rt) ||
                       (tap.active.load() && debugWantsAttention(rt));
            });
            if (tap.active.load()) debugServe(rt);
            continue;
        }
        const double pacing = in.pacingMs.load();
        if (pacing > 0) {
            // Pacing turned on during the step: the step counts as taking no time.
            const double left = pacing - (paced ? clock.nowPreciseMs() - start : 0.0);
            // A close (halt) or a stop ends the pause at once.
            if (left > 0) clock.waitFor(left, in.wake, [&] { return !in.running || halted(); });
        } else {
            clock.freeRun();
        }
    }
    in.threadActive = 0;
    in.suspended = 0;
}

void stop(Runtime& rt) {
    rt.interp.closing = 1;  // ends a sleep in progress
    rt.interp.suspended = 0;
    rt.interp.running = 0;
    rt.interp.wake.wait([&] { return !rt.interp.threadActive; });
}

}  // namespace yv::script
