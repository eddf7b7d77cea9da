// Saving and loading a game: the save text, the file, the full reset and the replay.
#pragma once

#include <filesystem>
#include <optional>

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
// The box a caller shows when a load found no saved game ("ロードに失敗しました").
void sayNotASave(Runtime& rt, BytesView caption = {});

// Restores the state from a file's bytes (the reading part of Load, after the reset).
void restoreFromBytes(Runtime& rt, BytesView file);

// What Load does with a file known to be a saved game, without its message: the reset, the
// images released, the state restored and the save menus enabled.
void resetAndRestore(Runtime& rt, BytesView file);
// A save file's bytes read whole, or nothing after the stderr line and the failure message
// ("ファイルのロードに失敗しました"); a link must not lead out of `root`.
std::optional<Bytes> readSaveFile(Runtime& rt, const std::filesystem::path& file, BytesView shownName,
                                  const std::filesystem::path& root);
// What Load does once the file is read: false (said on stderr) when the bytes are no saved game, and
// the game is left as it was; else the reset and the replay, without the success message.
bool loadFromBytes(Runtime& rt, BytesView file, const std::filesystem::path& shownFile);

// What the player has done that a load would throw away, as a count that only grows: the page
// click waits a click (or auto mode) ended plus the choices taken. A game has made progress
// when the count differs from the one at its last save (a slot, a script's save, a quick save),
// load (any, the resume file's included) or start; reaching a page's click wait is no progress
// until the player goes past it.
uint32_t progress(const Runtime& rt);
void markProgress(Runtime& rt);
bool madeProgress(const Runtime& rt);

}  // namespace save
}  // namespace yv
