// Character wrapping with the line-start rule for closing marks.
#include "platform/sdl/text_wrap.h"

#include <vector>

namespace yv {
namespace {

struct Char {
    size_t at, len;
    uint32_t cp;
};

std::vector<Char> decode(const std::string& s) {
    std::vector<Char> out;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + n > s.size()) n = 1;
        uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back({i, n, cp});
        i += n;
    }
    return out;
}

// Marks a line must not begin with.
bool closing(uint32_t cp) {
    switch (cp) {
    case U'、': case U'。': case U'，': case U'．': case U'」': case U'』': case U'）': case U'〕':
    case U'】': case U'！': case U'？': case U'ー': case U'ぁ': case U'ぃ': case U'ぅ': case U'ぇ':
    case U'ぉ': case U'っ': case U'ゃ': case U'ゅ': case U'ょ': case U'ァ': case U'ィ': case U'ゥ':
    case U'ェ': case U'ォ': case U'ッ': case U'ャ': case U'ュ': case U'ョ': case U'…': case U'・':
    case ',': case '.': case ')': case '!': case '?':
        return true;
    default:
        return false;
    }
}

}  // namespace

std::string wrapToWidth(const std::string& utf8, float width, const std::function<float(uint32_t)>& advance) {
    const std::vector<Char> chars = decode(utf8);
    std::vector<size_t> breaks;  // indices of the characters that begin a new line
    size_t lineStart = 0;
    float used = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i].cp == '\n') {
            lineStart = i + 1;
            used = 0;
            continue;
        }
        const float w = advance(chars[i].cp);
        if (used + w > width && i > lineStart) {
            // A closing mark takes the character before it to the new line, where it can.
            size_t at = i;
            while (at > lineStart + 1 && closing(chars[at].cp)) --at;
            if (closing(chars[at].cp)) at = i;  // a line of closing marks only: break anyway
            breaks.push_back(at);
            lineStart = at;
            used = 0;
            for (size_t k = at; k < i; ++k) used += advance(chars[k].cp);
        }
        used += w;
    }
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (next < breaks.size() && breaks[next] == i) {
            out += '\n';
            ++next;
        }
        out.append(utf8, chars[i].at, chars[i].len);
    }
    return out;
}

}  // namespace yv
