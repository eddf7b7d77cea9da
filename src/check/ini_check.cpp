// The start-up settings file, line by line, against the keys the configuration reader asks for.
#include "check/ini_check.h"

#include <climits>
#include <cstdlib>
#include <map>

#include "check/suggest.h"
#include "io/ini.h"
#include "ui/config.h"

namespace yv::check {
namespace {

BytesView trim(BytesView s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The sensible values of the numeric settings (section and key folded).
struct Range {
    const char* section;
    const char* key;
    long lo, hi;
    const char* why;
};
constexpr Range kRanges[] = {
    {"fps", "fps", 0, 1000, "milliseconds between steps"},
    {"windowsize", "right", 1, 8192, "the screen width"},
    {"windowsize", "bottom", 1, 8192, "the screen height"},
    {"windowsize", "left", 0, 8192, "the screen origin"},
    {"windowsize", "top", 0, 8192, "the screen origin"},
    {"windowscreen", "right", 1, 8192, "the full-screen width"},
    {"windowscreen", "bottom", 1, 8192, "the full-screen height"},
    {"windowscreen", "bits", 0, 32, "0 (the desktop's depth), 16, 24 or 32"},
    {"font", "size", 1, 8192, "the character height in pixels"},
    {"font", "hold", 0, 1000, "the weight: 400 normal, 700 bold"},
    {"font", "strikeout", 0, 255, "a byte"},
    {"font", "italic", 0, 255, "a byte"},
    {"font", "underline", 0, 255, "a byte"},
    {"text", "speed", -1, 100000, "milliseconds per character"},
    {"text", "wait", 0, 100000, "milliseconds"},
    {"windowsset", "contrast", -255, 255, "added to each colour channel"},
    {"data", "dat", 0, 1, "0 or 1"},
    {"windowscreen", "full", 0, 1, "0 or 1"},
    {"windowscreen", "menu", 0, 1, "0 or 1"},
    {"windowscreen", "popmenu", 0, 1, "0 or 1"},
    {"debugwindow", "debug", 0, 1, "0 or 1"},
    {"debugwindow", "debugprev", 0, 1, "0 or 1"},
    {"mci", "midi", 0, 1, "0 or 1"},
    {"mci", "wave", 0, 1, "0 or 1"},
    {"mci", "cdda", 0, 1, "0 or 1"},
    {"mci", "movie", 0, 1, "0 or 1"},
    {"mci", "avi", 0, 1, "0 or 1"},
};

}  // namespace

std::vector<Finding> checkIni(BytesView text, const char* fileName) {
    // The keys the configuration reader asks for, learnt by letting it read.
    std::vector<std::pair<Bytes, Bytes>> asked;
    IniFile probe;
    probe.recordAsked(&asked);
    Config config;
    config.read(probe);
    // Folded for matching, as the reader writes them for the sentences.
    std::map<std::pair<Bytes, Bytes>, Bytes> known;
    std::map<Bytes, Bytes> sections;
    for (const auto& [s, k] : asked) {
        known.emplace(std::pair(lowerAscii(s), lowerAscii(k)), k);
        sections.emplace(lowerAscii(s), s);
    }

    std::vector<Finding> out;
    auto add = [&](int line, int column, const char* code, std::string text) {
        Finding f;
        f.file = fileName;
        f.line = line;
        f.column = column;
        f.code = code;
        f.text = std::move(text);
        out.push_back(std::move(f));
    };
    Bytes section;
    int lineNo = 0;
    for (size_t p = 0; p < text.size();) {
        size_t e = text.find('\n', p);
        if (e == BytesView::npos) e = text.size();
        const BytesView line = trim(text.substr(p, e - p));
        const int column = static_cast<int>(line.empty() ? 1 : line.data() - text.data() - static_cast<std::ptrdiff_t>(p) + 1);
        p = e + 1;
        ++lineNo;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            const BytesView written = line.substr(1, close == BytesView::npos ? BytesView::npos : close - 1);
            section = lowerAscii(written);
            if (!sections.count(section)) {
                std::vector<std::string_view> names;
                for (const auto& [f, original] : sections) names.emplace_back(original);
                std::string near = nearest(written, names, true);
                add(lineNo, column, "unknown-setting",
                    "the section [" + std::string(written) + "] is not read" + (near.empty() ? "" : " (did you mean [" + near + "]?)"));
            }
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == BytesView::npos) continue;
        const BytesView keyWritten = trim(line.substr(0, eq));
        const Bytes key = lowerAscii(keyWritten);
        const BytesView value = trim(line.substr(eq + 1));
        if (!sections.count(section)) continue;  // said once, at the section
        if (!known.count({section, key})) {
            std::vector<std::string_view> keys;
            for (const auto& [sk, original] : known)
                if (sk.first == section) keys.emplace_back(original);
            const std::string near = nearest(keyWritten, keys, true);
            add(lineNo, column, "unknown-setting",
                "the key '" + std::string(keyWritten) + "' of [" + std::string(sections[section]) + "] is not read" +
                    (near.empty() ? "" : " (did you mean '" + near + "'?)"));
            continue;
        }
        for (const Range& r : kRanges) {
            if (section != r.section || key != r.key) continue;
            char* endp = nullptr;
            const Bytes v(value);
            const long n = std::strtol(v.c_str(), &endp, 10);
            if (endp == v.c_str()) {
                add(lineNo, column, "bad-setting", "'" + v + "' is no number: the setting reads as 0");
            } else if (n < r.lo || n > r.hi) {
                add(lineNo, column, "bad-setting",
                    std::to_string(n) + " is out of range for " + std::string(keyWritten) + " (" + r.why + ": " +
                        std::to_string(r.lo) + " to " + std::to_string(r.hi) + ")");
            }
        }
    }
    return out;
}

}  // namespace yv::check
