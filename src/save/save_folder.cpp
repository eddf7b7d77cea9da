// Choosing the save folder.
#include "save/save_folder.h"

#include <unistd.h>

#include <cstdio>

#include "core/atomic_file.h"
#include "core/cp932.h"
#include "core/paths.h"
#include "core/user_dirs.h"
#include "runtime.h"

namespace fs = std::filesystem;

namespace yv::save {

fs::path userSaveFolder(const fs::path& gameDir) {
    fs::path base = user_dirs::xdgBase("XDG_DATA_HOME", ".local/share");
    if (base.empty()) base = fs::path("/tmp") / ".local" / "share";
    fs::path abs = fs::absolute(gameDir).lexically_normal();
    std::string key = abs.string();
    while (key.size() > 1 && key.back() == '/') key.pop_back();
    return base / "yorvane" / user_dirs::gameFolderKeyName(key);
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
    s.thumbnails.confineTo(s.folder);
    atomic_file::removeStaleTemporaries(s.folder);
}

const fs::path& saveRoot(const Runtime& rt) {
    return rt.save.inGameFolder ? rt.resources.paths().base() : rt.save.folder;
}

std::optional<fs::path> savePath(const Runtime& rt, BytesView name, Outside* why) {
    if (rt.save.inGameFolder) return rt.resources.paths().forWrite(name, why);
    return PathResolver(rt.save.folder).forWrite(name, why);
}

fs::path ownSavePath(const Runtime& rt, BytesView name) {
    return savePath(rt, name).value_or(saveRoot(rt) / cp932ToUtf8(name));
}

void sayRefused(const Runtime& rt, const char* what, BytesView name, Outside why) {
    yv::sayRefused(what, cp932ToUtf8(name), why, rt.save.inGameFolder ? "game folder" : "save folder");
}

Bytes slotFileName(int slot) { return "flag" + decimal(slot) + ".sav"; }

}  // namespace yv::save
