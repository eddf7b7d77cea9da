// The read-text memory of a running game: its file in the player folder (read.dat), the page
// the renderer shows now, and when the file is written.
#pragma once

#include <cstdint>
#include <filesystem>

#include "core/bytes.h"
#include "lang/script_source.h"
#include "save/read_text.h"

namespace yv {

struct Runtime;

// The interpreter thread's alone while the game runs (start-up reads it, shutdown writes it
// once the thread has ended). No load or reset touches it: what was read stays read.
struct ReadMemory {
    ReadText pages;
    std::filesystem::path file;  // empty: nothing is kept between runs
    bool dirty = false;          // pages noted since the file was last written
    uint32_t lastWriteMs = 0;
    bool warned = false;
    // The script file of the message looked at last: its name and its contents' hash.
    ScriptPtr script;
    Bytes name;
    uint64_t hash = 0;
};

namespace save {
// Reads the game's memory from the player folder (start-up, before the steps run). A damaged
// file counts as none.
void openReadText(Runtime& rt);
// Whether the page of the message now shown was read in this run or an earlier one.
bool pageWasRead(Runtime& rt);
// The page of the message now shown has been shown to its end.
void notePageRead(Runtime& rt);
// Between steps: writes new pages at a quiet moment (a page waiting for the player) a few
// seconds after the last write, so that a crash loses little.
void keepReadTextWhenDue(Runtime& rt);
// Writes what is new (the game is closing).
void writeReadText(Runtime& rt);
}  // namespace save

}  // namespace yv
