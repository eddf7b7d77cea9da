// Where slot files and system.dat live: the game folder, or a per-game folder in the user's data
// folder when the game folder cannot be written (a read-only install, a mounted disc image).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/beneath.h"
#include "core/bytes.h"

namespace yv {

struct Runtime;

namespace save {

// The per-user folder for a game folder: $XDG_DATA_HOME/yorvane/<name>-<hash of its path>
// ($XDG_DATA_HOME defaults to ~/.local/share).
std::filesystem::path userSaveFolder(const std::filesystem::path& gameDir);

// Chooses the save folder at start-up (saying once on stderr when it is not the game folder)
// and removes temporary files a crashed run left there.
void chooseSaveFolder(Runtime& rt);
// The same with the answer to "can the game folder be written" given.
void chooseSaveFolder(Runtime& rt, bool gameFolderWritable);

// Where a save file name (CP932, as a script or a slot gives it) is read and written: relative
// names are looked up in the save folder without regard to letter case. Nothing for an empty
// name and for one that would leave the save folder (`why` says how; see PathResolver::find).
std::optional<std::filesystem::path> savePath(const Runtime& rt, BytesView name, Outside* why = nullptr);
// The same for the runtime's own names (slots, system.dat), which never leave the folder by
// their spelling: a link leading out under such a name is replaced by a save, never followed.
std::filesystem::path ownSavePath(const Runtime& rt, BytesView name);

// The folder saves are kept in: the game folder, or the per-user one chosen at start-up.
const std::filesystem::path& saveRoot(const Runtime& rt);

// The one line on stderr for a save or load name that would leave the save folder.
void sayRefused(const Runtime& rt, const char* what, BytesView name, Outside why);

// "flag<n>.sav".
Bytes slotFileName(int slot);

}  // namespace save
}  // namespace yv
