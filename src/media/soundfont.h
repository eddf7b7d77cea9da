// Which General MIDI soundfont MIDI music plays with.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace yv::media {

// In order: the --soundfont option, YORVANE_SOUNDFONT, a .sf2 file in the game folder, the
// system's General MIDI soundfont. Nothing when none exists; a named file that is missing, and
// a game folder's file above 512 MB, are passed over, with a line in `notes` for the player.
std::optional<std::filesystem::path> findSoundfont(const std::optional<std::filesystem::path>& option,
                                                   const std::filesystem::path& gameDir, std::string* notes = nullptr);

}  // namespace yv::media
