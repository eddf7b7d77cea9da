// The integer arithmetic of assignments and conditions, and the replay of a learnt right side:
// inline, as the step runs them for every assignment.
#pragma once

#include <cstdint>

#include "lang/interp.h"
#include "lang/statement_cache.h"

namespace yv {

inline int32_t negate(int32_t v) { return static_cast<int32_t>(-static_cast<int64_t>(v)); }

// Wrapping 32-bit arithmetic; division by zero leaves the left side as it was.
inline int32_t arith(char op, int32_t a, int32_t b) {
    const int64_t x = a, y = b;
    switch (op) {
    case '+': return static_cast<int32_t>(static_cast<uint32_t>(x + y));
    case '-': return static_cast<int32_t>(static_cast<uint32_t>(x - y));
    case '*': return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(x) * static_cast<uint64_t>(y)));
    case '/': return y == 0 ? a : static_cast<int32_t>(static_cast<uint32_t>(x / y));
    case '%': return y == 0 ? a : static_cast<int32_t>(x % y);
    case '&': return a & b;
    case '|': return a | b;
    case '^': return a ^ b;
    default: return a;
    }
}

// A step that gives a number of the text as it stands (a keyword's or a plain number).
inline bool givesNumber(const RightSideSteps::Step& st) { return st.reset || (st.op == 0 && !st.variable); }

// The walk of the right-side scanner again, from the steps it took.
inline int32_t replayRightSide(const Interp& in, const RightSideSteps& s) {
    // One plain operand (most right sides): its value, without the walk.
    if (s.n == 1) {
        const RightSideSteps::Step& st = s.steps[0];
        if (givesNumber(st)) return st.value;
        if (st.op == 0) return in.getInt(st.value);
    }
    int32_t a = 0;
    for (int k = 0; k < s.n; ++k) {
        const RightSideSteps::Step& st = s.steps[static_cast<size_t>(k)];
        if (st.reset) {
            a = st.value;
            continue;
        }
        int32_t operand = st.variable ? in.getInt(st.value) : st.value;
        if (st.op == 0) {
            a = operand;
        } else {
            if (st.negate) operand = negate(operand);
            a = arith(st.op, a, operand);
        }
    }
    return a;
}

// Stores what a read integer assignment computes; `right` gives its right side's value.
template <typename Right>
[[gnu::always_inline]] inline void storeIntAssignWith(Interp& in, const IntAssignForm& f, Right right) {
    switch (f.kind) {
    case IntAssignForm::kIncrement: in.setInt(f.index, arith('+', in.getInt(f.index), 1)); return;
    case IntAssignForm::kDecrement: in.setInt(f.index, arith('-', in.getInt(f.index), 1)); return;
    case IntAssignForm::kStore: break;
    default: return;
    }
    const int32_t a = right();
    const int32_t cur = in.getInt(f.index);
    int32_t v = a;
    switch (f.compound) {
    case 0: v = a; break;
    case '%': v = (a != 0 && cur != 0) ? arith('%', cur, a) : cur; break;
    default: v = arith(f.compound, cur, a); break;
    }
    in.setInt(f.index, v);
}

// The quick form of a learnt assignment, when it has one (see DecodedStatement::quick).
inline void learnQuickAssign(DecodedStatement& d) {
    const IntAssignForm& f = d.assign;
    if (f.index < 0 || f.index >= kIntVarCount) return;
    auto set = [&](DecodedStatement::Quick q, int64_t v) {
        d.quick = q;
        d.quickValue = static_cast<int32_t>(static_cast<uint32_t>(v));
    };
    if (f.kind == IntAssignForm::kIncrement) return set(DecodedStatement::kQuickAdd, 1);
    if (f.kind == IntAssignForm::kDecrement) return set(DecodedStatement::kQuickAdd, -1);
    if (f.kind != IntAssignForm::kStore || d.rhs.n != 1) return;
    const RightSideSteps::Step& st = d.rhs.steps[0];
    if (!givesNumber(st)) return;
    if (f.compound == 0) set(DecodedStatement::kQuickSet, st.value);
    else if (f.compound == '+') set(DecodedStatement::kQuickAdd, st.value);
    else if (f.compound == '-') set(DecodedStatement::kQuickAdd, -static_cast<int64_t>(st.value));
}

// Runs a quick form: what storeIntAssignWith does for it.
inline void runQuickAssign(Interp& in, const DecodedStatement& d) {
    const size_t i = static_cast<size_t>(d.assign.index);
    int32_t& v = in.ivar[i];
    v = d.quick == DecodedStatement::kQuickSet
            ? d.quickValue
            : static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(d.quickValue));
    in.noteChange(d.assign.index);
}

}  // namespace yv
