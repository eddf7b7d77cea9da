// What the checker (and the runtime's --warnings) report: one place, one code, one sentence.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yv::check {

struct Finding {
    std::string file;  // relative to the game folder, as the script names it
    int32_t line = 1;  // 1-based
    int32_t column = 1;  // 1-based, in bytes
    std::string severity = "warning";  // "warning", or "note" for what was not checked
    std::string code;  // short and stable: "unknown-command", "missing-label", ...
    std::string text;  // UTF-8
};

// Line starts of a text, so that byte positions become line and column quickly.
class LineMap {
public:
    explicit LineMap(std::string_view text);
    // 1-based line and column of byte offset `at` (clamped to the text).
    std::pair<int32_t, int32_t> at(size_t offset) const;

private:
    std::vector<size_t> starts_;
};

// FILE:LINE:COLUMN: warning: TEXT [CODE]
std::string formatLine(const Finding& f);
// {"file":…,"line":…,"column":…,"severity":…,"code":…,"text":…}
std::string formatJson(const Finding& f);

// Script bytes (CP932) to UTF-8 for the sentence, quoted for the reader.
std::string shown(std::string_view cp932);

}  // namespace yv::check
