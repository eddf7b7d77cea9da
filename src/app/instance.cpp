// The single-instance lock (an advisory file lock, released by the system if the process dies)
// and the application name.
#include "app/instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

#include "core/bytes.h"

namespace fs = std::filesystem;

namespace yv {

fs::path instanceLockPath(const fs::path& gameDir) {
    std::error_code ec;
    fs::path canon = fs::weakly_canonical(gameDir, ec);
    if (ec) canon = fs::absolute(gameDir).lexically_normal();
    std::string key = canon.string();
    while (key.size() > 1 && key.back() == '/') key.pop_back();
    const size_t h = std::hash<std::string>{}(key);
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    fs::path dir = runtimeDir && *runtimeDir && fs::is_directory(runtimeDir, ec)
                       ? fs::path(runtimeDir)
                       : fs::temp_directory_path(ec);
    char name[64];
    std::snprintf(name, sizeof name, "yorvane-%016zx.lock", h);
    return dir / name;
}

bool InstanceLock::acquire(const fs::path& gameDir) {
    release();
    const fs::path p = instanceLockPath(gameDir);
    fd_ = ::open(p.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return true;  // no place for a lock: do not keep the game from starting
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

void InstanceLock::release() {
    if (fd_ < 0) return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

std::string applicationName(const fs::path& gameDir) {
    std::error_code ec;
    std::string found;
    int count = 0;
    for (fs::directory_iterator it(gameDir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& f = it->path();
        if (lowerAscii(f.extension().string()) != ".exe") continue;
        if (!it->is_regular_file(ec)) continue;
        found = f.stem().string();
        ++count;
    }
    return count == 1 ? found : "yorvane";
}

}  // namespace yv
