// Statement reader and interpreter step.
#include "script/interpreter.h"

#include <algorithm>
#include <unordered_map>

#include "core/cp932.h"
#include "core/os.h"
#include "runtime.h"
#include "script/command_table.h"
#include "script/debug_serve.h"
#include "save/slots.h"
#include "lang/scanners.h"
#include "text/renderer.h"

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

// Runs the command whose '#' is at p; afterwards moves to the end of the statement.
void runCommand(Runtime& rt, int32_t p, int32_t& pendingIndex, int32_t& pendingKind) {
    Interp& in = rt.interp;
    // The command is handed copies of its name and argument text, so a jump that replaces the
    // text while it runs takes nothing from under it; afterwards only the current text is read.
    const BytesView t = in.text();
    const size_t n = t.size();
    in.stmtStart = p;
    in.pos = p + 1;
    size_t open = t.find('(', static_cast<size_t>(p) + 1);
    const size_t nameEnd = open == BytesView::npos ? n : open;
    in.cmdName.assign(t.substr(static_cast<size_t>(p) + 1,
                               std::min(nameEnd - static_cast<size_t>(p) - 1, kMaxNameBytes + 1)));
    in.argText.clear();
    if (open != BytesView::npos) {
        size_t e = open;
        while (e < n && t[e] != ';' && t[e] != '\n') ++e;
        in.argText.assign(t.substr(open, e - open));
    }
    in.argText += ';';

    callCommand(rt, in.cmdName, in.argText);
    // A game was loaded: the read position is the loaded statement, which runs next.
    if (rt.save.justLoaded) return;

    // Finish the statement (in the text that is current now: a jump may have replaced it).
    if (in.running) applyPending(rt, pendingIndex, pendingKind);
    const BytesView u = in.text();
    const int32_t un = static_cast<int32_t>(u.size());
    // A return onto a call at the very start of the text leaves q at -1: the byte after it is
    // the call's '#', which stops the walk there so that the call runs again.
    int32_t q = std::max(in.pos, -1);
    auto at = [&](int32_t i) { return i >= 0 && i < un ? u[static_cast<size_t>(i)] : '\0'; };
    while (q < un && at(q) != ';') {
        if (at(q + 1) == '#') break;
        if (at(q) == ')' || at(q) == '\n') break;
        ++q;
    }
    in.pos = skipComment(u, q);
}

void runAssignment(Runtime& rt, int32_t p, int32_t& pendingIndex, int32_t& pendingKind) {
    Interp& in = rt.interp;
    // An assignment runs no command (one after '=' runs later, as a statement of its own), so the
    // text stays as it is.
    const BytesView t = in.text();
    in.pos = p + 1;
    AssignOutcome a = evalAssignment(rt, t.substr(static_cast<size_t>(p)));
    if (a.pending) {
        pendingIndex = a.index;
        pendingKind = a.kind;
        return;  // the command after '=' is reached by the byte walk
    }
    size_t q = static_cast<size_t>(p);
    while (q < t.size() && t[q] != ';' && t[q] != ')' && t[q] != '\n') ++q;
    in.pos = static_cast<int32_t>(q) + 1;
}

// Yield: the common exit of the waits. A click that nothing waited for is forgotten here.
void yieldStep(Runtime& rt) {
    rt.interp.forgetClicks();
    if (rt.save.loadRequested) {
        if (!save::performRequestedLoad(rt))
            rt.messageBox(utf8ToCp932("ロードに失敗しました\nファイルが壊れている可能性があります"), "",
                          MsgButtons::Ok, MsgIcon::Exclamation);
        rt.save.loadRequested = 0;
        rt.save.loadFile.clear();
    }
}

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

bool waitPassed(Runtime& rt) {
    WaitGate& g = rt.interp.wait;
    const uint32_t now = rt.clock().nowMs();
    if (!g.started) {
        g.started = true;
        g.lastCheck = now;
        return false;
    }
    if (now - g.lastCheck > static_cast<uint32_t>(g.waitMs)) {
        g.lastElapse = now;
        return true;
    }
    return false;
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

const ScriptPtr* freshScript(Runtime& rt, BytesView name) {
    ScriptCache& cache = rt.interp.scriptCache;
    if (!cache.recent || BytesView(cache.recentName) != name) return nullptr;
    if (rt.resources.writeCount() != cache.recentWrites) return nullptr;
    const int64_t now = os::coarseMonotonicMs();
    if (now < cache.recentAtMs || now - cache.recentAtMs >= Resources::kVersionReuseMs) return nullptr;
    return &cache.recent;
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
    };
    const Resources::Version version = rt.resources.version(name);
    if (version.known) {
        std::lock_guard lock(cache.mutex);
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
        std::lock_guard lock(cache.mutex);
        std::erase_if(cache.entries, [&](const ScriptCache::Entry& e) { return BytesView(e.name) == name; });
        if (cache.entries.size() >= 32) cache.entries.erase(cache.entries.begin());
        cache.entries.push_back({Bytes(name), after, src});
        remember(src);
    }
    return src;
}

