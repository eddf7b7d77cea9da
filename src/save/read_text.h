// Which message pages the player has seen, by script file: the read-text memory behind
// fast-forward, kept per game in the player folder and never part of a save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_set>

#include "core/bytes.h"

namespace yv {

// A page is known by its script file's name (letter case folded), a hash of that file's
// contents and a hash of where in it the page is shown (the statement, the page's place in the
// statement's message and the message's text). A file whose contents changed has forgotten
// its pages: the next page read there starts its list afresh, and other files keep theirs.
class ReadText {
public:
    // Room for a long game many times over (8 bytes a page). When it is full, pages not yet
    // seen are no longer remembered: they stay unread, fast-forward stops at them, and what
    // was remembered before stays. An edited file's old pages give their room back.
    static constexpr size_t kMaxPages = size_t{1} << 20;
    static constexpr size_t kMaxFiles = 4096;
    static constexpr size_t kMaxNameBytes = 260;
    // The largest file this can write, and so the most a read takes.
    static constexpr int64_t kMaxFileBytes =
        int64_t{kMaxPages} * 8 + int64_t{kMaxFiles} * (kMaxNameBytes + 16) + 64;

    bool isRead(BytesView file, uint64_t fileHash, uint64_t page) const;
    // Notes the page as read; false when it was known already or there is no room left.
    bool note(BytesView file, uint64_t fileHash, uint64_t page);
    size_t pageCount() const { return pages_; }
    size_t fileCount() const { return files_.size(); }

    // The file's bytes, and back. Anything that is not exactly what encode() wrote (a damaged
    // or foreign file, garbage) reads as an empty memory.
    Bytes encode() const;
    static ReadText decode(BytesView data);

    // FNV-1a, 64 bits: stable from run to run and machine to machine.
    static uint64_t hash(BytesView bytes, uint64_t seed = 14695981039346656037ull);

private:
    struct File {
        uint64_t hash = 0;
        std::unordered_set<uint64_t> pages;
    };
    std::map<std::string, File, std::less<>> files_;
    size_t pages_ = 0;
};

}  // namespace yv
