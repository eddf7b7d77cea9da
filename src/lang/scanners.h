// The five scanners that turn argument texts and assignments into values. They work byte by
// byte, left to right, without precedence; their odd results are part of the language.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "core/bytes.h"
#include "lang/interp.h"
#include "lang/statement_cache.h"

namespace yv {

class Alerts;

// Up to 1024 items; reading past the last item gives the end marker. The first few live inside
// the list: most commands take a handful, and a statement keeps its lists between runs.
class IntList {
public:
    int n = 0;  // items written

    int32_t operator[](size_t i) const { return i < static_cast<size_t>(n) ? slot(i) : kEndMarker; }
    void push(int32_t x) {
        if (n >= kStackSize) return;  // excess arguments are ignored
        if (n < kInline)
            first_[static_cast<size_t>(n)] = x;
        else
            more_.push_back(x);
        ++n;
    }
    void clear() {
        n = 0;
        more_.clear();
    }
    // Replaces item i (< n).
    void set(size_t i, int32_t x) { slot(i) = x; }
    bool given(size_t i) const { return (*this)[i] != kEndMarker; }
    // How many leading arguments were given (up to the first missing one).
    int givenCount() const {
        int k = 0;
        while (k < n && slot(static_cast<size_t>(k)) != kEndMarker) ++k;
        return k;
    }
    std::vector<int32_t> items() const {
        std::vector<int32_t> v;
        for (int k = 0; k < n; ++k) v.push_back(slot(static_cast<size_t>(k)));
        return v;
    }

private:
    static constexpr int kInline = 16;
    int32_t slot(size_t i) const { return i < kInline ? first_[i] : more_[i - kInline]; }
    int32_t& slot(size_t i) { return i < kInline ? first_[i] : more_[i - kInline]; }
    std::array<int32_t, kInline> first_{};
    std::vector<int32_t> more_;
};

// Strings of the argument text; the slot after the last holds ";", later slots are empty.
// The first few slots live inside the list: most commands take one or two strings, and a
// statement should not cost an allocation.
class StringList {
public:
    const Bytes& operator[](size_t i) const { return i < count_ ? slot(i) : kEmpty; }
    // A slot starting with ';' is an argument that was not written.
    bool given(size_t i) const { return !(*this)[i].empty() && (*this)[i][0] != ';'; }
    size_t size() const { return count_; }
    std::vector<Bytes> all() const {
        std::vector<Bytes> v;
        for (size_t i = 0; i < count_; ++i) v.push_back(slot(i));
        return v;
    }

    // For the scanners: empties the list, adds a slot (up to 1024), the last slot.
    void clear() {
        for (size_t i = 0; i < count_ && i < kInline; ++i) first_[i].clear();
        more_.clear();
        count_ = 0;
    }
    void add() {
        if (count_ >= static_cast<size_t>(kStackSize)) return;
        if (count_ >= kInline) more_.emplace_back();
        ++count_;
    }
    Bytes& back() { return slot(count_ - 1); }

private:
    // Made before main runs: a local static would be guarded on every look.
    static inline const Bytes kEmpty{};
    static constexpr size_t kInline = 4;
    const Bytes& slot(size_t i) const { return i < kInline ? first_[i] : more_[i - kInline]; }
    Bytes& slot(size_t i) { return i < kInline ? first_[i] : more_[i - kInline]; }
    std::array<Bytes, kInline> first_;
    std::vector<Bytes> more_;
    size_t count_ = 0;
};

// Where an integer or condition list read a variable. Which items are variables, and which
// variables, follows from the text alone (the scanners' paths never depend on a value), so a
// list scanned once can be rebuilt by reading those variables again.
struct ListVariables {
    struct Read {
        int32_t item, index;
    };
    std::vector<Read> reads;
    bool replayable = true;  // false when the scan did more than fill the list (a message box)
    void fill(const Interp& in, IntList& list) const {
        for (const Read& r : reads) list.set(static_cast<size_t>(r.item), in.getInt(r.index));
    }
};

// Each scanner either returns its list or fills one given (emptied first), as the dispatcher
// does; `reads`, when given, learns where the list read variables.
IntList scanIntList(const Interp& in, BytesView arg);
void scanIntList(const Interp& in, BytesView arg, IntList& out, ListVariables* reads = nullptr);
// May show the "<" / ">" message boxes for a number written directly before those operators.
IntList scanConditionList(const Interp& in, Alerts& alerts, BytesView arg);
void scanConditionList(const Interp& in, Alerts& alerts, BytesView arg, IntList& out, ListVariables* reads = nullptr);
// Uses and updates the inline-command flag that survives between calls.
StringList scanStringList(Interp& in, BytesView arg);
void scanStringList(Interp& in, BytesView arg, StringList& out);
StringList scanNameList(BytesView arg);
void scanNameList(BytesView arg, StringList& out);

struct AssignOutcome {
    int32_t index = -1;
    int32_t kind = 0;      // 1 integer variable, 2 string variable
    bool pending = false;  // the right side is a command call; its result is stored later
};
// `fromAt` starts at the '@' of the statement and runs to the end of the script text.
AssignOutcome evalAssignment(Interp& in, Alerts& alerts, BytesView fromAt);

// The statement an assignment at `fromAt` reads: through its first ';' (or the whole rest).
BytesView assignmentText(BytesView fromAt);
// The statement without its blanks, written to `out`; returns its length, or room + 1 when it
// does not fit.
size_t compactAssignment(BytesView stmt, char* out, size_t room);
// The parts of an integer assignment that do not depend on variables, from its blank-free text.
IntAssignForm readIntAssign(BytesView compact);
// Runs an integer assignment read before (never a malformed one: that one's message box wants
// the statement as written), as evalAssignment would. With `steps` given: replays them when
// `known`, else learns them (setting `known`; steps that do not fit are not used). What it
// leaves pending is outcomeOf(form): a value, not a struct through memory, keeps the hot path
// free of store-to-load stalls.
void runIntAssign(Interp& in, BytesView compact, const IntAssignForm& form, RightSideSteps* steps = nullptr,
                  bool* known = nullptr);
// What an assignment of this form leaves pending (evalAssignment's answer for it).
AssignOutcome outcomeOf(const IntAssignForm& form);

// Full-width digits "０".."９" for a number, minus sign dropped (the \\@N form of literals).
Bytes fullWidthDigits(int32_t v);

}  // namespace yv
