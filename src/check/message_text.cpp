// Message text: its bytes as CP932 and the commands written inside it (\#gosub and others).
#include <cstdio>

#include "check/scan_util.h"
#include "core/cp932.h"
#include "lang/args.h"
#include "lang/interp.h"

namespace yv::check {

size_t invalidCp932At(BytesView s) {
    bool plain = true;
    for (unsigned char c : s)
        if (c >= 0x80) {
            plain = false;
            break;
        }
    if (plain) return BytesView::npos;
    if (cp932ToUtf8(s).find("\xEF\xBF\xBD") == std::string::npos) return BytesView::npos;
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) continue;
        const size_t len = isLeadByte(c) ? 2 : 1;
        if (i + len > s.size()) return i;
        if (cp932ToUtf8(s.substr(i, len)).find("\xEF\xBF\xBD") != std::string::npos) return i;
        i += len - 1;
    }
    return BytesView::npos;
}

void scanMessageText(BytesView s, size_t base, ScriptScan& out, Interp& in, bool bytes, bool commands) {
    const size_t bad = bytes ? invalidCp932At(s) : BytesView::npos;
    if (bad != BytesView::npos) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(s[bad]));
        add(out, base + bad, "invalid-shift-jis",
            std::string("the byte 0x") + hex + " starts no Shift-JIS (CP932) character: it is drawn as a wrong glyph");
    }
    if (!commands) return;
    // \#gosub(…), \#loadimage(…), \#playwave(…) run while the message is drawn.
    QuietAlerts alerts;
    for (size_t i = s.find("\\#"); i != BytesView::npos; i = s.find("\\#", i + 2)) {
        const size_t open = s.find('(', i);
        if (open == BytesView::npos || open - i > 20) continue;
        const Bytes name = lowerAscii(s.substr(i + 2, open - i - 2));
        Reference::Kind kind;
        if (name == "gosub") kind = Reference::kLabel;
        else if (name == "loadimage") kind = Reference::kPicture;
        else if (name == "playwave") kind = Reference::kSound;
        else continue;
        size_t close = open + 1;
        for (bool q = false; close < s.size(); ++close) {
            if (s[close] == '"') q = !q;
            else if (s[close] == ')' && !q) break;
        }
        if (close >= s.size()) continue;
        const Bytes arg = Bytes(s.substr(open, close - open + 1)) + ";";
        const bool inlineFlag = in.inlineCommandFlag;
        in.inlineCommandFlag = false;
        const Args a = evaluateArgs(in, alerts, kStrings, arg);
        in.inlineCommandFlag = inlineFlag;
        if (arg.find('@') != Bytes::npos) continue;  // named through a variable
        const char* via = kind == Reference::kLabel ? "\\#gosub" : kind == Reference::kPicture ? "\\#loadimage" : "\\#playwave";
        if (kind == Reference::kLabel) {
            Bytes file = a.strings.given(1) ? a.strings[1] : Bytes();
            if (!file.empty()) out.refs.push_back({Reference::kScript, file, {}, base + i, via});
            if (a.strings.given(0)) out.refs.push_back({Reference::kLabel, a.strings[0], file, base + i, via});
        } else if (a.strings.given(0)) {
            out.refs.push_back({kind, a.strings[0], {}, base + i, via});
        }
    }
}

}  // namespace yv::check
