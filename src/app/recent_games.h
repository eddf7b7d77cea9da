// The games played last, most recent first, kept in $XDG_CONFIG_HOME/yorvane/recent.ini for the
// launcher.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yv::recent {

constexpr size_t kMaxGames = 10;

// The file's text; nothing (and `why`) for a file that another program wrote or is damaged.
// Relative paths and repeats are passed over, and no more than kMaxGames are kept.
std::optional<std::vector<std::filesystem::path>> parse(std::string_view text, std::string& why);
std::string format(const std::vector<std::filesystem::path>& games);

// Puts the game first; an earlier mention of it goes, and the list keeps kMaxGames at most.
void add(std::vector<std::filesystem::path>& games, const std::filesystem::path& game);

std::filesystem::path file();
// The list as kept (empty without a file); a broken one is passed over with one line on stderr.
std::vector<std::filesystem::path> load();
// Adds a game that has started (its canonical folder) and keeps the list; false when it could
// not be written (said on stderr).
bool remember(const std::filesystem::path& gameFolder);

}  // namespace yv::recent
