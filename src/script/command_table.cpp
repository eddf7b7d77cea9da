// The letter dispatch over the command table, and running a command by name.
#include "script/command_table.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "runtime.h"

namespace yv {
namespace {

// The rows by name, folded to lower case, in an open-addressed table: every command statement
// looks its name up. Row names are plain ASCII, so a name matches a row exactly when its ASCII
// letters folded equal the row's (a double-byte character never matches). Where two rows had
// the same name the first would win, as a walk over the rows in order finds it.
class NameIndex {
public:
    NameIndex() {
        // A table this size never fills, so every probe ends at an empty slot.
        if (commandTable().size() > (kMask + 1) / 2) std::abort();
        for (const CommandRow& r : commandTable()) {
            const BytesView name(r.name);
            if (name.size() > kLongestName) std::abort();
            longest_ = std::max(longest_, name.size());
            size_t i = hash(name) & kMask;
            while (slots_[i].row && !sameFolded(slots_[i].name, name)) i = (i + 1) & kMask;
            if (!slots_[i].row) slots_[i] = {name, &r};
        }
    }
    const CommandRow* find(BytesView name) const {
        if (name.empty() || name.size() > longest_) return nullptr;
        char folded[kLongestName];
        const size_t n = std::min(name.size(), sizeof folded);
        for (size_t k = 0; k < n; ++k) folded[k] = fold(name[k]);
        const BytesView key(folded, n);
        for (size_t i = hash(key) & kMask; slots_[i].row; i = (i + 1) & kMask)
            if (slots_[i].name.size() == n && sameFolded(slots_[i].name, key)) return slots_[i].row;
        return nullptr;
    }

private:
    static constexpr size_t kLongestName = 64;
    static constexpr size_t kMask = 1023;  // room for four times the rows there are
    static char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
    static bool sameFolded(BytesView a, BytesView b) {
        if (a.size() != b.size()) return false;
        for (size_t k = 0; k < a.size(); ++k)
            if (fold(a[k]) != fold(b[k])) return false;
        return true;
    }
    static size_t hash(BytesView s) {  // FNV-1a over the folded name
        uint32_t h = 2166136261u;
        for (char c : s) h = (h ^ static_cast<unsigned char>(fold(c))) * 16777619u;
        return h;
    }
    struct Slot {
        BytesView name;
        const CommandRow* row = nullptr;
    };
    std::array<Slot, kMask + 1> slots_{};
    size_t longest_ = 0;
};

const NameIndex& names() {
    static const NameIndex index;
    return index;
}

}  // namespace

const CommandRow* findCommand(BytesView name) { return names().find(name); }

int32_t callCommand(Runtime& rt, const CommandRow& row, BytesView argText) {
    if (!row.handler) return 1;
    const Args args = evaluateArgs(rt.interp, rt, row.takes, argText);
    const int32_t v = row.handler(rt, args);
    if (row.result == kStored) rt.interp.result = v;
    return v;
}

int32_t callCommandFresh(Runtime& rt, const CommandRow& row, BytesView argText, std::shared_ptr<ArgsRecipe>& recipe) {
    if (!row.handler) return 1;
    Args args;
    evaluateArgsKeeping(rt.interp, rt, row.takes, argText, recipe, args);
    const int32_t v = row.handler(rt, args);
    if (row.result == kStored) rt.interp.result = v;
    return v;
}

int32_t callCommand(Runtime& rt, BytesView name, BytesView argText) {
    const CommandRow* row = findCommand(name);
    return row ? callCommand(rt, *row, argText) : 1;
}

}  // namespace yv
