// What the script author's debug windows see of the interpreter: the interpreter copies it here
// at statement boundaries under one short lock; the window thread copies it out under the same
// lock. Also the watch mode's statement trace and its pause and single-step requests.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/clock.h"
#include "core/mutex.h"

namespace yv {

constexpr int kDebugIntCount = 2021;   // @0 .. @2020
constexpr int kDebugStrCount = 58;     // @A .. @z
constexpr int kTraceKept = 500;        // statements the watch mode keeps
constexpr int kPreviewW = 168, kPreviewH = 128;
constexpr int kPreviewSlots = 7;       // 0, 1, offset+2 .. offset+6

// One statement as the watch mode lists it (UTF-8 texts).
struct TraceLine {
    uint64_t seq = 0;        // counts every statement traced since the run began
    std::string where;       // "file:line"
    std::string statement;   // the statement's text
    std::string variables;   // the variables it named, with their values after it ran
};

// A small copy of one screen, 168 x 128, top-down RGB.
struct PreviewPicture {
    bool drawn = false;  // the screen had pixels and its changed flag was set
    std::vector<uint8_t> rgb;
};

class DebugTap {
public:
    explicit DebugTap(WakeSignal& wake)
        : paused(wake, 0), stepGrant(wake, 0), wantVariables(wake, 0), wantScreens(wake, 0) {}

    // ---- switches (window thread) ----
    // Anything asked of the interpreter: it looks at statement boundaries only while this holds,
    // so a game without debug windows pays one relaxed load per statement.
    std::atomic<bool> active{false};
    std::atomic<bool> monitorOn{false};
    std::atomic<bool> previewOn{false};
    std::atomic<bool> traceOn{false};

    // Pause between statements (watch mode): while `paused` holds, the interpreter runs no new
    // statement except one for each grant. Whatever is in progress (a fade, typing) goes on.
    WakeFlag paused;
    WakeFlag stepGrant;
    // Set by the window thread to ask for fresh copies; the interpreter answers at its next
    // statement boundary, at the end of a step or while it waits, and clears the flag.
    WakeFlag wantVariables;
    WakeFlag wantScreens;
    std::atomic<int32_t> previewOffset{0};
    // True while the interpreter holds at a pause (the watch mode shows it).
    std::atomic<bool> holding{false};

    // Whether the interpreter must look at this statement boundary: a request to answer, a
    // pause, or the trace. (Plain loads: the common case is a monitor open and nothing asked.)
    bool wantsStatements() const {
        return traceOn.load(std::memory_order_relaxed) || paused.load() != 0 || wantVariables.load() != 0 ||
               wantScreens.load() != 0;
    }

    // ---- under `mutex`: what the interpreter last copied ----
    Mutex mutex;
    struct Variables {
        std::array<int32_t, kDebugIntCount> ints{};
        std::array<Bytes, kDebugStrCount> strings;
        std::vector<int32_t> changed;  // integer rows to rewrite since the window last looked
        bool news = false;             // something changed since the window last looked
        bool stringNews = false;
        bool fullRefresh = false;      // rebuild every row (opened, a game loaded)
        int32_t version = 0;           // counts the copies made
    } vars YV_GUARDED_BY(mutex);
    std::deque<TraceLine> trace YV_GUARDED_BY(mutex);
    uint64_t traceSeq YV_GUARDED_BY(mutex) = 0;
    std::array<PreviewPicture, kPreviewSlots> previews YV_GUARDED_BY(mutex);
    // The paging offset the pictures were made for.
    int32_t previewsFor YV_GUARDED_BY(mutex) = -1;
    int32_t previewVersion YV_GUARDED_BY(mutex) = 0;
    // While holding: the statement that runs next ("where: text").
    std::string heldAt YV_GUARDED_BY(mutex);

    // ---- the interpreter thread's own bookkeeping for the trace ----
    double lastCopyMs = -1e9;  // when the variables were last copied without a request
    struct LineIndex {
        const void* source = nullptr;  // the script text the index was built for
        std::vector<int32_t> newlines;
    } lines;

    // The trace lines newer than `seq` (window thread).
    std::vector<TraceLine> traceSince(uint64_t seq) YV_EXCLUDES(mutex) {
        MutexLock lock(mutex);
        auto it = std::find_if(trace.begin(), trace.end(), [&](const TraceLine& l) { return l.seq > seq; });
        return {it, trace.end()};
    }
    void addTrace(TraceLine line) YV_REQUIRES(mutex) {
        line.seq = ++traceSeq;
        trace.push_back(std::move(line));
        while (trace.size() > static_cast<size_t>(kTraceKept)) trace.pop_front();
    }
};

}  // namespace yv