void stopAtEndOfText(Runtime& rt) {
    rt.interp.halt = 1;
    rt.interp.running = 0;
    rt.interp.suspended = 0;
}

void step(Runtime& rt) {
    Interp& in = rt.interp;
    if (!in.running) return;
    countPass(in, rt.clock().nowMs());
    if (rt.media.volumeFading) {
        if (volumeFadeSlot(rt) && in.halt) return;
    }
    int32_t pendingIndex = -1;
    int32_t pendingKind = 0;
    StatementMark assignmentMark;  // an assignment waiting for its command's result
    for (;;) {
        ++in.passCount;
        if (in.halt) return;
        in.pos = skipComment(in.text(), in.pos);
        volumeFadeSlot(rt);
        if (rt.screens.effectOn) graphics::drawEffectFrame(rt);
        if (rt.choices.collecting) text::choices::collectAt(rt);
        if (rt.choices.ready) {
            text::choices::runChoicePhase(rt);
            return yieldStep(rt);
        }
        text::choices::checkTraps(rt);
        if (rt.text.printing && !text::advancePrinting(rt)) return yieldStep(rt);
        if (rt.screens.fadeOn) {
            if (!graphics::advanceFade(rt)) return yieldStep(rt);
            rt.screens.fadeOn = false;
        }
        if (rt.screens.wipeOn) {
            if (!graphics::advanceWipe(rt)) return yieldStep(rt);
            rt.screens.wipeOn = false;
        }
        if (rt.screens.transfadeOn) {
            if (!graphics::advanceTransfade(rt)) return yieldStep(rt);
            rt.screens.transfadeOn = false;
        }
        if (rt.screens.mosaicfadeOn) {
            if (graphics::advanceMosaicfade(rt)) rt.screens.mosaicfadeOn = false;
            return yieldStep(rt);
        }
        if (in.wait.waitMs != 0) {
            if (!waitPassed(rt)) return yieldStep(rt);
            in.wait.waitMs = 0;
            in.wait.reset();
        }
        if (rt.text.printing) return;
        if (const int32_t mode = in.clickWaitMode; mode != 0) {
            const bool clicked = mode == 1 ? in.leftClick != 0 : mode == 2 ? in.rightClick != 0 : false;
            if (!clicked) return yieldStep(rt);
            in.clickWaitMode = 0;
        }

        // Statement.
        const BytesView t = in.text();
        if (in.pos < 0 || in.pos >= static_cast<int32_t>(t.size())) {
            stopAtEndOfText(rt);
            return;
        }
        const char b = t[static_cast<size_t>(in.pos)];
        // The debug windows look between statements; a pause holds here (never between an
        // assignment and the command whose result it takes).
        StatementMark mark;
        const bool traced = (b == '#' || b == '@') && in.debug.active.load(std::memory_order_relaxed) &&
                            in.debug.wantsStatements();
        if (traced && pendingKind == 0 && !debugBeforeStatement(rt, mark)) return;
        if (b == '#') {
            runCommand(rt, in.pos, pendingIndex, pendingKind);
            // The command that completes an assignment is traced as that assignment.
            if (traced) debugAfterStatement(rt, mark.script ? mark : assignmentMark);
            assignmentMark = {};
            // Only the interpreter thread sets and clears it: a relaxed look first spares the
            // locked exchange on every command.
            if (rt.save.justLoaded.load(std::memory_order_relaxed) != 0 && rt.save.justLoaded.exchange(0))
                return;
        } else if (b == '@') {
            runAssignment(rt, in.pos, pendingIndex, pendingKind);
            if (traced && pendingKind != 0)
                assignmentMark = std::move(mark);
            else if (traced)
                debugAfterStatement(rt, mark);
        }

        if (rt.media.cdWait) {
            if (!media::cdDriveReady(rt)) return;
            rt.media.cdWait = false;
        }
        if (in.halt) return yieldStep(rt);
        in.forgetClicks();
        ++in.pos;
        if (!in.running) return;
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
        // Slot saves and loads picked in the menus run here, between two steps.
        save::serveSlotRequests(rt);
        const double start = clock.nowPreciseMs();
        step(rt);
        DebugTap& tap = in.debug;
        if (tap.active.load(std::memory_order_relaxed)) {
            debugAfterStep(rt, clock.nowPreciseMs());
            if (tap.holding.load()) {
                // Paused by the watch mode: nothing runs until it resumes or grants a step; the
                // window, its menus and the sound go on, and the debug windows are served.
                in.wake.wait([&] {
                    return !in.running || in.closing || !tap.paused || tap.stepGrant != 0 ||
                           debugWantsAttention(rt) || save::slotRequested(rt);
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
                return !in.running || !in.halt || save::slotRequested(rt) ||
                       (tap.active.load() && debugWantsAttention(rt));
            });
            if (tap.active.load()) debugServe(rt);
            continue;
        }
        const double pacing = in.pacingMs.load();
        if (pacing > 0) {
            const double left = pacing - (clock.nowPreciseMs() - start);
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
