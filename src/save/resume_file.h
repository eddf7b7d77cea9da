// resume.sav: the state at the last page of a game that was closed before its script ended,
// with what tells whether the game's scripts changed since.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/bytes.h"

namespace yv {

struct Runtime;

namespace save {

// <player folder>/resume.sav.
std::filesystem::path resumePath(const std::filesystem::path& gameDir);

// The file: a header of text lines, then a save file's bytes as a slot holds them.
//   YVRESUME 1
//   <16 hex digits: FNV-1a 64 of the script's bytes, or "-" when it cannot be read> <its name, hex>
//   ... one line a script the state names (its call stack and the script it is in)
//   (an empty line)
// One file rather than the save and a note beside it: a crash between two writes could leave
// a note that speaks of another save; the names are hex so that any CP932 byte survives.
struct ResumeFile {
    struct Script {
        Bytes name;
        std::optional<uint64_t> hash;  // nothing: the script could not be read
        bool operator==(const Script&) const = default;
    };
    std::vector<Script> scripts;
    Bytes save;
};

Bytes formatResumeFile(const ResumeFile& file);
std::optional<ResumeFile> parseResumeFile(BytesView bytes);

// The script names a save file's state text starts with (the call stack, the script it is in),
// each once, in order.
std::vector<Bytes> scriptNamesOf(BytesView saveFile);
// The scripts as the game reads them now (through the archives when it uses them).
std::vector<ResumeFile::Script> scriptsNow(Runtime& rt, const std::vector<Bytes>& names);

// At the close (the interpreter thread has stopped): the newest page's state goes to
// resume.sav; a game whose script ended removes it instead. False (said on stderr) when the
// file could not be written.
bool leaveResumeFile(Runtime& rt, bool scriptEnded);

// --continue: the state the game was left in, ready to load; nothing with `why` (a sentence)
// when there is no resume file, it cannot be read, or a script it names has changed.
std::optional<Bytes> readResumeFile(Runtime& rt, std::string& why);

}  // namespace save
}  // namespace yv
