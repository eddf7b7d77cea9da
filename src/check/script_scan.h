// Reads one script text the way the statement reader walks it, without running it: what is
// wrong in it, and what it names (labels, scripts, pictures, sounds, movies, text tables).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "check/finding.h"
#include "core/bytes.h"

namespace yv {
struct Interp;
}

namespace yv::check {

struct Reference {
    enum Kind : uint8_t { kLabel, kScript, kPicture, kSound, kMovie, kTextTable, kChoiceList };
    Kind kind = kLabel;
    Bytes name;         // as written (CP932)
    Bytes labelFile;    // kLabel: the script that must hold it; empty = the one scanned
    size_t at = 0;      // byte offset of the statement in the scanned text
    const char* via = "";  // the command that names it, for the sentence
};

struct Label {
    Bytes name;
    size_t at = 0;  // offset of its '|'
};

struct ScriptScan {
    std::vector<Finding> findings;  // file left empty: the caller names it
    std::vector<size_t> offsets;    // the byte offset of each finding, for its line and column
    std::vector<Reference> refs;
    std::vector<Label> labels;      // every label, in the order of the text
    bool computed = false;          // a jump names its script through a variable
    size_t computedAt = 0;
};

// `in` is a scratch interpreter state the scanners evaluate in (its variables are all zero).
ScriptScan scanScript(BytesView text, Interp& in);

// A text table or any message text: its bytes (`bytes`) and the commands written inside it
// (`commands`). `base` is the offset of `text` in what the findings' offsets count.
void scanMessageText(BytesView text, size_t base, ScriptScan& out, Interp& in, bool bytes = true, bool commands = true);

// Where the reader goes on after the assignment at p (one byte past the one after its ';', ')'
// or line end); when a command lies in the bytes it passes over, that command's offset and why.
// `pending`: the right side is a command call, which the reader reaches on its own.
struct Skipped {
    size_t at = 0;
    std::string why;
};
int32_t afterAssignment(BytesView t, int32_t p, bool pending, std::optional<Skipped>* skipped);

// What the first string argument of a command names (command name folded to lower case):
// a file of some kind, or (kLabel) a jump's label with its script second; nothing for others.
std::optional<Reference::Kind> firstStringNames(BytesView lowerName);
// The code and the word for a missing file of that kind.
const char* missingCode(Reference::Kind k);
const char* kindWord(Reference::Kind k);

// What is said of a command name that is no command (the nearest command named when close).
std::string unknownCommandText(BytesView name);

// The first byte offset in `s` that is not CP932 (a cut or unknown double-byte character, a
// byte no character starts with), or npos.
size_t invalidCp932At(BytesView s);

}  // namespace yv::check
