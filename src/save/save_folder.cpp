// Choosing the save folder.
#include "save/save_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "core/atomic_file.h"
#include "core/paths.h"
#include "runtime.h"

namespace fs = std::filesystem;

namespace yv::save {
namespace {

// FNV-1a: a short, stable name part that tells two installs of the same game apart.
uint32_t shortHash(std::string_view s) {
    uint32_t h = 2166136261u;
    for (unsigned char c : s) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

}  // namespace

fs::path userSaveFolder(const fs::path& gameDir) {
    const char* data = std::getenv("XDG_DATA_HOME");
    fs::path base;
    if (data && *data == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && *home ? home : "/tmp") / ".local" / "share";
    }
    fs::path abs = fs::absolute(gameDir).lexically_normal();
    std::string key = abs.string();
    while (key.size() > 1 && key.back() == '/') key.pop_back();
    std::string name = fs::path(key).filename().string();
    if (name.empty()) name = "game";
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x", shortHash(key));
    return base / "yorvane" / (name + "-" + hash);
}

void chooseSaveFolder(Runtime& rt) { chooseSaveFolder(rt, ::access(rt.gameDir.c_str(), W_OK) == 0); }

void chooseSaveFolder(Runtime& rt, bool gameFolderWritable) {
    SaveState& s = rt.save;
    s.folder = rt.gameDir;
    s.inGameFolder = true;
    if (!gameFolderWritable) {
        const fs::path user = userSaveFolder(rt.gameDir);
        std::error_code ec;
        fs::create_directories(user, ec);
        if (!ec || fs::is_directory(user)) {
            s.folder = user;
            s.inGameFolder = false;
            std::fprintf(stderr, "yorvane: the game folder cannot be written; saves are kept in %s\n",
                         user.c_str());
        }
    }
    atomic_file::removeStaleTemporaries(s.folder);
}

fs::path savePath(const Runtime& rt, BytesView name) {
    if (rt.save.inGameFolder) return rt.resources.paths().forWrite(name);
    return PathResolver(rt.save.folder).forWrite(name);
}

Bytes slotFileName(int slot) { return "flag" + decimal(slot) + ".sav"; }

}  // namespace yv::save
