// Saving and loading a game: the save text, the file, the full reset and the replay.
#pragma once

#include <filesystem>

#include "core/bytes.h"

namespace yv {

struct Runtime;

namespace save {

// The save text in its documented order: call stack, script name, position, variables, images,
// text settings, audio state, font, archive mode, text wait, wait-icon position, title.
Bytes buildSaveText(Runtime& rt);

// The whole file as Save writes it (header, picture, scrambled state text).
Bytes buildSaveFile(Runtime& rt);

// Save(file name): the file is replaced only once the new one is complete on disk. `shownName`
// is the name the failure message shows (CP932). False (after the message) when it failed.
bool saveGame(Runtime& rt, const std::filesystem::path& file, BytesView shownName);

// Load(file name): resets the runtime, replays the state and shows the picture. False when the
// file cannot be read (after the message) or is no saved game (the caller says so); the game
// is then left as it was.
bool loadGame(Runtime& rt, const std::filesystem::path& file, BytesView shownName);

// Restores the state from a file's bytes (the reading part of Load, after the reset).
void restoreFromBytes(Runtime& rt, BytesView file);

// What Load does with a file known to be a saved game, without its message: the reset, the
// images released, the state restored and the save menus enabled.
void resetAndRestore(Runtime& rt, BytesView file);

}  // namespace save
}  // namespace yv
