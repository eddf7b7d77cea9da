// Reading click-area records.
#include "text/choice_list.h"

#include <algorithm>
#include <string>

#include "lang/interp.h"
#include "lang/scanners.h"

namespace yv::text::choicelist {
namespace {

constexpr int32_t kFar = 1 << 24;

// Splits a record at commas outside quotes and parentheses.
std::vector<Bytes> fields(BytesView line) {
    std::vector<Bytes> out(1);
    bool quoted = false;
    int depth = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const auto u = static_cast<unsigned char>(c);
        if (!quoted && ((u >= 0x81 && u <= 0x9F) || (u >= 0xE0 && u <= 0xFC)) && i + 1 < line.size()) {
            out.back() += c;  // a double-byte character: its second byte may look like anything
            out.back() += line[++i];
            continue;
        }
        if (c == '"') quoted = !quoted;
        if (!quoted) {
            if (c == '(') ++depth;
            if (c == ')' && depth > 0) --depth;
            if (c == ',' && depth == 0) {
                out.emplace_back();
                continue;
            }
        }
        out.back() += c;
    }
    return out;
}

bool number(const Interp& in, const Bytes& f, int32_t& v) {
    if (f.empty()) return false;
    const IntList l = scanIntList(in, "(" + f + ");");
    if (!l.given(0)) return false;
    v = l[0];
    return true;
}

Bytes unquoted(const Bytes& f) {
    if (f.size() >= 2 && f.front() == '"' && f.back() == '"') return f.substr(1, f.size() - 2);
    return f;
}

bool colour(const Interp& in, const Bytes& f, Rgb& c) {
    if (f.size() < 4) return false;
    Bytes head = f.substr(0, 4);
    for (char& ch : head) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
    if (head != "rgb(") return false;
    const IntList l = scanIntList(in, "(" + f + ");");
    auto ch = [&](size_t i) { return static_cast<uint8_t>(l.given(i) ? (l[i] < 0 ? 0 : l[i] > 255 ? 255 : l[i]) : 0); };
    if (l[0] == kColourMarker) c = Rgb{ch(1), ch(2), ch(3)};
    return true;
}

}  // namespace

std::vector<ChoiceRecord> parse(const Interp& in, BytesView list) {
    std::vector<ChoiceRecord> out;
    Bytes line;
    bool quoted = false;
    auto finish = [&] {
        std::vector<Bytes> f = fields(line);
        line.clear();
        ChoiceRecord r;
        if (f.size() < 4 || !number(in, f[0], r.left) || !number(in, f[1], r.top) ||
            !number(in, f[2], r.right) || !number(in, f[3], r.bottom))
            return;
        // Far beyond any screen, and small enough that sizes and centres cannot overflow.
        for (int32_t* v : {&r.left, &r.top, &r.right, &r.bottom}) *v = std::clamp(*v, -kFar, kFar);
        f.resize(13);
        r.label = unquoted(f[4]);
        r.file = unquoted(f[5]);
        Bytes b = f[6];
        for (char& ch : b) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
        if (b == "right") r.button = 2;
        else if (b == "left") r.button = 1;
        else number(in, f[6], r.button);
        number(in, f[7], r.number);
        number(in, f[8], r.base);
        if (!colour(in, f[9], r.colour) && number(in, f[9], r.sx)) {
            r.picture = true;
            number(in, f[10], r.sy);
            number(in, f[11], r.pictureScreen);
            number(in, f[12], r.step);
            r.sx = std::clamp(r.sx, -kFar, kFar);
            r.sy = std::clamp(r.sy, -kFar, kFar);
        }
        out.push_back(std::move(r));
    };
    for (size_t i = 0; i < list.size(); ++i) {
        const char c = list[i];
        if (c == '"') quoted = !quoted;
        if (c == '\n' || (c == ';' && !quoted)) {
            finish();
            quoted = false;
            if (c == ';') return out;
            continue;
        }
        if (!quoted && (c == ' ' || c == '\t' || c == '\r')) continue;
        line += c;
    }
    finish();
    return out;
}

Bytes blockRecord(const TextRect& r, BytesView label, BytesView file, Rgb c) {
    auto n = [](int32_t v) { return std::to_string(v); };
    Bytes out = n(r.left) + "," + n(r.top) + "," + n(r.right) + "," + n(r.bottom) + ",\"";
    out += label;
    out += "\",\"";
    out += file;
    out += "\",1,0,0,rgb(" + n(c.r) + "," + n(c.g) + "," + n(c.b) + ")\n";
    return out;
}

}  // namespace yv::text::choicelist
