// Keeping the state at page ends.
#include "save/pages.h"

#include "runtime.h"
#include "save/save_game.h"

namespace yv {
namespace {
// Pages kept before the oldest is let go.
constexpr size_t kMaxPages = 100;
}  // namespace

void Pages::keep(Bytes file) {
    pages_.push_back(std::move(file));
    while (pages_.size() > kMaxPages) pages_.pop_front();
}

std::optional<Bytes> Pages::newest() const {
    if (pages_.empty()) return std::nullopt;
    return pages_.back();
}

namespace save {
void notePage(Runtime& rt) {
    // Building a save empties the replay log; a page kept is no save the script made.
    Bytes log = std::move(rt.save.log.text);
    Bytes file = buildSaveFile(rt);
    rt.save.log.text = std::move(log);
    rt.save.pages.keep(std::move(file));
}
}  // namespace save

}  // namespace yv
