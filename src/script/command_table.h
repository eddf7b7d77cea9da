// The command table: every command of the language, in the order its letter dispatcher compares.
#pragma once

#include <cstdint>
#include <span>

#include "core/bytes.h"
#include "lang/args.h"

namespace yv {

struct Runtime;

using Handler = int32_t (*)(Runtime&, const Args&);

enum ResultPolicy : uint8_t {
    kStored,  // the handler's value becomes the integer result
    kKept,    // the previous integer result stays
};

struct CommandRow {
    const char* name;
    Takes takes;          // what is evaluated from the argument text before the handler runs
    ResultPolicy result;
    Handler handler;      // nullptr: not built yet, does nothing and keeps the previous result
    const char* meaning;
};

std::span<const CommandRow> commandTable();

// The row of a command (name without regard to case, among the rows of its first letter), or
// nullptr.
const CommandRow* findCommand(BytesView name);

// Runs a command by name with the given argument text, as a script statement does: evaluates
// what the command takes, runs its handler and stores its value as the policy says. An unknown
// name or a command not built yet evaluates nothing, does nothing and returns 1.
int32_t callCommand(Runtime& rt, BytesView name, BytesView argText);

// The same for a row already found.
int32_t callCommand(Runtime& rt, const CommandRow& row, BytesView argText);
// The same for a statement of the script whose kept arguments (see evaluateArgsKeeping) do not
// apply: evaluates them, keeping a recipe in `recipe` when the text allows. The caller holds
// `recipe` while the handler runs.
int32_t callCommandFresh(Runtime& rt, const CommandRow& row, BytesView argText, std::shared_ptr<ArgsRecipe>& recipe);

}  // namespace yv
