// Keeping the state at page ends, LZ4-compressed.
#include "save/pages.h"

#include <lz4.h>

#include <limits>

#include "runtime.h"
#include "save/save_game.h"

namespace yv {
namespace {

// A page is mostly its picture, three bytes a pixel. Each byte is kept as its difference from the
// byte a pixel before (the same colour channel): gradients and flat areas, which game pictures
// are made of, become runs LZ4 finds at once (a sky of gradients shrinks about six times instead
// of two, and compresses faster).
void toDifferences(BytesView in, Bytes& out) {
    out.resize(in.size());
    const auto* s = reinterpret_cast<const uint8_t*>(in.data());
    auto* o = reinterpret_cast<uint8_t*>(out.data());
    const size_t n = in.size();
    for (size_t k = 0; k < n && k < 3; ++k) o[k] = s[k];
    for (size_t k = 3; k < n; ++k) o[k] = static_cast<uint8_t>(s[k] - s[k - 3]);
}

void fromDifferences(Bytes& b) {
    auto* p = reinterpret_cast<uint8_t*>(b.data());
    for (size_t k = 3; k < b.size(); ++k) p[k] = static_cast<uint8_t>(p[k] + p[k - 3]);
}

}  // namespace

// The bytes are a hard bound, not a goal: the picture dominates a page (width * height * 3), a
// noisy one hardly compresses, and a game of a large screen would otherwise hold hundreds of
// megabytes for a feature the player may never use. Fewer pages to go back to is the lesser harm.
void Pages::keep(BytesView file) {
    moved_ = false;
    while (pages_.size() > shown_ + 1) {
        stored_ -= weight(pages_.back());
        pages_.pop_back();
    }
    if (file.size() > static_cast<size_t>(std::numeric_limits<int>::max()) - 1024) return;
    const int n = static_cast<int>(file.size());
    const int bound = LZ4_compressBound(n);
    if (scratch_.size() < static_cast<size_t>(bound)) scratch_.resize(static_cast<size_t>(bound));
    toDifferences(file, differences_);
    const int packed = LZ4_compress_default(differences_.data(), scratch_.data(), n, bound);
    if (packed <= 0) return;
    Page page{Bytes(scratch_.data(), static_cast<size_t>(packed)), file.size()};
    const size_t w = weight(page);
    while (!pages_.empty() && (pages_.size() >= kMaxPages || stored_ + w > kMaxBytes)) dropOldest();
    if (w > kMaxBytes) {
        // Even alone it would break the bound: nothing is kept (and nothing is offered).
        shown_ = 0;
        return;
    }
    stored_ += w;
    pages_.push_back(std::move(page));
    shown_ = pages_.size() - 1;
}

void Pages::dropOldest() {
    stored_ -= weight(pages_.front());
    pages_.pop_front();
    if (shown_ > 0) --shown_;
}

std::optional<Bytes> Pages::at(size_t i) const {
    if (i >= pages_.size()) return std::nullopt;
    const Page& p = pages_[i];
    Bytes out(p.size, '\0');
    const int got = LZ4_decompress_safe(p.lz4.data(), out.data(), static_cast<int>(p.lz4.size()),
                                        static_cast<int>(p.size));
    if (got < 0 || static_cast<size_t>(got) != p.size) return std::nullopt;
    fromDifferences(out);
    return out;
}

std::optional<Bytes> Pages::newest() const { return at(shown_); }

std::optional<Bytes> Pages::moveTo(size_t i) {
    std::optional<Bytes> file = at(i);
    if (!file) return std::nullopt;
    shown_ = i;
    moved_ = true;
    return file;
}

void Pages::clear() {
    pages_.clear();
    shown_ = 0;
    stored_ = 0;
    moved_ = false;
}

namespace save {
void notePage(Runtime& rt) {
    Pages& pages = rt.save.pages;
    if (pages.takeMove()) return;  // the page gone back (or forward) to, shown again
    // Building a save empties the replay log; a page kept is no save the script made.
    Bytes log = std::move(rt.save.log.text);
    const Bytes file = buildSaveFile(rt);
    rt.save.log.text = std::move(log);
    pages.keep(file);
}
}  // namespace save

}  // namespace yv
