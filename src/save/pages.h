// The game's state at the last click waits that ended a page: kept for going back a page and
// for the resume file a closed game leaves.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <utility>

#include "core/bytes.h"

namespace yv {

struct Runtime;

class Pages {
public:
    // The page shown and the 100 before it: a player can go back 100 pages.
    static constexpr size_t kMaxPages = 101;
    // What the kept pages may hold at most (see pages.cpp).
    static constexpr size_t kMaxBytes = size_t{64} << 20;

    // A page's state as a save file holds it. The pages after the one shown are forgotten (a
    // page reached after going back starts another way on), and the oldest go while the count
    // or the bytes are over their bounds.
    void keep(BytesView file);
    // The state of the page shown (the newest, unless the player went back), as a save file.
    std::optional<Bytes> newest() const;
    // The state of the i-th kept page (0 the oldest).
    std::optional<Bytes> at(size_t i) const;
    // Makes the i-th kept page the one shown and gives its state (nothing when there is none).
    std::optional<Bytes> moveTo(size_t i);

    size_t count() const { return pages_.size(); }
    // The page shown (0 the oldest); count() - 1 unless the player went back.
    size_t shown() const { return shown_; }
    // After a move the page moved to is shown again by its statement: that page end is the
    // page shown, not a new one. True (once) when a move waits for it.
    bool takeMove() { return std::exchange(moved_, false); }
    bool movePending() const { return moved_; }
    // The bytes the kept pages hold, compressed.
    size_t storedBytes() const { return stored_; }
    void clear();

private:
    struct Page {
        Bytes lz4;          // the save file compressed
        size_t size = 0;    // its length uncompressed
    };
    static size_t weight(const Page& p) { return p.lz4.capacity() + sizeof(Page); }
    void dropOldest();

    std::deque<Page> pages_;
    size_t shown_ = 0;
    size_t stored_ = 0;
    bool moved_ = false;
    // The compressor's input and output, kept between pages (about two pages' bytes).
    Bytes differences_, scratch_;
};

namespace save {
// The state now, kept as a page (called between steps after a page's click wait began). What a
// script can see, the replay log included, is left as it was.
void notePage(Runtime& rt);
}  // namespace save

}  // namespace yv
