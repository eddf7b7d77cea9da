// The letter dispatch over the command table, and running a command by name.
#include "script/command_table.h"

#include <array>
#include <vector>

#include "runtime.h"

namespace yv {
namespace {

// Each row with its name's length: most rows of a letter are told apart by length alone.
struct LetterIndex {
    struct Entry {
        BytesView name;
        const CommandRow* row;
    };
    std::array<std::vector<Entry>, 26> rows;
    LetterIndex() {
        for (const CommandRow& r : commandTable()) {
            char c = r.name[0];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
            rows[static_cast<size_t>(c - 'a')].push_back({BytesView(r.name), &r});
        }
    }
};

const LetterIndex& letters() {
    static const LetterIndex index;
    return index;
}

}  // namespace

const CommandRow* findCommand(BytesView name) {
    if (name.empty()) return nullptr;
    char c = name[0];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c < 'a' || c > 'z') return nullptr;  // a name that starts with no letter matches nothing
    for (const LetterIndex::Entry& e : letters().rows[static_cast<size_t>(c - 'a')])
        if (e.name.size() == name.size() && equalsNoCaseMb(e.name, name)) return e.row;
    return nullptr;
}

int32_t callCommand(Runtime& rt, const CommandRow& row, BytesView argText) {
    if (!row.handler) return 1;
    const Args args = evaluateArgs(rt, row.takes, argText);
    const int32_t v = row.handler(rt, args);
    if (row.result == kStored) rt.interp.result = v;
    return v;
}

int32_t callCommand(Runtime& rt, BytesView name, BytesView argText) {
    const CommandRow* row = findCommand(name);
    return row ? callCommand(rt, *row, argText) : 1;
}

}  // namespace yv
