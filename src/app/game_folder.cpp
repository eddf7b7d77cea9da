// Telling a missing folder, a file and a folder without start.ini apart before anything starts.
#include "app/game_folder.h"

#include <strings.h>

#include <algorithm>

#include "core/i18n.h"
#include "io/ini.h"
#include "core/cp932.h"
#include "core/paths.h"
#include "graphics/screens.h"

namespace yv::app {

namespace fs = std::filesystem;

namespace {

// A file of the folder by its name in any letter case.
std::optional<fs::path> findInFolder(const fs::path& folder, const char* name) {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec))
        if (::strcasecmp(e.path().filename().c_str(), name) == 0 && e.is_regular_file(ec)) return e.path();
    return std::nullopt;
}

}  // namespace

std::optional<std::string> gameFolderProblem(const fs::path& folder) {
    std::error_code ec;
    const fs::file_status st = fs::status(folder, ec);
    if (!fs::exists(st)) return i18n::trf("the game folder %s does not exist", {folder.string()});
    if (!fs::is_directory(st)) return i18n::trf("%s is a file, not a game folder", {folder.string()});
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        if (::strcasecmp(e.path().filename().c_str(), "start.ini") == 0) return std::nullopt;
    }
    if (ec) return i18n::trf("cannot read the game folder %s: %s", {folder.string(), ec.message()});
    return i18n::trf("no start.ini in %s: not a game folder", {folder.string()});
}

fs::path gameFolderOf(const fs::path& given) {
    std::error_code ec;
    if (::strcasecmp(given.filename().c_str(), "start.ini") != 0 || !fs::is_regular_file(given, ec)) return given;
    const fs::path folder = given.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

std::string gameTitleUtf8(const fs::path& folder) {
    if (const auto file = findInFolder(folder, "start.ini")) {
        if (auto ini = IniFile::load(*file)) {
            const Bytes title = ini->getString("WindowTitle", "Title", "");
            if (!title.empty()) return cp932ToUtf8(title);
        }
    }
    std::string name = folder.filename().string();
    if (name.empty()) name = folder.parent_path().filename().string();
    return PathResolver::diskNameToUtf8(name);
}

void configuredScreenSize(const fs::path& folder, int& width, int& height) {
    width = 640;
    height = 480;
    // The second reading takes its own values or the defaults, as the start-up's does.
    for (const char* name : {"start.ini", "_$debug"}) {
        const auto file = findInFolder(folder, name);
        if (!file) continue;
        const auto ini = IniFile::load(*file);
        if (!ini) continue;
        width = std::min(ini->getInt("WindowSize", "Right", 640), kMaxScreenSide);
        height = std::min(ini->getInt("WindowSize", "Bottom", 480), kMaxScreenSide);
    }
}

}  // namespace yv::app
