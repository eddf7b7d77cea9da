// Reading text table files into the rows of the text items.
#include "text/text_table.h"

#include <algorithm>

namespace yv::text::texttable {
namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

BytesView trim(BytesView s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// Whether a quote at i closes its literal: only a comma or the end may follow (blanks aside).
bool closesLiteral(BytesView r, size_t i) {
    size_t k = i + 1;
    while (k < r.size() && blank(r[k])) ++k;
    return k >= r.size() || r[k] == ',';
}

}  // namespace

std::vector<Bytes> splitRecord(BytesView r) {
    std::vector<Bytes> out;
    Bytes quoted, raw;
    bool inQuote = false, sawQuote = false;
    auto finish = [&] {
        out.push_back(sawQuote ? quoted : Bytes(trim(raw)));
        quoted.clear();
        raw.clear();
        sawQuote = false;
    };
    for (size_t i = 0; i < r.size(); ++i) {
        const char c = r[i];
        if (inQuote) {
            if (c == '"' && closesLiteral(r, i))
                inQuote = false;
            else
                quoted += c;
            continue;
        }
        if (c == ',') {
            finish();
        } else if (c == '"') {
            inQuote = sawQuote = true;
        } else {
            raw += c;
        }
    }
    finish();
    return out;
}

void fill(std::vector<TextItem>& items, int32_t count, int32_t rows, BytesView file) {
    count = std::min<int32_t>(count, static_cast<int32_t>(items.size()));
    size_t p = 0;
    for (int32_t r = 0; r < rows; ++r) {
        const size_t semi = file.find(';', p);
        if (semi == BytesView::npos) break;
        const std::vector<Bytes> fields = splitRecord(file.substr(p, semi - p));
        for (int32_t j = 0; j < count && static_cast<size_t>(j) < fields.size(); ++j) {
            TextItem& it = items[static_cast<size_t>(j)];
            if (static_cast<size_t>(r) >= it.rows.size()) continue;
            const Bytes& f = fields[static_cast<size_t>(j)];
            const bool empty = f.find("\\z") != Bytes::npos || f.find("null") != Bytes::npos ||
                               f.find("NULL") != Bytes::npos;
            it.rows[static_cast<size_t>(r)] = empty ? Bytes("\\e") : f + "\\e";
        }
        p = semi + 1;
        if (file.substr(p, 2) == "\r\n") p += 2;
        if (p >= file.size() || file.find(';', p) == BytesView::npos) break;
    }
}

}  // namespace yv::text::texttable
