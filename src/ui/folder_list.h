// The folders of one folder as the launcher's chooser lists them, those holding a game marked.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace yv::ui {

struct FolderEntry {
    std::filesystem::path path;
    std::string name;  // UTF-8, as a player reads it (Shift-JIS names of old archives too)
    bool hasGame = false;  // holds a start.ini, in any letter case
};

struct FolderListing {
    std::filesystem::path at;  // absolute and normal
    std::filesystem::path parent;  // empty at the top
    std::vector<FolderEntry> folders;  // sorted by name, letter case aside
    bool hasGame = false;  // `at` itself holds a start.ini
    bool cut = false;  // more folders than are listed
    std::string error;  // why `at` could not be read (empty when it could)
};

// A folder full of folders (a whole disk's, a mount of archives) is listed up to this many.
constexpr size_t kMaxListedFolders = 4000;
// A folder is looked into for a start.ini up to this many names: a game keeps it near the top
// level among a few hundred files, and a folder of a hundred thousand photos is no game.
constexpr size_t kMaxNamesLookedAt = 20000;
// All the folders of one listing are looked into for their start.ini up to this many names in
// all; past it, only the usual spelling is looked for.
constexpr size_t kMaxNamesPerListing = 200000;

// The folders beneath `dir` (hidden ones, whose names begin with a dot, left out), no more than
// `maxFolders` of them.
FolderListing listFolders(const std::filesystem::path& dir, size_t maxFolders = kMaxListedFolders);

// Whether `dir` holds a start.ini in any letter case, looking at no more than kMaxNamesLookedAt
// names nor more than `budget` (which it lessens by those it looked at).
bool holdsGame(const std::filesystem::path& dir, size_t& budget);

}  // namespace yv::ui
