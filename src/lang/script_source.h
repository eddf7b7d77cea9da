// One loaded script file: its bytes and, built on first use, the index of its labels.
#pragma once

#include <memory>
#include <mutex>  // std::once_flag
#include <string>
#include <unordered_map>
#include <vector>

#include "core/bytes.h"
#include "core/mutex.h"
#include "io/resources.h"

namespace yv {

class ScriptSource {
public:
    explicit ScriptSource(Bytes text) : text_(std::move(text)) {}
    const Bytes& text() const { return text_; }

    // Position of the ':' of the first label of that exact name (case matters), or 0.
    // Equivalent to walking the text from its start for every lookup: the walk's state never
    // depends on the name sought, so one walk can record the first position of every name.
    int32_t findLabel(BytesView name) const;

private:
    void buildIndex() const;
    Bytes text_;
    mutable std::once_flag indexed_;
    // Looked up by view: a jump should not build a string to find its label.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    mutable std::unordered_map<std::string, int32_t, NameHash, std::equal_to<>> labels_;
};

using ScriptPtr = std::shared_ptr<const ScriptSource>;

// Script files read before, by name, with the version they were read at.
struct ScriptCache {
    struct Entry {
        Bytes name;
        Resources::Version version;
        ScriptPtr source;
    };
    Mutex mutex;
    std::vector<Entry> entries YV_GUARDED_BY(mutex);  // a game has few script files
    // The name a text was read under; empty when no file the cache knows holds it.
    Bytes nameOf(const ScriptPtr& source) YV_EXCLUDES(mutex) {
        MutexLock lock(mutex);
        for (const Entry& e : entries)
            if (e.source == source) return e.name;
        return {};
    }
    // The file the interpreter read last, while it is known to be current: the game has written
    // no file since and too little time has passed for another program to edit it. A jump or
    // return within that file (a script's loops) then takes it without asking for its version.
    // Only the thread that runs the script reads or sets these.
    Bytes recentName;
    ScriptPtr recent;
    uint64_t recentWrites = 0;
    int64_t recentAtMs = 0;
    // The time as the step's lane read it last, and how many of its jumps may still use it.
    int64_t laneNowMs = 0;
    int32_t laneClockLeft = 0;
};

// Skip comment: at "//" returns the position of the line feed that ends it, at "/*" the position
// of the closing '/', else p. The result points at the comment's last byte. Clipped to the text.
int32_t skipCommentAt(BytesView text, int32_t p);
inline int32_t skipComment(BytesView text, int32_t p) {
    // Nearly every position the reader asks about starts no comment: answered here, inline.
    if (p >= 0 && static_cast<size_t>(p) < text.size() && text[static_cast<size_t>(p)] != '/') return p;
    return skipCommentAt(text, p);
}

// The label walk: calls found(nameStart, colon) for every label of the text in order, the same
// name as often as it is written (the search takes the first).
template <typename Found>
void walkLabels(BytesView t, Found&& found) {
    const int32_t n = static_cast<int32_t>(t.size());
    bool open = false;
    int32_t start = 0;
    for (int32_t p = 0; p < n; ++p) {
        p = skipComment(t, p);
        if (p >= n) break;
        const char b = t[static_cast<size_t>(p)];
        if (b == '|' && !open) {
            open = true;
            start = p + 1;
        } else if (b == ':' && open) {
            found(start, p);
            open = false;
        } else if (b == '\n') {
            open = false;
        }
    }
}

}  // namespace yv
