// What is wrong with the folder a player asked to play, said in the player's terms.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace yv::app {

// Nothing when the folder holds a start.ini (in any letter case); otherwise why it is not a game:
// it does not exist, it is a file, or it has no start.ini.
std::optional<std::string> gameFolderProblem(const std::filesystem::path& folder);

// The folder a given path names: a game's start.ini (in any letter case), as a file manager
// hands it over when the player opens it, names the folder it is in; anything else is itself.
std::filesystem::path gameFolderOf(const std::filesystem::path& given);

// What a player knows the game in the folder by (UTF-8): the Title of its start.ini, else the
// folder's name.
std::string gameTitleUtf8(const std::filesystem::path& folder);

// The game screen's size as start.ini, and _$debug over it, give it (640 x 480 when they do
// not), so that a window can open at its final size before the game's start reads them.
void configuredScreenSize(const std::filesystem::path& folder, int& width, int& height);

}  // namespace yv::app
