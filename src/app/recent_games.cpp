// Reading, ordering and keeping the recent games list.
#include "app/recent_games.h"

#include <algorithm>
#include <cstdio>

#include "core/atomic_file.h"
#include "core/ini_lines.h"
#include "core/user_dirs.h"
#include "io/file_reader.h"

namespace fs = std::filesystem;

namespace yv::recent {
namespace {

constexpr std::string_view kSection = "[Recent]";

}  // namespace

std::optional<std::vector<fs::path>> parse(std::string_view text, std::string& why) {
    std::vector<fs::path> games;
    int line = 0;
    const ini::Outcome read = ini::readSection(text, kSection, line, [&](const ini::Line& l) {
        if (l.rawKey != "Game") return true;
        const fs::path p{std::string(l.rawValue)};
        if (p.is_absolute() && games.size() < kMaxGames && std::find(games.begin(), games.end(), p) == games.end())
            games.push_back(p);
        return true;
    });
    if (read == ini::Outcome::NotKeyValue) {
        why = "a line is not KEY=VALUE";
        return std::nullopt;
    }
    if (read != ini::Outcome::Read) {
        why = "not a Yorvane recent games file";
        return std::nullopt;
    }
    return games;
}

std::string format(const std::vector<fs::path>& games) {
    std::string out = "; Yorvane: the games played last, most recent first\n";
    out += kSection;
    out += '\n';
    for (const fs::path& g : games) out += "Game=" + g.string() + "\n";
    return out;
}

void add(std::vector<fs::path>& games, const fs::path& game) {
    games.erase(std::remove(games.begin(), games.end(), game), games.end());
    games.insert(games.begin(), game);
    if (games.size() > kMaxGames) games.resize(kMaxGames);
}

fs::path file() {
    const fs::path base = user_dirs::configFolder();
    return base.empty() ? fs::path{} : base / "recent.ini";
}

std::vector<fs::path> load() {
    const fs::path f = file();
    if (f.empty()) return {};
    io::ReadFailure failure = io::ReadFailure::None;
    const auto data = io::readRegular(f, 64 * 1024, &failure);
    if (!data) {
        if (failure != io::ReadFailure::Missing)
            std::fprintf(stderr, "yorvane: ignoring the recent games file %s: cannot be read\n", f.c_str());
        return {};
    }
    std::string why;
    auto games = parse(*data, why);
    if (!games) {
        std::fprintf(stderr, "yorvane: ignoring the recent games file %s: %s\n", f.c_str(), why.c_str());
        return {};
    }
    return *games;
}

bool remember(const fs::path& gameFolder) {
    const fs::path f = file();
    const fs::path game = user_dirs::canonicalGameFolder(gameFolder);
    // One line a game: a name with a line break cannot be kept.
    if (f.empty() || game.string().find_first_of("\r\n") != std::string::npos) return false;
    std::vector<fs::path> games = load();
    add(games, game);
    std::error_code ec;
    fs::create_directories(f.parent_path(), ec);
    std::string error;
    if (!atomic_file::replace(f, {format(games)}, error)) {
        std::fprintf(stderr, "yorvane: cannot keep the recent games in %s: %s\n", f.c_str(), error.c_str());
        return false;
    }
    return true;
}

}  // namespace yv::recent
