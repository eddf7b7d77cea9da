// The game's state at the last click waits that ended a page: kept for going back a page and
// for the resume file a closed game leaves.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "core/bytes.h"

namespace yv {

struct Runtime;

class Pages {
public:
    // A page's state as a save file holds it (the newest last).
    void keep(Bytes file);
    std::optional<Bytes> newest() const;
    size_t count() const { return pages_.size(); }
    void clear() { pages_.clear(); }

private:
    std::deque<Bytes> pages_;
};

namespace save {
// The state now, kept as a page (called between steps after a page's click wait began). What a
// script can see, the replay log included, is left as it was.
void notePage(Runtime& rt);
}  // namespace save

}  // namespace yv
