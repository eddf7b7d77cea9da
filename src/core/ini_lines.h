// Our own small settings files: a section line, then KEY=VALUE lines; blank lines and lines
// starting with ';' or '#' pass.
#pragma once

#include <string_view>

namespace yv::ini {

inline std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

struct Line {
    int number = 0;
    std::string_view text;             // trimmed
    std::string_view rawKey, rawValue;  // either side of the first '=' as written
    std::string_view key, value;        // the same, trimmed
};

enum class Outcome { Read, NoSection, NotKeyValue, Stopped };

// Hands each KEY=VALUE line after `section` to each(line), which returns false to stop.
// `line` is the number of the line that ended the reading (for NotKeyValue).
template <typename Each>
Outcome readSection(std::string_view text, std::string_view section, int& line, Each each) {
    bool inSection = false;
    line = 0;
    while (!text.empty()) {
        ++line;
        const size_t nl = text.find('\n');
        const std::string_view l = trim(text.substr(0, nl));
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        if (l.empty() || l.front() == ';' || l.front() == '#') continue;
        if (!inSection) {
            if (l != section) return Outcome::NoSection;
            inSection = true;
            continue;
        }
        const size_t eq = l.find('=');
        if (eq == std::string_view::npos) return Outcome::NotKeyValue;
        Line x{line, l, l.substr(0, eq), l.substr(eq + 1), trim(l.substr(0, eq)), trim(l.substr(eq + 1))};
        if (!each(x)) return Outcome::Stopped;
    }
    return inSection ? Outcome::Read : Outcome::NoSection;
}

}  // namespace yv::ini
