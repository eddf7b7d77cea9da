// The XDG base folders and per-game names.
#include "core/user_dirs.h"

#include <cstdio>
#include <cstdlib>

namespace fs = std::filesystem;

namespace yv::user_dirs {

uint32_t fnv1a32(std::string_view bytes) {
    uint32_t h = 2166136261u;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

fs::path xdgBase(const char* variable, const char* fallbackUnderHome) {
    // A relative path in these variables is ignored, as the desktop's own programs ignore it.
    const char* v = std::getenv(variable);
    if (v && *v == '/') return v;
    const char* home = std::getenv("HOME");
    if (!home || *home != '/') return {};
    return fs::path(home) / fallbackUnderHome;
}

std::string gameFolderKeyName(const std::string& key) {
    std::string name = fs::path(key).filename().string();
    if (name.empty()) name = "game";
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x", fnv1a32(key));
    return name + "-" + hash;
}

fs::path configFolder() {
    const fs::path base = xdgBase("XDG_CONFIG_HOME", ".config");
    return base.empty() ? fs::path{} : base / "yorvane";
}

fs::path canonicalGameFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(folder, ec), ec);
    if (ec) p = fs::absolute(folder, ec).lexically_normal();
    std::string s = p.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace yv::user_dirs
