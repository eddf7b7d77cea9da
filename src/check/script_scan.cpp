// The statement walk of the checker: the reader's own pieces (command reading, where the reader
// goes on, the label walk, the argument scanners) over a scratch state, with notes of the traps.
#include "check/script_scan.h"

#include <algorithm>
#include <string_view>

#include "check/arity.h"
#include "check/scan_util.h"
#include "check/suggest.h"
#include "core/cp932.h"
#include "lang/alerts.h"
#include "lang/args.h"
#include "lang/interp.h"
#include "lang/scanners.h"
#include "lang/script_source.h"
#include "lang/statement_cache.h"
#include "script/command_table.h"
#include "script/step_parts.h"

namespace yv::check {
namespace {

const std::vector<std::string_view>& commandNames() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> v;
        for (const CommandRow& r : commandTable()) v.emplace_back(r.name);
        return v;
    }();
    return names;
}

// The arguments as written: numbers and strings up to the list's closing ')', and for each
// string whether it is a plain literal (not a variable, no \\@ substitution in it).
struct Written {
    int numbers = 0, strings = 0;
    std::vector<bool> literal;
};

Written countWritten(BytesView arg) {
    Written w;
    size_t i = arg.empty() || arg[0] != '(' ? 0 : 1;
    int depth = 0;
    bool quoted = false, hasString = false, hasOther = false, isLiteral = true;
    auto endPiece = [&] {
        if (hasString) {
            ++w.strings;
            w.literal.push_back(isLiteral);
        } else if (hasOther) {
            ++w.numbers;
        }
        hasString = hasOther = false;
        isLiteral = true;
    };
    for (; i < arg.size(); ++i) {
        const char c = arg[i];
        if (quoted) {
            if (c == '"') quoted = false;
            else if (c == '\\' && arg.substr(i, 3) == "\\\\@") isLiteral = false;
            continue;
        }
        if (c == '"') {
            quoted = hasString = true;
        } else if (c == '@' && i + 1 < arg.size() && isStrVar(arg[i + 1]) && depth == 0) {
            hasString = true;
            isLiteral = false;
            ++i;
        } else if (c == '(') {
            ++depth;
            hasOther = true;
        } else if (c == ')') {
            if (depth == 0) break;
            --depth;
        } else if (c == ',' && depth == 0) {
            endPiece();
        } else if (c == ';') {
            break;
        } else if (c != ' ' && c != '\t' && c != '\r') {
            hasOther = true;
        }
    }
    endPiece();
    return w;
}

struct Scanner {
    BytesView t;
    Interp& in;
    ScriptScan& out;
    QuietAlerts alerts;
    std::vector<int32_t> braces;
    bool choiceBlockNext = false;

    int32_t size() const { return static_cast<int32_t>(t.size()); }
    char at(int32_t i) const { return i >= 0 && i < size() ? t[static_cast<size_t>(i)] : '\0'; }

    void run();
    int32_t command(int32_t p);
    int32_t assignment(int32_t p);
    void closeBrace(int32_t p);
    void unknown(int32_t p, BytesView name);
    void strings(BytesView arg, size_t base);
    void references(const CommandRow& row, BytesView lname, BytesView arg, const Written& w, size_t p);
    void choiceBlock(int32_t open);
};

void Scanner::run() {
    walkLabels(t, [&](int32_t start, int32_t colon) {
        out.labels.push_back({Bytes(t.substr(static_cast<size_t>(start), static_cast<size_t>(colon - start))),
                              static_cast<size_t>(start - 1)});
    });
    const int32_t n = size();
    for (int32_t p = 0; p < n; ++p) {
        p = skipComment(t, p);
        if (p >= n) break;
        const char b = t[static_cast<size_t>(p)];
        if (b == '#') {
            p = command(p);
        } else if (b == '@') {
            p = assignment(p);
        } else if (b == '{') {
            if (choiceBlockNext) choiceBlock(p);
            choiceBlockNext = false;
            braces.push_back(p);
        } else if (b == '}') {
            closeBrace(p);
        }
    }
    for (int32_t open : braces)
        add(out, static_cast<size_t>(open), "unbalanced-braces", "this '{' is never closed by a '}'");
}

