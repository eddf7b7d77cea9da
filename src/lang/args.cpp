// Evaluation of a statement's argument text into the lists its command reads.
#include "lang/args.h"

#include "lang/alerts.h"
#include "lang/interp.h"
#include "lang/scanners.h"

namespace yv {
namespace {

// Arguments written in the argument text (commas outside quotes and rgb( ) counted): the
// integer list cannot tell a string argument's trailing 0 item from a written 0.
int32_t countWritten(BytesView a) {
    int32_t n = 0, depth = 0;
    bool quoted = false, any = false;
    for (char ch : a) {
        if (ch == '"') quoted = !quoted;
        if (quoted) {
            any = true;
            continue;
        }
        if (ch == '(') ++depth;
        else if (ch == ')') --depth;
        else if (ch == ',' && depth == 1) ++n;
        else if (ch == ';' && depth <= 0) break;
        else if (ch != ' ' && ch != '\t' && depth >= 1) any = true;
    }
    return any || n > 0 ? n + 1 : 0;
}

// True for "();" and the like: the integer scanner reads an empty list as a single 0.
bool isBare(BytesView t) {
    for (char c : t)
        if (c != '(' && c != ')' && c != ';' && c != ' ' && c != '\t' && c != '\r') return false;
    return true;
}

}  // namespace

Args evaluateArgs(Interp& in, Alerts& alerts, Takes takes, BytesView text) {
    Args a;
    a.text = text;
    if (takes & kInts) scanIntList(in, text, a.ints);
    if (takes & kNames) scanNameList(text, a.names);
    if (takes & kStrings) scanStringList(in, text, a.strings);
    if (takes & kConditions) scanConditionList(in, alerts, text, a.conditions);
    if (takes & kWritten) a.written = countWritten(text);
    if (takes & kBare) a.bare = isBare(text);
    return a;
}

void evaluateArgsKeeping(Interp& in, Alerts& alerts, Takes takes, BytesView text, std::shared_ptr<ArgsRecipe>& recipe,
                         Args& out) {
    // Strings that name a variable ('@') or may hold an inline command or a variable insert
    // ('\\') are scanned each time; so is any list while the inline-command flag is on.
    const bool stringsKept = !(takes & kStrings) || (!in.inlineCommandFlag && text.find('@') == BytesView::npos &&
                                                     text.find('\\') == BytesView::npos);
    auto r = stringsKept ? std::make_shared<ArgsRecipe>() : nullptr;
    out.text = text;
    if (takes & kInts) scanIntList(in, text, out.ints, r ? &r->intReads : nullptr);
    if (takes & kNames) scanNameList(text, out.names);
    if (takes & kStrings) scanStringList(in, text, out.strings);
    if (takes & kConditions) scanConditionList(in, alerts, text, out.conditions, r ? &r->conditionReads : nullptr);
    if (takes & kWritten) out.written = countWritten(text);
    if (takes & kBare) out.bare = isBare(text);
    if (r && r->conditionReads.replayable) {
        r->args = out;
        r->takesStrings = (takes & kStrings) != 0;
        recipe = std::move(r);
    }
}

}  // namespace yv
