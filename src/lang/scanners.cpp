// Integer, condition, string and name lists, and the assignment evaluator.
#include "lang/scanners.h"

#include <charconv>
#include <cstring>
#include <string>

#include "core/cp932.h"
#include "lang/alerts.h"
#include "lang/int_arith.h"

namespace yv {
namespace {

struct Keyword {
    std::string_view word;
    int32_t value;
};

// Longer names come before the names they begin with.
constexpr Keyword kKeywords[] = {
    {"null", 0},          {"true", 1},        {"false", 0},         {"left", 1},
    {"right", 2},         {"back", 1},        {"primary", 0},       {"none", -1},
    {"cancel", -1},       {"mb_okcancel", 2}, {"mb_ok", 1},         {"mb_retrycancel", 5},
    {"mb_yesnocancel", 4}, {"mb_yesno", 3},   {"idok", 1},          {"idcancel", 2},
    {"idyes", 3},         {"idno", 4},        {"idretry", 5},
};

bool startsNoCase(BytesView t, size_t i, std::string_view w) {
    if (i + w.size() > t.size()) return false;
    for (size_t k = 0; k < w.size(); ++k) {
        char c = t[i + k];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != w[k]) return false;
    }
    return true;
}

enum class KwKind { None, Rgb, Value };
struct KwMatch {
    KwKind kind = KwKind::None;
    size_t length = 0;
    int32_t value = 0;
};

KwMatch matchKeyword(BytesView t, size_t i, bool withRgb, bool withNull) {
    // Most bytes start no keyword; the first letters of all of them are few.
    char c = i < t.size() ? t[i] : '\0';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    switch (c) {
    case 'r': case 'n': case 't': case 'f': case 'l': case 'b': case 'p': case 'c': case 'm': case 'i': break;
    default: return {};
    }
    if (withRgb && startsNoCase(t, i, "rgb(")) return {KwKind::Rgb, 4, kColourMarker};
    for (const Keyword& k : kKeywords) {
        if (!withNull && k.word == "null") continue;
        if (startsNoCase(t, i, k.word)) return {KwKind::Value, k.word.size(), k.value};
    }
    return {};
}

// The digits of the number being read, in room the caller provides (as long as the text read:
// every digit comes from one of its bytes, and a keyword's value is written shorter than the
// keyword).
class Digits {
public:
    Digits(char* room, size_t cap) : digits_(room), cap_(cap) {}
    void add(char c) {
        if (count_ < cap_) digits_[count_++] = c;
    }
    void addNumber(int32_t v) {
        char tmp[12];
        const auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
        for (const char* c = tmp; c < r.ptr; ++c) add(*c);
    }
    void clear() { count_ = 0; }
    // As leadingInt reads the digits; the usual few digits are added up here.
    int32_t value() const {
        if (count_ > 9) return leadingInt(BytesView(digits_, count_));
        int32_t v = 0;
        for (size_t k = 0; k < count_; ++k) {
            if (!isDigit(digits_[k])) return leadingInt(BytesView(digits_, count_));
            v = v * 10 + (digits_[k] - '0');
        }
        return v;
    }

private:
    char* digits_;
    size_t cap_;
    size_t count_ = 0;
};

// Scratch space for one scan: the argument text without blanks, and the digits read so far.
// Scanners run for nearly every statement, so the usual short text is kept on the stack and only
// a long one takes the heap.
class Scratch {
public:
    explicit Scratch(BytesView arg) : digits_(nullptr, 0) {
        char* mem = inline_;
        size_t cap = kInline;
        if (arg.size() > kInline) {
            heap_.resize(2 * arg.size());
            mem = heap_.data();
            cap = arg.size();
        }
        text_ = mem;
        digits_ = Digits(mem + cap, cap);
        for (char c : arg)
            if (c != ' ' && c != '\n' && c != '\t') text_[size_++] = c;
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    BytesView text() const { return {text_, size_}; }
    size_t size() const { return size_; }
    char operator[](size_t i) const { return text_[i]; }
    // Removes a string literal starting at the quote at i (through the next quote, or to the end).
    void deleteLiteral(size_t i) {
        const size_t close = text().find('"', i + 1);
        if (close == BytesView::npos) {
            size_ = i;
            return;
        }
        const size_t cut = close - i + 1;
        std::memmove(text_ + i, text_ + i + cut, size_ - i - cut);
        size_ -= cut;
    }

    Digits& digits() { return digits_; }
    void addDigit(char c) { digits_.add(c); }
    void addNumber(int32_t v) { digits_.addNumber(v); }
    void clearDigits() { digits_.clear(); }
    int32_t digitsValue() const { return digits_.value(); }

private:
    static constexpr size_t kInline = 256;
    char inline_[2 * kInline];
    Bytes heap_;
    char* text_ = nullptr;
    size_t size_ = 0;
    Digits digits_;
};

bool isVarLetter(unsigned char c) { return c >= 0x41 && c <= 0x7A; }

bool isAssignOp(char c) {
    switch (c) {
    case '%': case '&': case '*': case '+': case '-': case '/': case '=': case '^': case '|': return true;
    default: return false;
    }
}

}  // namespace

Bytes fullWidthDigits(int32_t v) {
    Bytes out;
    for (char c : std::to_string(v)) {
        if (c < '0' || c > '9') continue;
        out += static_cast<char>(0x82);
        out += static_cast<char>(0x4F + (c - '0'));
    }
    return out;
}

IntAssignForm readIntAssign(BytesView t) {
    IntAssignForm f;
    size_t o = 1;
    while (o < t.size() && !isAssignOp(t[o])) ++o;
    f.index = leadingInt(t.substr(std::min<size_t>(1, t.size()), o - std::min<size_t>(1, t.size())));
    if (o >= t.size()) return f;
    const char op = t[o];
    const char next = o + 1 < t.size() ? t[o + 1] : '\0';
    if (op == '+' && next == '+') {
        f.kind = IntAssignForm::kIncrement;
        return f;
    }
    if (op == '-' && next == '-') {
        f.kind = IntAssignForm::kDecrement;
        return f;
    }
    size_t rhs;
    if (op == '=') {
        rhs = o + 1;
    } else if (next == '=') {
        f.compound = op;
        rhs = o + 2;
    } else {
        f.kind = IntAssignForm::kMalformed;
        return f;
    }
    f.rhs = static_cast<uint32_t>(rhs);
    f.kind = t.find('#', rhs) != BytesView::npos ? IntAssignForm::kPending : IntAssignForm::kStore;
    return f;
}

void scanIntList(const Interp& in, BytesView arg, IntList& out, ListVariables* reads) {
    out.clear();
    Scratch t(arg);
    bool var = false, neg = false;
    size_t i = (t.size() > 0 && t[0] == '(') ? 1 : 0;
    while (i < t.size()) {
        const char b = t[i];
        if (b == ';') break;
        if (b == '"') {
            t.deleteLiteral(i);
            if (i < t.size() && (t[i] == ',' || t[i] == ';')) ++i;  // a skipped ';' ends nothing
            continue;
        }
        if (b == '@') {
            var = true;
            ++i;
            continue;
        }
        if (!var) {
            KwMatch k = matchKeyword(t.text(), i, true, true);
            if (k.kind == KwKind::Rgb) {
                out.push(kColourMarker);
                i += k.length;
                continue;
            }
            if (k.kind == KwKind::Value) {
                t.addNumber(k.value);
                i += k.length;
                continue;
            }
        }
        if (isDigit(b)) {
            t.addDigit(b);
            ++i;
            continue;
        }
        if (var) {
            var = false;
            if (isVarLetter(static_cast<unsigned char>(b))) {
                t.clearDigits();
                i += 2;  // a string variable yields nothing; the byte after it goes too
                continue;
            }
            if (reads && out.n < kStackSize) reads->reads.push_back({out.n, t.digitsValue()});
            out.push(in.getInt(t.digitsValue()));
        } else if (b == '-') {
            neg = true;  // joins the digits around it: "3-2" reads as -32
            ++i;
            continue;
        } else {
            int32_t v = t.digitsValue();
            if (neg) {
                v = negate(v);
                neg = false;
            }
            out.push(v);
        }
        t.clearDigits();
        ++i;
    }
}

IntList scanIntList(const Interp& in, BytesView arg) {
    IntList out;
    scanIntList(in, arg, out);
    return out;
}

void scanConditionList(const Interp& in, Alerts& alerts, BytesView arg, IntList& out, ListVariables* reads) {
    out.clear();
    Scratch t(arg);
    bool var = false, neg = false;
    size_t i = (t.size() > 0 && t[0] == '(') ? 1 : 0;
    auto at = [&](size_t k) -> char { return k < t.size() ? t[k] : '\0'; };
    while (i < t.size()) {
        const char b = t[i];
        if (b == ';') break;
        if (b == '"') {
            t.deleteLiteral(i);
            continue;
        }
        if (b == '@') {
            var = true;
            ++i;
            continue;
        }
        if (!var) {
            KwMatch k = matchKeyword(t.text(), i, true, true);
            if (k.kind == KwKind::Rgb) {
                out.push(kColourMarker);
                i += k.length;
                continue;
            }
            if (k.kind == KwKind::Value) {
                t.addNumber(k.value);
                i += k.length;
                continue;
            }
        }
        if (isDigit(b)) {
            t.addDigit(b);
            ++i;
            continue;
        }
        const char n = at(i + 1);
        if (var) {
            var = false;
            if (isVarLetter(static_cast<unsigned char>(b))) {
                // A string variable has no value here; its name and the byte after it are dropped.
                t.clearDigits();
                i += 2;
                continue;
            }
            if (reads && out.n < kStackSize) reads->reads.push_back({out.n, t.digitsValue()});
            out.push(in.getInt(t.digitsValue()));
            t.clearDigits();
            if (b == '=' && n == '=') {
                out.push(kCmpEq);
                ++i;
            } else if (b == '!' && n == '=') {
                out.push(kCmpNe);
                ++i;
            } else if (b == '&' && n == '&') {
                out.push(kAnd);
                ++i;
            } else if (b == '|' && n == '|') {
                out.push(kOr);
                ++i;
            } else if (b == '<' && n != '=') {
                out.push(kCmpLt);
            } else if (b == '>' && n != '=') {
                out.push(kCmpGt);
            }
            ++i;
            continue;
        }
        const char prev = i > 0 ? t[i - 1] : '\0';
        bool stop = false;
        if (prev == '|' && b == '|') {
            out.push(kOr);
        } else if (prev == '&' && b == '&') {
            out.push(kAnd);
        } else if (prev == '!' && b == '=') {
            out.push(kCmpNe);
        } else if (prev == '>' && b == '=') {
            out.push(kCmpGe);
        } else if (prev == '<' && b == '=') {
            out.push(kCmpLe);
        } else if (prev == '=' && b == '=') {
            out.push(kCmpEq);
        } else if (b == '-') {
            neg = true;
            ++i;
            continue;
        } else {
            int32_t v = t.digitsValue();
            if (neg) {
                v = negate(v);
                neg = false;
            }
            out.push(v);
            if (b == ';' || b == ')') {
                stop = true;
            } else if (b == '<' && n != '=') {
                if (reads) reads->replayable = false;
                alerts.alert("<");
                out.push(kCmpLt);
            } else if (b == '>' && n != '=') {
                if (reads) reads->replayable = false;
                alerts.alert(">");
                out.push(kCmpGt);
            }
        }
        t.clearDigits();
        if (stop) break;
        ++i;
    }
}

IntList scanConditionList(const Interp& in, Alerts& alerts, BytesView arg) {
    IntList out;
    scanConditionList(in, alerts, arg, out);
    return out;
}

void scanStringList(Interp& in, BytesView t, StringList& out) {
    out.clear();
    out.add();
    auto cur = [&]() -> Bytes& { return out.back(); };
    auto advance = [&] { out.add(); };
    static constexpr std::string_view kInline[] = {"gosub", "loadimage", "playwave", "stopwave",
                                                   "openplaymcicdda"};
    bool literal = false;
    size_t i = 0;
    while (i < t.size()) {
        const char b = t[i];
        if (!literal) {
            if (b == ')' || b == ';') {
                cur() = ";";
                break;
            }
            if (b == '\0') break;
            if (b == '@' && i + 1 < t.size() && isVarLetter(static_cast<unsigned char>(t[i + 1]))) {
                cur() = in.svar[static_cast<size_t>(static_cast<unsigned char>(t[i + 1]) - 0x41)];
                advance();
                i += 2;
                continue;
            }
            if (b == '"') literal = true;
            ++i;
            continue;
        }
        if (b == '\\' && i + 3 < t.size() && t[i + 1] == '\\' && t[i + 2] == '@') {
            const unsigned char x = static_cast<unsigned char>(t[i + 3]);
            if (isVarLetter(x)) {
                cur() += in.svar[x - 0x41u];
                i += 4;
                continue;
            }
            if (isDigit(static_cast<char>(x))) {
                cur() += fullWidthDigits(in.getInt(x - '0'));
                i += 4;
                continue;
            }
        }
        if (b == '\\' && i + 1 < t.size() && t[i + 1] == '#') {
            for (std::string_view name : kInline)
                if (startsNoCase(t, i + 2, name)) in.inlineCommandFlag = true;
        }
        if (b == '"') {
            if (!in.inlineCommandFlag) {
                literal = false;
                advance();
                ++i;
                continue;
            }
            if (i + 1 < t.size() && t[i + 1] == ';') {
                in.inlineCommandFlag = false;
                literal = false;
                advance();
                i += 2;
                continue;
            }
        }
        cur() += b;
        ++i;
    }
}

StringList scanStringList(Interp& in, BytesView t) {
    StringList out;
    scanStringList(in, t, out);
    return out;
}

void scanNameList(BytesView t, StringList& out) {
    out.clear();
    out.add();
    auto cur = [&]() -> Bytes& { return out.back(); };
    auto advance = [&] { out.add(); };
    bool literal = false;
    for (size_t i = 0; i < t.size(); ++i) {
        const char b = t[i];
        if (b == '\n' || b == '\0') break;
        if (!literal) {
            if (b == ')' || b == ';') {
                cur() = ";";
                break;
            }
            if (b == '@' && i + 1 < t.size() && isVarLetter(static_cast<unsigned char>(t[i + 1]))) {
                cur() = Bytes(1, t[i + 1]);
                advance();
                ++i;
                continue;
            }
            if (b == '"') literal = true;
            continue;
        }
        if (b == '"') {
            literal = false;
            advance();
            continue;
        }
        cur() += b;
    }
}

StringList scanNameList(BytesView t) {
    StringList out;
    scanNameList(t, out);
    return out;
}

namespace {

// The right side's value, read left to right from `rhs` of the blank-free text, with the digit
// room of `digits` (never shorter than the text: every digit comes from one of its bytes).
int32_t rightSide(const Interp& in, BytesView t, size_t rhs, Digits& digits, RightSideSteps* learn = nullptr) {
    int32_t a = 0;
    char pendingOp = 0;
    bool var = false, paren = false, neg = false;
    for (size_t i = rhs; i < t.size(); ++i) {
        const char b = t[i];
        if (!var) {
            KwMatch k = matchKeyword(t, i, false, false);
            if (k.kind == KwKind::Value) {
                a = k.value;
                if (learn) learn->add({k.value, false, true, 0, false});
                digits.clear();
                digits.addNumber(k.value);
                i += k.length - 1;
                continue;
            }
        }
        if (isDigit(b)) {
            digits.add(b);
            continue;
        }
        if (b == '@' && !var) {
            var = true;
            continue;
        }
        if (b == '(' && !var) {
            paren = true;
            continue;
        }
        if (b == '-' && paren) {
            neg = true;
            paren = false;
            continue;
        }
        if (b == ')' && paren) {
            paren = false;
            continue;
        }
        int32_t operand = var ? in.getInt(digits.value()) : digits.value();
        if (learn) learn->add({digits.value(), var, false, pendingOp, pendingOp != 0 && neg});
        if (pendingOp == 0) {
            a = operand;
        } else {
            if (neg) {
                operand = negate(operand);
                neg = false;
            }
            a = arith(pendingOp, a, operand);
        }
        var = false;
        digits.clear();
        if (b == '*' || b == '+' || b == '-' || b == '/') pendingOp = b;
        if (b == ';') break;
    }
    return a;
}

void storeIntAssign(Interp& in, BytesView t, const IntAssignForm& f, Digits& digits) {
    storeIntAssignWith(in, f, [&] { return rightSide(in, t, f.rhs, digits); });
}

AssignOutcome assignInteger(Interp& in, Alerts& alerts, BytesView stmt) {
    Scratch sc(stmt);
    const IntAssignForm f = readIntAssign(sc.text());
    if (f.kind == IntAssignForm::kMalformed) alerts.alert(stmt);
    storeIntAssign(in, sc.text(), f, sc.digits());
    return outcomeOf(f);
}

AssignOutcome assignString(Interp& in, BytesView t) {
    AssignOutcome res;
    res.index = static_cast<unsigned char>(t[1]) - 0x41;
    const size_t eq = t.find('=');
    if (eq == BytesView::npos) return res;
    const bool append = eq > 0 && t[eq - 1] == '+';
    Bytes value;
    for (size_t i = eq + 1; i < t.size(); ++i) {
        const char b = t[i];
        if (b == ';') break;
        if (b == '"') {
            size_t close = t.find('"', i + 1);
            if (close == BytesView::npos) {
                value.append(t.substr(i + 1));
                break;
            }
            value.append(t.substr(i + 1, close - i - 1));
            i = close + 2;  // the two bytes after the closing quote go unexamined
            continue;
        }
        if (b == '@' && i + 1 < t.size()) {
            const unsigned char x = static_cast<unsigned char>(t[i + 1]);
            if (isVarLetter(x)) {
                value += in.svar[x - 0x41u];
                ++i;
                continue;
            }
            if (isDigit(static_cast<char>(x))) {
                size_t e = i + 1;
                while (e < t.size() && isDigit(t[e])) ++e;
                value += std::to_string(in.getInt(leadingInt(t.substr(i + 1, e - i - 1))));
                i = e - 1;
                continue;
            }
            continue;
        }
        if (b == '#') {
            res.kind = 2;
            res.pending = true;
            return res;
        }
    }
    Bytes& slot = in.svar[static_cast<size_t>(res.index)];
    if (append)
        slot += value;
    else
        slot = value;
    in.noteChange(res.index);
    return res;
}

}  // namespace

BytesView assignmentText(BytesView fromAt) {
    const size_t semi = fromAt.find(';');
    return semi == BytesView::npos ? fromAt : fromAt.substr(0, semi + 1);
}

size_t compactAssignment(BytesView stmt, char* out, size_t room) {
    size_t n = 0;
    for (char c : stmt) {
        if (c == ' ' || c == '\n' || c == '\t') continue;
        if (n == room) return room + 1;
        out[n++] = c;
    }
    return n;
}

AssignOutcome outcomeOf(const IntAssignForm& f) {
    AssignOutcome res;
    res.index = f.index;
    if (f.kind == IntAssignForm::kPending) {
        res.kind = 1;
        res.pending = true;
    }
    return res;
}

void runIntAssign(Interp& in, BytesView compact, const IntAssignForm& form, RightSideSteps* steps, bool* known) {
    if (steps && known && *known && steps->fits) {
        storeIntAssignWith(in, form, [&] { return replayRightSide(in, *steps); });
        return;
    }
    char room[DecodedStatement::kCompactRoom];
    Digits digits(room, sizeof room);
    if (compact.size() <= sizeof room && form.kind != IntAssignForm::kMalformed) {
        RightSideSteps* learn = steps && known && !*known ? steps : nullptr;
        storeIntAssignWith(in, form, [&] { return rightSide(in, compact, form.rhs, digits, learn); });
        if (learn) *known = true;
    }
}

AssignOutcome evalAssignment(Interp& in, Alerts& alerts, BytesView text) {
    const BytesView stmt = assignmentText(text);
    if (stmt.empty() || stmt[0] != '@') {
        alerts.alert(utf8ToCp932("変数変換失敗"));
        return {};
    }
    if (stmt.size() < 2) return {};
    const unsigned char kind = static_cast<unsigned char>(stmt[1]);
    if (isDigit(static_cast<char>(kind))) return assignInteger(in, alerts, stmt);
    if (isVarLetter(kind)) return assignString(in, stmt);
    return {};
}

}  // namespace yv