void Scanner::closeBrace(int32_t p) {
    if (braces.empty()) {
        add(out, static_cast<size_t>(p), "unbalanced-braces", "this '}' closes no '{'");
    } else {
        braces.pop_back();
    }
    int32_t e = p + 1;
    while (at(e) == ' ' || at(e) == '\t' || at(e) == '\r' || at(e) == '\n') ++e;
    if (e + 4 <= size() && lowerAscii(t.substr(static_cast<size_t>(e), 4)) == "else")
        add(out, static_cast<size_t>(e), "skipped-statement",
            "the language has no 'else': after a true #if its block runs as well, after a false one it is "
            "skipped too and a box says \"else\"; write the opposite #if instead");
}

void Scanner::unknown(int32_t p, BytesView name) {
    add(out, static_cast<size_t>(p), "unknown-command", unknownCommandText(name));
}

int32_t Scanner::command(int32_t p) {
    DecodedStatement d;
    script::readCommand(t, p, d);
    const int32_t end = script::afterCommand(t, p + 1);
    const size_t lineEnd = std::min(t.find('\n', static_cast<size_t>(p)), t.size());
    if (d.open < 0 || static_cast<size_t>(d.open) > lineEnd) {
        BytesView name = t.substr(static_cast<size_t>(p) + 1, lineEnd - static_cast<size_t>(p) - 1);
        if (!name.empty() && name.back() == '\r') name.remove_suffix(1);
        add(out, static_cast<size_t>(p), "unknown-command",
            "no '(' after " + shown("#" + Bytes(name)) + " on its line: the statement does nothing (write the "
            "parentheses, also for no arguments)");
        return end;
    }
    const BytesView name = t.substr(static_cast<size_t>(p) + 1, static_cast<size_t>(d.open - p - 1));
    const BytesView written = t.substr(static_cast<size_t>(d.open), static_cast<size_t>(d.argEnd - d.open));
    const Bytes arg = Bytes(written) + ";";
    if (!d.row) {
        unknown(p, name);
        return end;
    }
    // Quotes and parentheses within the statement as the reader cut it.
    size_t quotes = 0, lastQuote = 0;
    int depth = 0;
    bool quotedNow = false, parensReported = false;
    for (size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        if (c == '"') {
            ++quotes;
            lastQuote = i;
            quotedNow = !quotedNow;
        } else if (!quotedNow && c == '(') {
            ++depth;
        } else if (!quotedNow && c == ')' && --depth < 0 && !parensReported) {
            add(out, static_cast<size_t>(d.open) + i, "unbalanced-parens", "this ')' closes no '('");
            parensReported = true;
        }
    }
    const size_t open = static_cast<size_t>(d.open);
    if (quotes % 2 == 1) {
        const bool cutBySemicolon = d.ownSemicolon && t.substr(static_cast<size_t>(d.argEnd), lineEnd - static_cast<size_t>(d.argEnd)).find('"') != BytesView::npos;
        add(out, open + lastQuote, "unclosed-string",
            cutBySemicolon ? "a ';' inside a string ends the statement: the string is cut there (a string "
                             "cannot hold ';' or a line break)"
                           : "this string is not closed before the end of the statement");
        return end;
    }
    if (depth > 0 && !parensReported)
        add(out, open, "unbalanced-parens",
            "the statement ends with " + std::to_string(depth) + " '(' not closed");

    const Written w = countWritten(arg);
    const Bytes lname = lowerAscii(name);
    if (const Arity* a = arityOf(lname)) {
        const bool numbersOk = w.numbers < 32 && (a->numbers >> w.numbers) & 1u;
        const bool stringsOk = w.strings >= a->stringsMin && w.strings <= a->stringsMax;
        if (!numbersOk || !stringsOk) {
            std::string allowed;
            for (int k = 0; k < 32; ++k)
                if ((a->numbers >> k) & 1u) allowed += (allowed.empty() ? "" : " or ") + std::to_string(k);
            std::string text = "#" + lname + " takes " + allowed + " number" + (allowed == "1" ? "" : "s");
            text += a->stringsMax == 0 ? std::string(" and no string")
                    : a->stringsMin == a->stringsMax ? " and " + std::to_string(a->stringsMin) + " string" + (a->stringsMin == 1 ? "" : "s")
                    : " and " + std::to_string(a->stringsMin) + " to " + std::to_string(a->stringsMax) + " strings";
            text += "; here " + std::to_string(w.numbers) + " and " + std::to_string(w.strings) + " are written";
            if (*a->omitted) text += std::string(" (") + a->omitted + ")";
            add(out, static_cast<size_t>(p), "bad-argument-count", std::move(text));
        }
    }
    strings(written, open);
    references(*d.row, lname, arg, w, static_cast<size_t>(p));
    return end;
}

