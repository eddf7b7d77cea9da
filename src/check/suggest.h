// The nearest of some names to a misspelt one, for "did you mean" hints.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace yv::check {

// Edit distance (insertions, deletions, substitutions, swaps of neighbours), ASCII letters
// folded when `foldCase`.
size_t editDistance(std::string_view a, std::string_view b, bool foldCase);

// The candidate closest to `name`, when it is close enough to be a likely slip (about one edit
// in four letters); else empty.
std::string nearest(std::string_view name, const std::vector<std::string_view>& candidates, bool foldCase);

}  // namespace yv::check
