// Where and how the runtime says the findings it meets while playing.
#include "play_warnings.h"

#include <algorithm>
#include <cstdio>

#include "check/finding.h"
#include "check/script_scan.h"
#include "core/cp932.h"
#include "lang/args.h"
#include "lang/scanners.h"
#include "runtime.h"
#include "script/command_table.h"

namespace yv {
namespace {

// The name of the script the interpreter is in: the file its text was read from, else the
// jump's name, else the first script.
Bytes currentScript(Runtime& rt) {
    Interp& in = rt.interp;
    if (Bytes name = in.scriptCache.nameOf(in.script); !name.empty()) return name;
    if (!in.scriptName.empty() && in.scriptName != ";") return in.scriptName;
    return rt.config.script;
}

}  // namespace

void warnAt(Runtime& rt, const char* code, std::string text, int32_t at) {
    PlayWarnings* w = rt.warnings.get();
    if (!w) return;
    const BytesView t = rt.interp.text();
    if (at < 0) at = rt.interp.stmtStart;
    at = std::clamp<int32_t>(at, 0, static_cast<int32_t>(t.size()));
    const Bytes file = currentScript(rt);
    MutexLock lock(w->mutex);
    if (!w->said.emplace(file, at, code).second) return;  // once per place
    check::Finding f;
    f.file = cp932ToUtf8(file);
    const BytesView before = t.substr(0, static_cast<size_t>(at));
    f.line = 1 + static_cast<int32_t>(std::count(before.begin(), before.end(), '\n'));
    const size_t lineStart = before.rfind('\n');
    f.column = static_cast<int32_t>(lineStart == BytesView::npos ? at + 1 : at - static_cast<int32_t>(lineStart));
    f.code = code;
    f.text = std::move(text);
    const std::string line = check::formatLine(f);
    std::fprintf(stderr, "%s\n", line.c_str());
    w->recent.push_back(line);
    if (w->recent.size() > PlayWarnings::kRecent) w->recent.pop_front();
    // The debug window's watch list shows it among the statements.
    DebugTap& tap = rt.interp.debug;
    if (tap.traceOn.load(std::memory_order_relaxed)) {
        MutexLock tapLock(tap.mutex);
        tap.addTrace({0, f.file + ":" + std::to_string(f.line), f.severity + ": " + f.text + " [" + f.code + "]", ""});
    }
}

void warnUnknownCommand(Runtime& rt, BytesView name) {
    const size_t lineEnd = name.find('\n');
    if (lineEnd != BytesView::npos) {
        BytesView shown = name.substr(0, lineEnd);
        if (!shown.empty() && shown.back() == '\r') shown.remove_suffix(1);
        warnAt(rt, "unknown-command",
               "no '(' after " + check::shown("#" + Bytes(shown)) + " on its line: the statement does nothing");
        return;
    }
    warnAt(rt, "unknown-command", check::unknownCommandText(name));
}

void warnAfterCommand(Runtime& rt, const CommandRow& row, BytesView argText) {
    const auto kind = check::firstStringNames(lowerAscii(row.name));
    if (!kind || *kind == check::Reference::kLabel) return;  // jumps say so where they miss
    // The strings as the handler read them; the inline-command flag as it was left.
    Interp& in = rt.interp;
    const bool flag = in.inlineCommandFlag;
    in.inlineCommandFlag = false;
    const Args a = evaluateArgs(in, rt, kStrings, argText);
    in.inlineCommandFlag = flag;
    if (!a.strings.given(0) || rt.resources.exists(a.strings[0])) return;
    std::string text = std::string(check::kindWord(*kind)) + " " + check::shown(a.strings[0]) +
                       " is in no archive and not in the game folder";
    if (*kind == check::Reference::kPicture) text += ": the screen stays empty";
    warnAt(rt, check::missingCode(*kind), std::move(text));
}

void warnJumpMissed(Runtime& rt, BytesView label, BytesView file) {
    if (!label.empty() && label[0] == ';') return;  // no label written: nothing was looked for
    if (file != ";" && !rt.resources.exists(file)) {
        warnAt(rt, "missing-script", "script " + check::shown(file) + " is not in the game: the jump does nothing");
        return;
    }
    warnAt(rt, "missing-label",
           "label " + check::shown(label) + " is not in " +
               (file == ";" ? std::string("this script") : cp932ToUtf8(file)) +
               ": the jump does nothing and the script goes on");
}

void warnAssignmentSkips(Runtime& rt, BytesView t, int32_t p) {
    const BytesView stmt = assignmentText(t.substr(static_cast<size_t>(p)));
    // A right side with a command call is reached by the reader on its own (a byte after '@'
    // that names no variable assigns nothing, whatever follows).
    const bool names = stmt.size() > 1 && (isDigit(stmt[1]) || (static_cast<unsigned char>(stmt[1]) >= 0x41 &&
                                                                 static_cast<unsigned char>(stmt[1]) <= 0x7A));
    std::optional<check::Skipped> skipped;
    check::afterAssignment(t, p, names && stmt.find('#') != BytesView::npos, &skipped);
    if (skipped) warnAt(rt, "skipped-statement", std::move(skipped->why), static_cast<int32_t>(skipped->at));
}

}  // namespace yv