// The literal strings of a statement: their bytes, and the commands written inside them (whose
// own quotes stay inside the string, so they are looked for over the whole statement).
void Scanner::strings(BytesView s, size_t base) {
    for (size_t i = s.find('"'); i != BytesView::npos;) {
        const size_t close = s.find('"', i + 1);
        if (close == BytesView::npos) break;
        scanMessageText(s.substr(i + 1, close - i - 1), base + i + 1, out, in, true, false);
        i = s.find('"', close + 1);
    }
    if (s.find("\\#") != BytesView::npos) scanMessageText(s, base, out, in, false, true);
}

void Scanner::references(const CommandRow& row, BytesView lname, BytesView arg, const Written& w, size_t p) {
    using K = Reference::Kind;
    const std::optional<K> named = firstStringNames(lname);
    if (!named) return;
    const K fileKind = *named;
    const Args a = evaluateArgs(in, alerts, kStrings, arg);
    alerts.said.clear();
    auto literal = [&](size_t k) { return k < w.literal.size() && w.literal[k]; };
    const char* via = row.name;
    if (fileKind == K::kChoiceList) {
        if (!a.strings.given(0)) {
            choiceBlockNext = true;
        } else if (literal(0)) {
            out.refs.push_back({K::kChoiceList, a.strings[0], {}, p, via});
        }
        return;
    }
    if (fileKind != K::kLabel) {
        if (a.strings.given(0) && literal(0)) out.refs.push_back({fileKind, a.strings[0], {}, p, via});
        return;
    }
    // A jump: its label, in the named script or this one.
    Bytes file;
    if (w.strings >= 2 || a.strings.given(1)) {
        if (!literal(1)) {
            if (!out.computed) out.computedAt = p;
            out.computed = true;
            return;
        }
        file = a.strings[1];
        out.refs.push_back({K::kScript, file, {}, p, via});
    }
    if (a.strings.given(0) && literal(0)) out.refs.push_back({K::kLabel, a.strings[0], file, p, via});
}

// The records of a click-area list written in the script: "label", "file" of each line.
void Scanner::choiceBlock(int32_t open) {
    const size_t close = t.find('}', static_cast<size_t>(open));
    const BytesView block = t.substr(static_cast<size_t>(open), close == BytesView::npos ? BytesView::npos : close - static_cast<size_t>(open));
    size_t lineStart = 0;
    while (lineStart < block.size()) {
        size_t e = block.find('\n', lineStart);
        if (e == BytesView::npos) e = block.size();
        const BytesView line = block.substr(lineStart, e - lineStart);
        const size_t q1 = line.find('"');
        const size_t q2 = q1 == BytesView::npos ? q1 : line.find('"', q1 + 1);
        if (q2 != BytesView::npos) {
            const Bytes label(line.substr(q1 + 1, q2 - q1 - 1));
            Bytes file;
            const size_t q3 = line.find('"', q2 + 1);
            const size_t q4 = q3 == BytesView::npos ? q3 : line.find('"', q3 + 1);
            if (q4 != BytesView::npos) file = Bytes(line.substr(q3 + 1, q4 - q3 - 1));
            const size_t at = static_cast<size_t>(open) + lineStart + q1;
            if (!file.empty()) out.refs.push_back({Reference::kScript, file, {}, at, "mouseclickevent"});
            if (!label.empty()) out.refs.push_back({Reference::kLabel, label, file, at, "mouseclickevent"});
        }
        lineStart = e + 1;
    }
}

int32_t Scanner::assignment(int32_t p) {
    const BytesView rest = t.substr(static_cast<size_t>(p));
    const AssignOutcome a = evalAssignment(in, alerts, rest);
    const BytesView stmt = assignmentText(rest);
    for (const Bytes& said : alerts.said)
        add(out, static_cast<size_t>(p), "bad-assignment",
            "the assignment " + shown(said) + " cannot be read: a box shows it and nothing is assigned");
    alerts.said.clear();
    if (stmt.size() > 1 && isStrVar(stmt[1])) strings(stmt, static_cast<size_t>(p));
    std::optional<Skipped> skipped;
    const int32_t next = afterAssignment(t, p, a.pending, &skipped);
    if (skipped) add(out, skipped->at, "skipped-statement", std::move(skipped->why));
    return next - 1;  // the walk's own step lands on `next`
}

}  // namespace

