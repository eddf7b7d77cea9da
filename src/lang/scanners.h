// The five scanners that turn argument texts and assignments into values. They work byte by
// byte, left to right, without precedence; their odd results are part of the language.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/bytes.h"
#include "lang/interp.h"

namespace yv {

struct Runtime;

// Up to 1024 items; reading past the last item gives the end marker.
struct IntList {
    std::array<int32_t, kStackSize> v;  // only the first n are meaningful
    int n = 0;
    int32_t operator[](size_t i) const { return i < static_cast<size_t>(n) ? v[i] : kEndMarker; }
    void push(int32_t x) {
        if (n < kStackSize) v[static_cast<size_t>(n++)] = x;  // excess arguments are ignored
    }
    bool given(size_t i) const { return (*this)[i] != kEndMarker; }
    // How many leading arguments were given (up to the first missing one).
    int givenCount() const {
        int k = 0;
        while (k < n && v[static_cast<size_t>(k)] != kEndMarker) ++k;
        return k;
    }
};

// Strings of the argument text; the slot after the last holds ";", later slots are empty.
struct StringList {
    std::vector<Bytes> slots;
    const Bytes& operator[](size_t i) const {
        static const Bytes kEmpty;
        return i < slots.size() ? slots[i] : kEmpty;
    }
    // A slot starting with ';' is an argument that was not written.
    bool given(size_t i) const { return !(*this)[i].empty() && (*this)[i][0] != ';'; }
};

IntList scanIntList(const Interp& in, BytesView arg);
// May show the "<" / ">" message boxes for a number written directly before those operators.
IntList scanConditionList(Runtime& rt, BytesView arg);
// Uses and updates the inline-command flag that survives between calls.
StringList scanStringList(Interp& in, BytesView arg);
StringList scanNameList(BytesView arg);

struct AssignOutcome {
    int32_t index = -1;
    int32_t kind = 0;      // 1 integer variable, 2 string variable
    bool pending = false;  // the right side is a command call; its result is stored later
};
// `fromAt` starts at the '@' of the statement and runs to the end of the script text.
AssignOutcome evalAssignment(Runtime& rt, BytesView fromAt);

// Full-width digits "０".."９" for a number, minus sign dropped (the \\@N form of literals).
Bytes fullWidthDigits(int32_t v);

}  // namespace yv
