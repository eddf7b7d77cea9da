// Control flow: if, end, breakapp, wait, loop; conversions int, cstring. (goto, gosub and return
// live in jumps.cpp, with the jumps they make.)
#include "script/control_commands.h"

#include <algorithm>
#include <array>

#include "core/cp932.h"
#include "play_warnings.h"
#include "runtime.h"
#include "lang/args.h"
#include "script/jumps.h"

namespace yv {
namespace {

// False for anything but a comparison: a group without one never holds.
bool compare(int32_t l, int32_t c, int32_t r) {
    switch (c) {
    case kCmpEq: return l == r;
    case kCmpNe: return l != r;
    case kCmpGe: return l >= r;
    case kCmpLe: return l <= r;
    case kCmpGt: return l > r;
    case kCmpLt: return l < r;
    default: return false;
    }
}

// Groups of four (left, comparison, right, connective), read strictly left to right: an "&&"
// fails the whole condition at once, even after an "||" was satisfied.
bool evaluateCondition(const IntList& c) {
    constexpr size_t kGroups = kStackSize / 4 + 8;
    bool any = false;
    bool previous = false;  // the group before this one held
    for (size_t k = 0; k < kGroups; ++k) {
        const size_t b = 4 * k;
        const bool held = compare(c[b], c[b + 1], c[b + 2]);
        if (held) any = true;
        if (k > 0) {
            const int32_t conn = c[4 * (k - 1) + 3];
            if (conn == kAnd) {
                if (!previous || !held) return false;
                any = true;
            } else if (conn == kOr) {
                if (previous || held) any = true;
            } else {
                return any;
            }
        }
        previous = held;
    }
    return any;
}

bool startsElse(BytesView t, int32_t q) {
    if (static_cast<size_t>(q) + 4 > t.size()) return false;
    for (int i = 0; i < 4; ++i) {
        char ch = t[static_cast<size_t>(q + i)];
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
        if (ch != "else"[i]) return false;
    }
    return true;
}

// The false branch: passes over the body (one statement, or a braced block with nested blocks).
void skipBody(Runtime& rt) {
    Interp& in = rt.interp;
    const ScriptPtr keep = in.script;
    const BytesView t = keep->text();
    const int32_t n = static_cast<int32_t>(t.size());
    const int32_t base = in.blocks.depth;
    bool inBlock = false;
    int32_t p = std::max(in.pos, 0);  // a position a damaged saved game set may lie before the text
    while (p < n) {
        p = skipComment(t, p);
        if (p >= n) break;
        const char ch = t[static_cast<size_t>(p)];
        if (!inBlock && ch == '#') {
            int32_t q = p + 1;
            while (q < n && t[static_cast<size_t>(q)] != ';' && t[static_cast<size_t>(q)] != '{') ++q;
            if (q < n && t[static_cast<size_t>(q)] == ';') {
                in.pos = q;
            } else if (q < n) {
                if (in.blocks.push(q)) ++in.blocks.opened;
            }
            return;
        }
        if (ch == '{') {
            if (in.blocks.push(p)) ++in.blocks.opened;
            inBlock = true;
        } else if (ch == '}') {
            in.blocks.pop();
            --in.blocks.opened;
            if (in.blocks.depth == base) {
                in.pos = p - 1;
                int32_t q = p + 1;
                for (;;) {
                    const char c = q < n ? t[static_cast<size_t>(q)] : '\0';
                    if (q < n && (c == '\r' || c == ' ' || c == '\t' || c == '\n' ||
                                  ((c == 'e' || c == 'E') && !startsElse(t, q)))) {
                        ++q;
                        continue;
                    }
                    break;
                }
                if (!startsElse(t, q)) return;
                // "else" is not part of the language: its block is skipped too, and said so.
                if (rt.warnings) [[unlikely]]
                    warnAt(rt, "skipped-statement",
                           "the language has no 'else': the #if was false, so this block is skipped as well", q);
                rt.messageBox("else", "", MsgButtons::Ok, MsgIcon::None);
                p = q + 4;
                continue;
            }
        }
        ++p;
    }
}

}  // namespace

int32_t cmdIf(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const IntList& c = args.conditions;
    in.blocks.opened = 0;
    if (!evaluateCondition(c)) skipBody(rt);
    if (rt.save.log.logging) rt.save.log.add(71, c[0], c[1], c[2], c[3]);
    return 1;
}

// goto, gosub and return are in jumps.cpp, with the jumps they make.

int32_t cmdEnd(Runtime& rt, const Args&) {
    Interp& in = rt.interp;
    in.scriptEnded = 1;
    in.halt = 1;
    in.running = 0;
    in.suspended = 0;
    if (rt.config.scriptEnd == 1) rt.messageBox(rt.config.exitMessage, "", MsgButtons::Ok, MsgIcon::None);
    rt.save.log.add(64);
    return 1;
}

int32_t cmdBreakapp(Runtime& rt, const Args&) {
    rt.interp.scriptEnded = 1;
    rt.interp.halt = 1;
    rt.platform.requestClose();
    return rt.interp.result;
}

int32_t cmdWait(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    in.wait.reset();
    in.wait.waitMs = args.ints[0];
    return 1;
}

// Its arguments are evaluated (the row asks for the integer list) and nothing else is done.
int32_t cmdLoop(Runtime&, const Args&) { return 1; }

int32_t cmdInt(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    rt.interp.strResult = s[0];
    return leadingInt(s[0]);
}

int32_t cmdCstring(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const IntList& iv = args.ints;
    const StringList& s = args.strings;
    if (!s[0].empty() && s[0][0] == ';') {
        in.strResult = decimal(iv[0]);
        return iv[0];
    }
    in.strResult = s[0];
    return leadingInt(s[0]);
}

}  // namespace yv