int32_t afterAssignment(BytesView t, int32_t p, bool pending, std::optional<Skipped>* skipped) {
    if (pending) return p + 1;  // the walk reaches the command after '=' on its own
    const int32_t n = static_cast<int32_t>(t.size());
    auto at = [&](int32_t i) { return i >= 0 && i < n ? t[static_cast<size_t>(i)] : '\0'; };
    int32_t q = p;
    while (q < n && at(q) != ';' && at(q) != ')' && at(q) != '\n') ++q;
    // The reader goes on two bytes past the terminator: everything up to there is passed over.
    const size_t hash = t.substr(static_cast<size_t>(p) + 1, static_cast<size_t>(q + 1 - p)).find('#');
    if (hash != BytesView::npos && skipped) {
        const size_t h = static_cast<size_t>(p) + 1 + hash;
        const char kind = at(p + 1);
        if (p > 0 && isLeadByte(static_cast<unsigned char>(at(p - 1))) && !isDigit(kind) && !isStrVar(kind))
            *skipped = Skipped{h, "the double-byte character before it (such as a full-width space) ends in the byte "
                                  "'@', which the reader takes for an assignment: this command is passed over; keep such "
                                  "characters in strings"};
        else if (static_cast<int32_t>(h) == q + 1)
            *skipped = Skipped{h, "a statement right after an assignment's ';' is never read (the reader passes over "
                                  "the byte after it): put it on a line of its own"};
    }
    return q + 2;
}

std::optional<Reference::Kind> firstStringNames(BytesView lname) {
    using K = Reference::Kind;
    if (lname == "loadimage") return K::kPicture;
    if (lname == "loadtextf") return K::kTextTable;
    if (lname == "playwave" || lname == "openmciwave" || lname == "openmcimidi" || lname == "openplaymciwave" ||
        lname == "openplaymcimidi")
        return K::kSound;
    if (lname == "playavi" || lname == "playmciavi") return K::kMovie;
    if (lname == "goto" || lname == "gosub" || lname == "trapmouse" || lname == "printtextf") return K::kLabel;
    if (lname.substr(0, 5) == "mouse" && lname.find("clickevent") != BytesView::npos) return K::kChoiceList;
    return std::nullopt;
}

const char* missingCode(Reference::Kind k) {
    switch (k) {
    case Reference::kScript: return "missing-script";
    case Reference::kPicture: return "missing-picture";
    case Reference::kSound: return "missing-sound";
    case Reference::kMovie: return "missing-movie";
    case Reference::kTextTable: return "missing-text-table";
    case Reference::kChoiceList: return "missing-choice-list";
    case Reference::kLabel: break;
    }
    return "missing-file";
}

const char* kindWord(Reference::Kind k) {
    switch (k) {
    case Reference::kScript: return "script";
    case Reference::kPicture: return "picture";
    case Reference::kSound: return "sound";
    case Reference::kMovie: return "movie";
    case Reference::kTextTable: return "text table";
    case Reference::kChoiceList: return "click-area list";
    case Reference::kLabel: break;
    }
    return "file";
}

std::string unknownCommandText(BytesView name) {
    size_t len = name.size();
    while (len > 0 && (name[len - 1] == ' ' || name[len - 1] == '\t')) --len;
    const BytesView trimmed = name.substr(0, len);
    if (len < name.size() && findCommand(trimmed))
        return "a blank before '(' makes the name " + shown(Bytes(name)) + ", which is no command: the statement does nothing";
    std::string text = "unknown command " + shown("#" + Bytes(name)) + " is passed over";
    const std::string near = nearest(trimmed, commandNames(), true);
    if (!near.empty()) text += " (did you mean '" + near + "'?)";
    return text;
}

ScriptScan scanScript(BytesView text, Interp& in) {
    ScriptScan out;
    Scanner s{text, in, out, {}, {}, false};
    s.run();
    return out;
}

}  // namespace yv::check
