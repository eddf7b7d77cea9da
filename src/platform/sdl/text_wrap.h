// Breaking a line of Japanese text to a width, as the history list shows it: between any two
// characters (the text has no spaces to break at), never before a closing mark.
#pragma once

#include <functional>
#include <string>

namespace yv {

// The text with a line feed wherever it must break to stay within `width`; `advance` gives a
// character's width (a Unicode code point). A character wider than the width stands alone.
std::string wrapToWidth(const std::string& utf8, float width, const std::function<float(uint32_t)>& advance);

}  // namespace yv
