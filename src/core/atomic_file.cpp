// Crash-safe file replacement: exclusive temporary file, write, fsync, rename, fsync the folder.
#include "core/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace fs = std::filesystem;

namespace yv::atomic_file {
namespace {

constexpr std::string_view kMarker = ".yvtmp-";

std::string reason(const char* what, int err) {
    std::string r = what;
    r += ": ";
    r += std::strerror(err);
    return r;
}

std::string randomSuffix() {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device rd;
    std::string s;
    for (int i = 0; i < 6; ++i) s += kChars[rd() % (sizeof kChars - 1)];
    return s;
}

bool writeAll(FileOps& ops, int fd, std::string_view data, int& err) {
    while (!data.empty()) {
        const ssize_t n = ops.write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        if (n == 0) {  // a write that makes no progress would loop for ever
            err = EIO;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

int FileOps::open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileOps::write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int FileOps::fsync(int fd) { return ::fsync(fd); }
int FileOps::close(int fd) { return ::close(fd); }
int FileOps::rename(const char* from, const char* to) { return ::rename(from, to); }
int FileOps::unlink(const char* path) { return ::unlink(path); }
int FileOps::renameNoReplace(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A file system without that rename: a hard link refuses an existing name as well.
    if (::link(from, to) != 0) return -1;
    ::unlink(from);
    return 0;
}

FileOps& systemOps() {
    static FileOps ops;  // stateless: only the system calls
    return ops;
}

bool isTemporaryName(std::string_view name) {
    const size_t at = name.rfind(kMarker);
    return !name.empty() && name[0] == '.' && at != std::string_view::npos && at > 0 &&
           name.size() == at + kMarker.size() + 6;
}

namespace {

// The parts written to a new temporary file beside `target`, synced and closed, then handed to
// `place`, which gives it the target's name; the temporary file is gone whatever happens.
template <class Place>
bool writeBeside(const fs::path& target, std::initializer_list<std::string_view> parts, mode_t mode,
                 std::string& error, FileOps& ops, Place place) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    fs::path tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 64 && fd < 0; ++attempt) {
        std::string name = ".";
        name += target.filename().string();
        name += kMarker;
        name += randomSuffix();
        tmp = folder / name;
        fd = ops.open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        error = reason("create", errno);
        return false;
    }
    auto fail = [&](const char* what, int err) {
        if (fd >= 0) ops.close(fd);
        ops.unlink(tmp.c_str());
        error = reason(what, err);
        return false;
    };
    int err = 0;
    for (std::string_view p : parts)
        if (!writeAll(ops, fd, p, err)) return fail("write", err);
    if (ops.fsync(fd) != 0) return fail("fsync", errno);
    const int closed = ops.close(fd);
    fd = -1;
    if (closed != 0) return fail("close", errno);
    if (!place(tmp)) return fail("rename", errno);
    // The rename itself reaches the disk with the folder. The new file is in place whatever
    // this answers; a folder that cannot be synced (some file systems) is no failure of the save.
    const int dfd = ops.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (dfd >= 0) {
        ops.fsync(dfd);
        ops.close(dfd);
    }
    return true;
}

}  // namespace

bool replace(const fs::path& target, std::initializer_list<std::string_view> parts, std::string& error,
             FileOps& ops) {
    // The new file keeps the permissions of the one it replaces.
    mode_t mode = 0666;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 07777;
    return writeBeside(target, parts, mode, error, ops,
                       [&](const fs::path& tmp) { return ops.rename(tmp.c_str(), target.c_str()) == 0; });
}

Created create(const fs::path& target, std::string_view data, std::string& error, FileOps& ops) {
    bool existed = false;
    const bool ok = writeBeside(target, {data}, 0666, error, ops, [&](const fs::path& tmp) {
        if (ops.renameNoReplace(tmp.c_str(), target.c_str()) == 0) return true;
        existed = errno == EEXIST;
        return false;
    });
    if (ok) return Created::Yes;
    return existed ? Created::Exists : Created::Failed;
}

int removeStaleTemporaries(const fs::path& folder) {
    int n = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!isTemporaryName(name)) continue;
        if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
        if (::unlink(it->path().c_str()) == 0) ++n;
    }
    return n;
}

}  // namespace yv::atomic_file
