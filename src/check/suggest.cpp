// Damerau-Levenshtein distance over short names.
#include "check/suggest.h"

#include <algorithm>

namespace yv::check {
namespace {

char fold(char c, bool on) { return on && c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

size_t editDistance(std::string_view a, std::string_view b, bool foldCase) {
    const size_t n = a.size(), m = b.size();
    std::vector<size_t> prev2(m + 1), prev(m + 1), cur(m + 1);
    for (size_t j = 0; j <= m; ++j) prev[j] = j;
    for (size_t i = 1; i <= n; ++i) {
        cur[0] = i;
        for (size_t j = 1; j <= m; ++j) {
            const bool same = fold(a[i - 1], foldCase) == fold(b[j - 1], foldCase);
            cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && fold(a[i - 1], foldCase) == fold(b[j - 2], foldCase) &&
                fold(a[i - 2], foldCase) == fold(b[j - 1], foldCase))
                cur[j] = std::min(cur[j], prev2[j - 2] + 1);
        }
        std::swap(prev2, prev);
        std::swap(prev, cur);
    }
    return prev[m];
}

std::string nearest(std::string_view name, const std::vector<std::string_view>& candidates, bool foldCase) {
    if (name.empty() || name.size() > 64) return {};
    const size_t allowed = std::max<size_t>(1, name.size() / 4);
    size_t best = allowed + 1;
    std::string_view found;
    for (std::string_view c : candidates) {
        const size_t lengthGap = c.size() > name.size() ? c.size() - name.size() : name.size() - c.size();
        if (lengthGap > allowed) continue;
        const size_t d = editDistance(name, c, foldCase);
        if (d < best) {
            best = d;
            found = c;
        }
    }
    return std::string(found);
}

}  // namespace yv::check
