// Listing folders for the launcher's chooser: bounded, sorted, game folders marked.
#include "ui/folder_list.h"

#include <strings.h>

#include <algorithm>

#include "core/paths.h"

namespace yv::ui {

namespace fs = std::filesystem;

bool holdsGame(const fs::path& dir, size_t& budget) {
    std::error_code ec;
    // Most games spell it so; one look saves reading the folder.
    if (fs::is_regular_file(dir / "start.ini", ec)) return true;
    size_t seen = 0;
    for (fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (++seen > kMaxNamesLookedAt || budget == 0) break;
        --budget;
        if (::strcasecmp(it->path().filename().c_str(), "start.ini") == 0 && it->is_regular_file(ec)) return true;
    }
    return false;
}

FolderListing listFolders(const fs::path& dir, size_t maxFolders) {
    FolderListing l;
    std::error_code ec;
    l.at = fs::absolute(dir, ec).lexically_normal();
    if (ec) l.at = dir;
    // "/a/b/" normalises to "/a/b/", whose parent would be itself.
    if (l.at.has_relative_path() && l.at.filename().empty()) l.at = l.at.parent_path();
    if (l.at.has_relative_path()) l.parent = l.at.parent_path();
    fs::directory_iterator it(l.at, fs::directory_options::skip_permission_denied, ec);
    if (ec) {
        l.error = ec.message();
        return l;
    }
    size_t seen = 0;
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        if (++seen > kMaxNamesLookedAt) {
            l.cut = true;
            break;
        }
        const std::string raw = it->path().filename().string();
        if (!raw.empty() && raw[0] == '.') continue;
        if (::strcasecmp(raw.c_str(), "start.ini") == 0) l.hasGame = true;
        std::error_code dirEc;
        if (!it->is_directory(dirEc)) continue;  // follows links, as a file manager shows them
        if (l.folders.size() == maxFolders) {
            l.cut = true;
            continue;
        }
        l.folders.push_back({it->path(), PathResolver::diskNameToUtf8(raw), false});
    }
    if (ec && l.folders.empty()) l.error = ec.message();
    std::sort(l.folders.begin(), l.folders.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const int c = ::strcasecmp(a.name.c_str(), b.name.c_str());
        return c != 0 ? c < 0 : a.name < b.name;
    });
    // Looked into last, so that a huge folder costs one listing and not one per name.
    size_t budget = kMaxNamesPerListing;
    for (FolderEntry& f : l.folders) f.hasGame = holdsGame(f.path, budget);
    return l;
}

}  // namespace yv::ui
