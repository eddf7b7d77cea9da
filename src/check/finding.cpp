// Positions of findings and the two ways they are printed.
#include "check/finding.h"

#include <algorithm>
#include <cstdio>

#include "core/cp932.h"

namespace yv::check {

LineMap::LineMap(std::string_view text) {
    starts_.push_back(0);
    for (size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1)) starts_.push_back(i + 1);
}

std::pair<int32_t, int32_t> LineMap::at(size_t offset) const {
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
    const size_t line = static_cast<size_t>(it - starts_.begin());  // >= 1: starts_[0] is 0
    return {static_cast<int32_t>(line), static_cast<int32_t>(offset - starts_[line - 1] + 1)};
}

std::string formatLine(const Finding& f) {
    return f.file + ":" + std::to_string(f.line) + ":" + std::to_string(f.column) + ": " + f.severity + ": " + f.text +
           " [" + f.code + "]";
}

namespace {

void jsonString(std::string& out, std::string_view s) {
    out += '"';
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

}  // namespace

std::string formatJson(const Finding& f) {
    std::string out = "{\"file\":";
    jsonString(out, f.file);
    out += ",\"line\":" + std::to_string(f.line) + ",\"column\":" + std::to_string(f.column) + ",\"severity\":";
    jsonString(out, f.severity);
    out += ",\"code\":";
    jsonString(out, f.code);
    out += ",\"text\":";
    jsonString(out, f.text);
    out += '}';
    return out;
}

std::string shown(std::string_view cp932) { return "'" + cp932ToUtf8(cp932) + "'"; }

}  // namespace yv::check
