// The evaluated arguments a command handler is given, and what each command asks for.
#pragma once

#include <cstdint>
#include <memory>

#include "core/bytes.h"
#include "lang/interp.h"
#include "lang/scanners.h"

namespace yv {

class Alerts;

// What a command reads from its argument text. Only these are evaluated, once, before its
// handler runs: the string and condition scanners have side effects, so a command evaluates
// exactly the lists it reads.
enum Takes : uint8_t {
    kNothing = 0,
    kInts = 1 << 0,        // the integer list
    kNames = 1 << 1,       // the name list (memoryset)
    kStrings = 1 << 2,     // the string list: uses and updates the inline-command flag
    kConditions = 1 << 3,  // the condition list: may show the "<" / ">" message boxes
    kWritten = 1 << 4,     // how many arguments are written
    kBare = 1 << 5,        // whether the parentheses hold nothing
};
constexpr Takes operator|(Takes a, Takes b) { return static_cast<Takes>(uint8_t(a) | uint8_t(b)); }

// A list a command does not take stays empty: every integer item reads as the end marker,
// every string slot as "".
struct Args {
    BytesView text;       // the argument text, from its '(' through the ';' the reader appends
    IntList ints;         // kInts
    StringList names;     // kNames
    StringList strings;   // kStrings
    IntList conditions;   // kConditions
    int32_t written = 0;  // kWritten: "()" and "( )" write none; a colour counts once
    bool bare = false;    // kBare: nothing but parentheses and blanks (or no parentheses)
};

// Evaluates what `takes` names, in the order integers, names, strings, conditions.
Args evaluateArgs(Interp& in, Alerts& alerts, Takes takes, BytesView text);

// A statement's arguments as far as its text decides them, kept with the statement so that
// running it again only reads its variables again. Kept only where that gives what a scan
// would: no message box on the way, and a string list that reads no variable and leaves the
// inline-command flag alone (it is used only while the flag is off, as it was when kept).
struct ArgsRecipe {
    Args args;  // the last evaluation: text-given items as they stay, variable items refreshed
    ListVariables intReads, conditionReads;
    bool takesStrings = false;  // the string list is part of it
};

// The arguments from a kept recipe (they live in it: the caller holds it while they are in
// use), or nullptr when there is none or it does not apply now. Inline: every command a loop
// runs again comes through here.
inline const Args* replayArgs(Interp& in, BytesView text, ArgsRecipe* recipe) {
    if (!recipe || (recipe->takesStrings && in.inlineCommandFlag)) return nullptr;
    recipe->args.text = text;
    recipe->intReads.fill(in, recipe->args.ints);
    recipe->conditionReads.fill(in, recipe->args.conditions);
    return &recipe->args;
}
// evaluateArgs into `out`, keeping a recipe in `recipe` when the text allows.
void evaluateArgsKeeping(Interp& in, Alerts& alerts, Takes takes, BytesView text, std::shared_ptr<ArgsRecipe>& recipe,
                         Args& out);

}  // namespace yv
