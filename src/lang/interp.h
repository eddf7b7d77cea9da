// Interpreter state: script text, read position, variables, call and block stacks, flags.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "core/bytes.h"
#include "core/clock.h"
#include "core/in_progress.h"
#include "lang/debug_tap.h"
#include "lang/script_source.h"
#include "lang/statement_cache.h"

namespace yv {

struct Runtime;

constexpr int32_t kEndMarker = -214748364;      // closes an integer list; "argument not given"
constexpr int32_t kColourMarker = -200010001;   // the item rgb( produces
constexpr int kIntVarCount = 2021;               // @0 .. @2020
constexpr int kStrVarCount = 58;                 // @A .. @z (byte - 0x41)
constexpr int kStrSlotCount = 60;                // string variables and the two text slots after them
constexpr int kStackSize = 1024;                 // call stack and block stack entries

// Condition-list codes.
constexpr int32_t kCmpEq = -200001211;
constexpr int32_t kCmpNe = -200001200;
constexpr int32_t kCmpGe = -200001199;
constexpr int32_t kCmpLe = -200001188;
constexpr int32_t kCmpGt = -200001177;
constexpr int32_t kCmpLt = -200001166;
constexpr int32_t kAnd = -200001221;
constexpr int32_t kOr = -200001231;

struct CallStack {
    std::array<Bytes, kStackSize + 1> file;   // caller file; one entry above the top for saving
    std::array<int32_t, kStackSize + 1> pos{};
    std::array<int32_t, kStackSize + 1> extra{};
    int32_t depth = 0;
};

struct BlockStack {
    std::array<int32_t, kStackSize> pos{};
    int32_t depth = 0;
    int32_t opened = 0;  // blocks opened by the running if-scan
    // A stray '}' may take the depth below 0; entries are stored only where the array has room
    // and further entries beyond its size are refused.
    bool push(int32_t p) {
        if (depth >= kStackSize) return false;
        if (depth >= 0) pos[static_cast<size_t>(depth)] = p;
        ++depth;
        return true;
    }
    void pop() { --depth; }
};

struct WaitGate {
    explicit WaitGate(InProgress& p) : waitMs(p) {}
    uint32_t lastCheck = 0;
    uint32_t lastElapse = 0;
    bool started = false;
    ProgressFlag<int32_t, InProgress::kWait> waitMs;  // 0 = no wait
    void reset() {
        lastCheck = lastElapse = 0;
        started = false;
    }
};

struct Interp {
    // Script text and position.
    ScriptPtr script = std::make_shared<const ScriptSource>(Bytes{});
    const Bytes& text() const { return script->text(); }
    void setText(Bytes t) { script = std::make_shared<const ScriptSource>(std::move(t)); }
    Bytes scriptName;   // current script name; ";" = the text already loaded
    Bytes firstScript;  // the configured first script, target of the full reset
    int32_t pos = 0;
    int32_t stmtStart = 0;
    // The command statement being run: its name and its argument text through a ';' (one added
    // where the statement has none). They view `heldText`, which keeps the text they were read
    // from while a jump replaces `script`, or `argRoom`.
    BytesView cmdName;
    BytesView argText;
    ScriptPtr heldText;
    Bytes argRoom;
    ScriptPtr argRoomText;  // the statement argRoom was built for: its text and position
    int32_t argRoomAt = -1;
    // The statement cache's entry for it (may be stale: checked with the cache before use).
    DecodedStatement* stmtEntry = nullptr;

    // Variables.
    std::array<int32_t, kIntVarCount> ivar{};
    std::array<Bytes, kStrSlotCount> svar;

    // Results of the last command.
    int32_t result = 0;
    Bytes strResult;

    // Flags shared with the window thread. Those the interpreter thread waits on notify `wake`
    // when stored, so its idle waits and its pacing sleep end at once when they change.
    WakeSignal wake;
    WakeFlag running{wake, 0};
    WakeFlag suspended{wake, 0};
    WakeFlag threadActive{wake, 0};
    WakeFlag stepsEnabled{wake, 0};
    WakeFlag halt{wake, 0};
    // Set once by the close sequence (window close, Escape, a signal, the time limit): every
    // sleep of the interpreter ends at once and stays short from then on.
    WakeFlag closing{wake, 0};
    // The script itself ended the game (end, breakapp, running past its text): a close then
    // leaves no resume file (read by the shell once the thread has stopped).
    std::atomic<int32_t> scriptEnded{0};
    // What is in progress, one bit each: the step's one look before a statement. Its flags live
    // with what they belong to (the screens, the text, the choices, the media) and here.
    InProgress inProgress;
    std::atomic<int32_t> leftClick{0};
    std::atomic<int32_t> rightClick{0};
    // mouseclickwait: 1 left, 2 right, 3 no click ends it. The close clears it from the window
    // thread, so it is an atomic (and so is the mask).
    AtomicProgressFlag<int32_t, InProgress::kClickWait> clickWaitMode{inProgress};
    // What the debug windows see and ask for (their copies, the trace, pause and single step).
    DebugTap debug{wake};
    // Forgets the clicks nothing waited for; runs after every statement. Relaxed, and a store
    // only when a click is there: a click flag carries nothing but itself (input writes the
    // pointer position and the rest to atomics of their own), so clearing it orders nothing
    // else, and coherence alone keeps a later click from being lost to an earlier clear. A click
    // that lands between the look and the clear is dropped, as the plain clear a moment later
    // would drop it.
    void forgetClicks() {
        if (leftClick.load(std::memory_order_relaxed) != 0) leftClick.store(0, std::memory_order_relaxed);
        if (rightClick.load(std::memory_order_relaxed) != 0) rightClick.store(0, std::memory_order_relaxed);
    }

    // Pacing and the steps-per-second figure.
    std::atomic<double> pacingMs{30.0};
    std::atomic<int32_t> stepsPerSecond{0};
    int32_t passCount = 0;
    uint32_t passSecondStart = 0;

    ScriptCache scriptCache;
    // The statements of the current text as read before: a loop reads each of them once.
    StatementCache statements;
    // The step's direct ways (a loop's control flow and learnt assignments run from their kept
    // forms, past the general path). Off only in tests, which compare the two.
    bool directWays = true;

    // getrand's generator: seeded from the clock at its first use in a run.
    bool randSeeded = false;
    uint32_t randState = 0;
    CallStack calls;
    BlockStack blocks;
    WaitGate wait{inProgress};

    // Told when a return has taken the call stack down to `depth`: a message or a mouse trap
    // that waits for its subroutine resumes then. Set by the Runtime, which knows who waits.
    void (*onReturn)(Runtime& rt, int32_t depth) = nullptr;

    // The string scanner's inline-command flag survives between calls.
    bool inlineCommandFlag = false;

    // Indices assigned since the variable monitor last looked (dropped beyond its room; the
    // monitor's copy at a statement boundary empties it).
    std::vector<int32_t> changes;
    void noteChange(int32_t index) {
        if (changes.size() < 2022) changes.push_back(index);
    }

    // Integer variable access that ignores indices outside 0..2020.
    int32_t getInt(int64_t i) const {
        return (i >= 0 && i < kIntVarCount) ? ivar[static_cast<size_t>(i)] : 0;
    }
    bool setInt(int64_t i, int32_t v) {
        if (i < 0 || i >= kIntVarCount) return false;
        ivar[static_cast<size_t>(i)] = v;
        noteChange(static_cast<int32_t>(i));
        return true;
    }
};

}  // namespace yv
