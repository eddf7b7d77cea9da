// What the reader learnt about each statement of the current script text, by byte position.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "core/bytes.h"
#include "lang/script_source.h"

namespace yv {

struct CommandRow;
struct ArgsRecipe;

// An integer assignment read once: its text without blanks and where its parts lie. Only the
// value of the right side is worked out each time (it depends on the variables).
struct IntAssignForm {
    enum Kind : uint8_t {
        kNone,       // no operator: only the index is known, nothing is stored
        kIncrement,  // "++"
        kDecrement,  // "--"
        kStore,      // "=" or a compound "op=" (op in `compound`)
        kPending,    // the right side calls a command: its result is stored later
        kMalformed,  // an operator without '=': said in a message box each time
    };
    Kind kind = kNone;
    char compound = 0;
    int32_t index = 0;
    uint32_t rhs = 0;  // where the right side starts in the compact text
};

// The right side of an integer assignment as the scanner walked it: which operands it took
// (numbers from the text, or variables) and how it combined them. The walk depends on the text
// alone, so replaying these reads the variables again and gives what the walk would.
struct RightSideSteps {
    struct Step {
        int32_t value = 0;      // the number, or the variable's index
        bool variable = false;  // read the variable `value`
        bool reset = false;     // a keyword's value replaces the result so far
        char op = 0;            // 0: the operand replaces the result; else combined with it
        bool negate = false;    // the operand is negated first
    };
    static constexpr int kMax = 12;
    std::array<Step, kMax> steps{};
    uint8_t n = 0;
    bool fits = true;
    void add(const Step& s) {
        if (n < kMax)
            steps[n++] = s;
        else
            fits = false;
    }
};

struct DecodedStatement;

// The loop's control-flow commands, which the step runs by a direct call of their handler, past
// the general command path, once their arguments are kept.
enum class DirectOp : uint8_t { kNone, kGoto, kGosub, kReturn, kIf, kWait };

// One way out of a statement: where it leaves the reader, and what lies after that.
struct StatementExit {
    int32_t end = -1;  // where the statement leaves the reader (the step then adds one); -1 unknown
    // The bytes after end + 1 that start no statement (blanks, line ends, labels, comments): the
    // position of the statement after them (or the end of the text) and how many passes the
    // step makes over them. -1 while not known.
    int32_t followTo = -1;
    int32_t followPasses = 0;
    // The entry of the statement at followTo when last looked up (checked before use).
    DecodedStatement* followEntry = nullptr;
};

struct DecodedStatement {
    enum Kind : uint8_t { kEmpty, kCommand, kIntAssign };
    // Tag: the statement's position and the text generation it was read in.
    int32_t at = -1;
    uint32_t generation = 0;
    Kind kind = kEmpty;
    // Whether the step's lane runs it, once it can: from then on it always can (a learnt
    // assignment stays learnt, kept arguments stay kept), but for a string list while the
    // inline-command flag is on. Never for any other command, nor for an assignment learnt
    // with a command after '=' or a right side too long to keep.
    enum Lane : uint8_t { kLaneNotYet, kLaneRuns, kLaneRunsOutsideInline, kLaneNever };
    Lane lane = kLaneNotYet;

    // When nothing moved the read position: where the reader goes on after the statement.
    StatementExit normal;
    // A command that moved the reader within this text (a jump, a call, a return): the
    // position it moved to last time, and where the reader went on from there.
    static constexpr int32_t kNotMoved = INT32_MIN;
    int32_t movedTo = kNotMoved;
    StatementExit moved;

    // For a position that starts no statement: the bytes from it the step passes one by one
    // before it reaches the next statement (blanks, line ends, labels, comments), and that
    // statement's entry, as in StatementExit (its `end` unused).
    StatementExit skip;

    // kCommand.
    const CommandRow* row = nullptr;  // nullptr: the name matches no command
    DirectOp op = DirectOp::kNone;
    int32_t nameLen = 0;              // as the reader keeps it (clipped)
    int32_t open = -1;                // the '(' or -1
    int32_t argEnd = 0;               // the ';', line feed or end of text that ends the arguments
    bool ownSemicolon = false;        // argEnd is a ';' (else the reader adds one)
    // The label its jump looked up last in this text, and where it was found (0: nowhere).
    Bytes label;
    int32_t labelAt = -1;
    // Its arguments as far as the text decides them (none kept yet, or none can be).
    std::shared_ptr<ArgsRecipe> args;

    // kIntAssign.
    IntAssignForm assign;
    RightSideSteps rhs;  // learnt on the first run (rhsKnown)
    bool rhsKnown = false;
    // A learnt assignment that comes down to one store or one wrapping addition of a number
    // ("@1 = 5", "@1 += 5", "@1 -= 5", "@1++", "@1--" on a variable that exists): the lane's way.
    enum Quick : uint8_t { kQuickNone, kQuickSet, kQuickAdd };
    Quick quick = kQuickNone;
    int32_t quickValue = 0;
    static constexpr size_t kCompactRoom = 56;
    uint8_t compactLen = 0;
    char compact[kCompactRoom];
};

// A small direct-mapped table: a script's loops touch few statements, and a collision only
// costs a fresh read. Holding the text it describes keeps that text alive, so its address can
// never be taken by a different text while entries for it remain.
class StatementCache {
public:
    // The entry for the statement at `at` of `script` (tagged for it, but possibly empty).
    DecodedStatement& slot(const ScriptPtr& script, int32_t at) {
        if (script.get() != owner_.get()) {
            owner_ = script;
            nextGeneration();
        }
        if (slots_.empty()) slots_.resize(kSlots);
        DecodedStatement& d = slots_[(static_cast<uint32_t>(at) * 2654435761u) >> (32 - kBits)];
        if (d.at != at || d.generation != generation_) {
            if (&d == pinned_ && d.args) parked_.push_back(std::move(d.args));
            d = DecodedStatement{};
            d.at = at;
            d.generation = generation_;
        }
        return d;
    }
    // Whether `d`, an entry of this cache, still describes the statement at `at` of `script`.
    bool holds(const DecodedStatement& d, const ScriptSource* script, int32_t at) const {
        return script == owner_.get() && d.at == at && d.generation == generation_;
    }
    void clear() {
        owner_.reset();
        nextGeneration();
    }
    // While a command runs, the arguments its handler was given live in its entry's recipe:
    // should the entry be handed to another statement meanwhile, the recipe is parked until the
    // command is over. pin() returns the entry pinned before, for unpin() to restore.
    DecodedStatement* pin(DecodedStatement* d) { return std::exchange(pinned_, d); }
    void unpin(DecodedStatement* before) {
        pinned_ = before;
        if (!before && !parked_.empty()) parked_.clear();
    }

private:
    void nextGeneration() {
        // After a wrap an old entry could carry the new number: forget them all.
        if (++generation_ == 0)
            for (DecodedStatement& d : slots_) d.at = -1;
    }
    static constexpr int kBits = 10;
    static constexpr size_t kSlots = size_t{1} << kBits;
    ScriptPtr owner_;
    uint32_t generation_ = 0;
    std::vector<DecodedStatement> slots_;
    DecodedStatement* pinned_ = nullptr;
    std::vector<std::shared_ptr<ArgsRecipe>> parked_;
};

}  // namespace yv
