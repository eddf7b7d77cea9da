// The single-instance lock (an advisory file lock, released by the system if the process dies,
// its file removed at exit) and the application name.
#include "app/instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

// The lock file is removed at exit, so a lock is only good while the path still names the file
// that was locked: a copy that opened the file just before its holder unlinked it would else
// lock a file nobody else can find. Such a copy opens the path again.
bool InstanceLock::acquire(const fs::path& gameDir) {
    release();
    const fs::path p = instanceLockPath(gameDir);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(p.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) return true;  // no place for a lock: do not keep the game from starting
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && ::stat(p.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            fd_ = fd;
            path_ = p;
            return true;
        }
        ::close(fd);  // unlinked under us: try the path again
    }
    return true;  // the path keeps changing under us: do not keep the game from starting
}

void InstanceLock::release() {
    if (fd_ < 0) return;
    // Unlinked while still locked: a copy starting now either fails on our lock or finds that
    // its file is gone, and no copy ever holds a lock on a file another cannot see.
    std::error_code ec;
    fs::remove(path_, ec);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
    path_.clear();
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
