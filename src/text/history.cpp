// The history ring and the line building of the history dialog.
#include "text/history.h"

#include <algorithm>

#include "core/cp932.h"
#include "runtime.h"

namespace yv::text::history {
namespace {

constexpr size_t kLineBytes = 96;

const Bytes& wideSpace() {
    static const Bytes s = utf8ToCp932("　");
    return s;
}

// How much of s fits in room bytes without cutting a double-byte character in two (the
// original cut at the byte and showed the half character as garbage).
size_t fitting(BytesView s, size_t room) {
    size_t n = 0;
    while (n < s.size()) {
        const size_t len = isLeadByte(static_cast<unsigned char>(s[n])) && n + 1 < s.size() ? 2 : 1;
        if (n + len > room) break;
        n += len;
    }
    return n;
}

// A list row; `cut` when it goes on with the row before it where that row reached 96 bytes
// (its "　" only indents, no line feed of the message stands there).
struct Row {
    Bytes text;
    bool cut = false;
};

void addLine(std::vector<Row>& out, Bytes line, bool cut = false) {
    if (out.size() > 40) out.erase(out.begin());
    out.push_back(Row{std::move(line), cut});
}

// A part that follows a line feed: "　" + piece, cut so that no line exceeds 96 bytes.
void addContinuation(std::vector<Row>& out, BytesView part, bool cut) {
    const size_t room = kLineBytes - wideSpace().size();
    do {
        const size_t n = std::max<size_t>(fitting(part, room), 1);
        addLine(out, wideSpace() + Bytes(part.substr(0, n)), cut);
        part.remove_prefix(std::min(n, part.size()));
        cut = true;
    } while (!part.empty());
}

// The label's line: L + "　" + T, the rest of a long T in further lines.
void addLabelled(std::vector<Row>& out, BytesView label, BytesView text) {
    if (label.empty() && text.empty()) return;
    if (label.size() + text.size() + 2 < kLineBytes) {
        addLine(out, Bytes(label) + wideSpace() + Bytes(text));
        return;
    }
    const size_t first = fitting(text, label.size() + 2 < kLineBytes ? kLineBytes - (label.size() + 2) : 0);
    addLine(out, Bytes(label) + wideSpace() + Bytes(text.substr(0, first)));
    text.remove_prefix(std::min(first, text.size()));
    if (!text.empty()) addContinuation(out, text, true);
}

}  // namespace

void finishMessage(TextState& t, int32_t item) {
    RenderState& rs = t.rs;
    History& h = t.history;
    if (item == 1) {
        if (h.recording) {
            MutexLock lock(h.mutex);
            const auto at = [](int32_t i) { return static_cast<size_t>(((i % History::kSize) + History::kSize) % History::kSize); };
            h.labels[at(h.writeIndex)] = rs.labelText;
            h.writeIndex = static_cast<int32_t>(at(h.writeIndex + 1));
            h.displayIndex = static_cast<int32_t>(at(h.displayIndex + 1));
            h.texts[at(h.writeIndex)] = rs.historyText;
            h.writeIndex = static_cast<int32_t>(at(h.writeIndex + 1));
            h.displayIndex = static_cast<int32_t>(at(h.displayIndex + 1));
        }
    } else {
        rs.labelText = rs.historyText;
    }
    rs.historyText.clear();
    rs.historySent = 0;
}

namespace {

std::vector<Row> rows(const History& h) {
    MutexLock lock(h.mutex);
    std::vector<Row> out;
    // A message holds two neighbouring positions: its label, then its text. The oldest pair
    // starts at the display index.
    const int32_t start = ((h.displayIndex % History::kSize) + History::kSize) % History::kSize;
    for (int k = 0; k < History::kSize; k += 2) {
        const size_t p = static_cast<size_t>((start + k) % History::kSize);
        const size_t q = (p + 1) % History::kSize;
        const BytesView label = h.labels[p], text = h.texts[q];
        const size_t lf = text.find('\n');
        if (lf == BytesView::npos) {
            addLabelled(out, label, text);
            continue;
        }
        addLabelled(out, label, text.substr(0, lf));
        BytesView rest = text.substr(lf + 1);
        for (;;) {
            const size_t next = rest.find('\n');
            addContinuation(out, rest.substr(0, next), false);
            if (next == BytesView::npos) break;
            rest.remove_prefix(next + 1);
        }
    }
    return out;
}

}  // namespace

std::vector<Bytes> dialogLines(const History& h) {
    std::vector<Bytes> out;
    for (Row& r : rows(h)) out.push_back(std::move(r.text));
    return out;
}

std::vector<Bytes> joinedLines(const History& h) {
    std::vector<Bytes> out;
    for (const Row& r : rows(h)) {
        if (r.cut && !out.empty())
            out.back() += BytesView(r.text).substr(wideSpace().size());
        else
            out.push_back(r.text);
    }
    return out;
}

void show(Runtime& rt) { rt.platform.showHistory(joinedLines(rt.text.history)); }

}  // namespace yv::text::history
