// The interpreter's side of the debug windows. Everything here runs on the interpreter thread;
// the only shared state is the tap, touched under its mutex for the length of a copy.
#include "script/debug_serve.h"

#include <algorithm>

#include "core/cp932.h"
#include "runtime.h"

namespace yv::script {
namespace {

constexpr size_t kStatementBytes = 240;  // longer statements are cut (with "…")
constexpr size_t kValueBytes = 40;       // string values in the variable column
constexpr double kCopyEveryMs = 15;      // the monitor's copies made without its asking

bool isLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isVarLetter(unsigned char b) { return b >= 0x41 && b <= 0x7A; }
bool isDigit(unsigned char b) { return b >= '0' && b <= '9'; }

// Shift-JIS bytes cut to at most `limit` bytes without splitting a character.
Bytes cutCp932(BytesView s, size_t limit, bool& cut) {
    size_t i = 0;
    while (i < s.size()) {
        const size_t n = isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
        if (i + n > limit) break;
        i += n;
    }
    cut = i < s.size();
    return Bytes(s.substr(0, i));
}

void publishVariables(Runtime& rt) {
    Interp& in = rt.interp;
    DebugTap& tap = in.debug;
    MutexLock lock(tap.mutex);
    DebugTap::Variables& v = tap.vars;
    bool any = false;
    // The change list names rows to rewrite even when the value stayed (as the original did).
    for (const int32_t i : in.changes)
        if (i >= 0 && i < kDebugIntCount) v.changed.push_back(i), any = true;
    in.changes.clear();
    // Writes that bypass the change list (loading a game, system.dat, resets) are found by
    // comparing: the copy never shows a value the interpreter no longer holds.
    for (int i = 0; i < kDebugIntCount; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (v.ints[k] != in.ivar[k]) {
            v.ints[k] = in.ivar[k];
            v.changed.push_back(i);
            any = true;
        }
    }
    for (size_t s = 0; s < static_cast<size_t>(kDebugStrCount); ++s)
        if (v.strings[s] != in.svar[s]) {
            v.strings[s] = in.svar[s];
            v.stringNews = true;
            any = true;
        }
    // A window that has not looked for long gets every row anew instead of a growing list.
    if (v.changed.size() > static_cast<size_t>(kDebugIntCount)) {
        v.changed.clear();
        v.fullRefresh = true;
    }
    if (any) v.news = true;
    ++v.version;
}

// Screen 0, screen 1 and five screens from the paging offset, each 168 x 128 (nearest pixel),
// only those that have pixels and whose changed flag is set.
void publishScreens(Runtime& rt) {
    DebugTap& tap = rt.interp.debug;
    const int32_t offset = tap.previewOffset.load();
    std::array<PreviewPicture, kPreviewSlots> made;
    for (int slot = 0; slot < kPreviewSlots; ++slot) {
        const int64_t n = slot < 2 ? slot : int64_t{offset} + slot;
        if (n < 0 || n >= kScreenCount) continue;
        const Screen& s = rt.screens.table[static_cast<size_t>(n)];
        if (!s.exists() || !s.changed || s.width <= 0 || s.height <= 0) continue;
        PreviewPicture& p = made[static_cast<size_t>(slot)];
        p.drawn = true;
        p.rgb.resize(static_cast<size_t>(kPreviewW) * kPreviewH * 3);
        for (int y = 0; y < kPreviewH; ++y) {
            const int sy = static_cast<int>(static_cast<int64_t>(y) * s.height / kPreviewH);
            const uint8_t* row = s.row(sy);
            uint8_t* out = p.rgb.data() + static_cast<size_t>(y) * kPreviewW * 3;
            for (int x = 0; x < kPreviewW; ++x) {
                const int sx = static_cast<int>(static_cast<int64_t>(x) * s.width / kPreviewW);
                const uint8_t* px = row + static_cast<size_t>(sx) * 3;
                out[x * 3 + 0] = px[2];
                out[x * 3 + 1] = px[1];
                out[x * 3 + 2] = px[0];
            }
        }
    }
    MutexLock lock(tap.mutex);
    tap.previews = std::move(made);
    tap.previewsFor = offset;
    ++tap.previewVersion;
}

std::string formatValue(BytesView s) {
    bool cut = false;
    std::string out = "\"" + cp932ToUtf8(cutCp932(s, kValueBytes, cut));
    return out + (cut ? "…\"" : "\"");
}

void indexLines(DebugTap& tap, const ScriptSource& src) {
    if (tap.lines.source == &src) return;
    tap.lines.source = &src;
    tap.lines.newlines.clear();
    const Bytes& t = src.text();
    for (size_t i = 0; i < t.size(); ++i)
        if (t[i] == '\n') tap.lines.newlines.push_back(static_cast<int32_t>(i));
}

}  // namespace

int32_t lineOf(BytesView text, int32_t pos) {
    const size_t end = std::min(text.size(), static_cast<size_t>(std::max(pos, 0)));
    return 1 + static_cast<int32_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

std::string statementText(BytesView text, int32_t start) {
    if (start < 0 || static_cast<size_t>(start) >= text.size()) return {};
    size_t e = static_cast<size_t>(start);
    while (e < text.size() && text[e] != ';' && text[e] != '\n') ++e;
    if (e < text.size() && text[e] == ';') ++e;
    BytesView stmt = text.substr(static_cast<size_t>(start), e - static_cast<size_t>(start));
    while (!stmt.empty() && (stmt.back() == '\r' || stmt.back() == ' ' || stmt.back() == '\t'))
        stmt.remove_suffix(1);
    bool cut = false;
    std::string out = cp932ToUtf8(cutCp932(stmt, kStatementBytes, cut));
    return cut ? out + "…" : out;
}

std::string namedVariables(Runtime& rt, BytesView stmt, const std::vector<int32_t>& written) {
    const Interp& in = rt.interp;
    std::vector<std::string> seen;
    std::string out;
    auto add = [&](const std::string& name, const std::string& value, bool wrote) {
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) return;
        seen.push_back(name);
        if (!out.empty()) out += ", ";
        out += name + (wrote ? "←" : "=") + value;
    };
    // The target of an assignment statement is written; every other name is read (a command
    // that stores into its arguments shows up in `written`).
    bool first = true;
    for (size_t i = 0; i < stmt.size(); ++i) {
        const auto b = static_cast<unsigned char>(stmt[i]);
        if (isLead(b)) {  // the second byte of a character may be '@'
            ++i;
            continue;
        }
        if (b != '@' || i + 1 >= stmt.size()) continue;
        const auto x = static_cast<unsigned char>(stmt[i + 1]);
        const bool target = first && i == 0;
        if (isDigit(x)) {
            size_t e = i + 1;
            int64_t idx = 0;
            while (e < stmt.size() && isDigit(static_cast<unsigned char>(stmt[e]))) {
                idx = std::min<int64_t>(idx * 10 + (stmt[e] - '0'), 1 << 30);
                ++e;
            }
            const bool wrote = target || std::find(written.begin(), written.end(), idx) != written.end();
            add("@" + std::to_string(idx), std::to_string(in.getInt(idx)), wrote);
            i = e - 1;
        } else if (isVarLetter(x)) {
            add(std::string("@") + static_cast<char>(x), formatValue(in.svar[x - 0x41u]), target);
            ++i;
        }
        first = false;
    }
    // Integers a command wrote without naming them in the statement (ranges, results).
    int extra = 0;
    for (const int32_t idx : written) {
        const std::string name = "@" + std::to_string(idx);
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
        if (++extra > 8) {
            out += ", …";
            break;
        }
        add(name, std::to_string(in.getInt(idx)), true);
    }
    return out;
}

void debugAfterStep(Runtime& rt, double nowMs) {
    Interp& in = rt.interp;
    DebugTap& tap = in.debug;
    debugServe(rt);
    // A row follows its assignment within a frame: the monitor gets a copy without asking once
    // something has changed and a frame's time has passed since the last copy.
    if (tap.monitorOn.load(std::memory_order_relaxed) && !in.changes.empty() &&
        nowMs - tap.lastCopyMs >= kCopyEveryMs) {
        publishVariables(rt);
        tap.lastCopyMs = nowMs;
    }
}

bool debugWantsAttention(Runtime& rt) {
    DebugTap& tap = rt.interp.debug;
    return tap.wantVariables != 0 || tap.wantScreens != 0;
}

void debugServe(Runtime& rt) {
    DebugTap& tap = rt.interp.debug;
    if (tap.wantVariables.load() && tap.wantVariables.exchange(0)) publishVariables(rt);
    if (tap.wantScreens.load() && tap.wantScreens.exchange(0)) publishScreens(rt);
}

bool debugBeforeStatement(Runtime& rt, StatementMark& mark) {
    Interp& in = rt.interp;
    DebugTap& tap = in.debug;
    debugServe(rt);
    if (tap.paused.load() && !tap.stepGrant.exchange(0)) {
        if (!tap.holding.load()) {
            const BytesView t = in.text();
            std::string at = cp932ToUtf8(in.scriptName) + ":" + std::to_string(lineOf(t, in.pos)) + ": " +
                             statementText(t, in.pos);
            MutexLock lock(tap.mutex);
            tap.heldAt = std::move(at);
        }
        tap.holding = true;
        return false;
    }
    if (tap.holding.load(std::memory_order_relaxed)) tap.holding = false;
    if (tap.traceOn.load(std::memory_order_relaxed)) {
        mark.script = in.script;
        mark.start = in.pos;
        mark.file = in.scriptName;
        mark.changesBefore = in.changes.size();
    }
    return true;
}

void debugAfterStatement(Runtime& rt, const StatementMark& mark) {
    Interp& in = rt.interp;
    DebugTap& tap = in.debug;
    if (!mark.script || mark.start < 0) return;
    const BytesView t = mark.script->text();
    indexLines(tap, *mark.script);
    const auto& nl = tap.lines.newlines;
    const int32_t line =
        1 + static_cast<int32_t>(std::lower_bound(nl.begin(), nl.end(), mark.start) - nl.begin());
    std::vector<int32_t> written;
    if (in.changes.size() >= mark.changesBefore)
        written.assign(in.changes.begin() + static_cast<std::ptrdiff_t>(mark.changesBefore), in.changes.end());
    // Without the monitor nothing else empties the change list.
    if (!tap.monitorOn.load(std::memory_order_relaxed)) in.changes.clear();
    const size_t s = static_cast<size_t>(mark.start);
    size_t e = s;
    while (e < t.size() && t[e] != ';' && t[e] != '\n') ++e;
    // String writes put their variable's number on the change list too: @B's 1 is not @1.
    const BytesView stmt = t.substr(s, e - s);
    std::erase_if(written, [&](int32_t k) {
        if (k < 0 || k >= kDebugStrCount) return false;
        const char name[2] = {'@', static_cast<char>(0x41 + k)};
        return stmt.find(BytesView(name, 2)) != BytesView::npos &&
               stmt.find("@" + std::to_string(k)) == BytesView::npos;
    });
    TraceLine l;
    l.where = cp932ToUtf8(mark.file) + ":" + std::to_string(line);
    l.statement = statementText(t, mark.start);
    l.variables = namedVariables(rt, stmt, written);
    MutexLock lock(tap.mutex);
    tap.addTrace(std::move(l));
}

}  // namespace yv::script
