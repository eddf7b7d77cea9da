// Conversion between code page 932 and UTF-8, used only at the edges (window, dialogs, file names).
#pragma once

#include <string>
#include <string_view>

namespace yv {

// Invalid or cut-off sequences become U+FFFD; never fails.
std::string cp932ToUtf8(std::string_view cp932);

// Characters with no CP932 form become '?'.
std::string utf8ToCp932(std::string_view utf8);

}  // namespace yv
