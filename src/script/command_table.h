// The command table: every command of the language, in the order its letter dispatcher compares.
#pragma once

#include <cstdint>
#include <span>

#include "core/bytes.h"

namespace yv {

struct Runtime;

using Handler = int32_t (*)(Runtime&);

enum ResultPolicy : uint8_t {
    kStored,  // the handler's value becomes the integer result
    kKept,    // the previous integer result stays
};

struct CommandRow {
    const char* name;
    ResultPolicy result;
    bool setsString;  // also sets the string result
    Handler handler;  // nullptr: not built yet, does nothing and keeps the previous result
    const char* meaning;
};

std::span<const CommandRow> commandTable();

// Finds the command by name (without regard to case) among the rows of its first letter, runs
// it and stores its value as the policy says. An unknown name does nothing and returns 1.
int32_t dispatchCommand(Runtime& rt, BytesView name);

// The row of a command, or nullptr.
const CommandRow* findCommand(BytesView name);

}  // namespace yv
