// How many numbers and strings the commands take, as their handlers read them.
#pragma once

#include <cstdint>
#include <string_view>

namespace yv::check {

struct Arity {
    const char* name;
    uint32_t numbers;     // bit k set: k numbers may be written (a colour rgb(…) counts as one)
    uint8_t stringsMin, stringsMax;
    const char* omitted;  // what leaving the optional ones out means, or ""
};

// The row of a command whose count is known (name without regard to case), or nullptr.
const Arity* arityOf(std::string_view name);

// The rows, for the test that every name is a command of the table.
const Arity* arityBegin();
const Arity* arityEnd();

}  // namespace yv::check
