// Where a player's own files live: the XDG base folders and the per-game folder names in them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace yv::user_dirs {

// FNV-1a over the bytes: short and stable from run to run and machine to machine.
uint32_t fnv1a32(std::string_view bytes);

// $<variable> when it holds an absolute path, else ~/<fallbackUnderHome>; empty when neither
// the variable nor HOME gives a place.
std::filesystem::path xdgBase(const char* variable, const char* fallbackUnderHome);

// "<folder name>-<8 hex digits of the hash of key>": two games of the same folder name in
// different places get different names. `key` is an absolute path without a trailing '/'.
std::string gameFolderKeyName(const std::string& key);

// $XDG_CONFIG_HOME/yorvane (~/.config/yorvane); empty when there is no home to put it in.
std::filesystem::path configFolder();

// The absolute path with links and dot parts resolved (as far as the folders exist), the form a
// game is known by in the player's settings and the recent list.
std::filesystem::path canonicalGameFolder(const std::filesystem::path& folder);

}  // namespace yv::user_dirs
