// Comment skipping and the label walk over a script text.
#include "lang/script_source.h"

namespace yv {

int32_t skipCommentAt(BytesView t, int32_t p) {
    const int32_t n = static_cast<int32_t>(t.size());
    if (p < 0 || p + 1 >= n || t[static_cast<size_t>(p)] != '/') return p;
    const char next = t[static_cast<size_t>(p) + 1];
    if (next == '/') {
        while (p < n && t[static_cast<size_t>(p)] != '\n') ++p;
        return p;  // an unclosed comment ends at the end of the text
    }
    if (next == '*') {
        // "/*/" closes itself: the search for "*/" starts at the '*' of the opener.
        ++p;
        while (p + 1 < n && !(t[static_cast<size_t>(p)] == '*' && t[static_cast<size_t>(p) + 1] == '/')) ++p;
        if (p + 1 >= n) return n;
        return p + 1;
    }
    return p;
}

void ScriptSource::buildIndex() const {
    const BytesView t = text_;
    walkLabels(t, [&](int32_t start, int32_t colon) {
        labels_.try_emplace(std::string(t.substr(static_cast<size_t>(start), static_cast<size_t>(colon - start))), colon);
    });
}

int32_t ScriptSource::findLabel(BytesView name) const {
    std::call_once(indexed_, [this] { buildIndex(); });
    auto it = labels_.find(name);
    return it == labels_.end() ? 0 : it->second;
}

}  // namespace yv
