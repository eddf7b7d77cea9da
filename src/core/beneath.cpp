// Confined file access: openat2(RESOLVE_BENEATH), or a realpath-checked walk where that is missing.
#include "core/beneath.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace fs = std::filesystem;

namespace yv {

std::string outsideReason(Outside why, const char* folder) {
    switch (why) {
    case Outside::Absolute: return std::string("an absolute path outside the ") + folder;
    case Outside::Above: return std::string("\"..\" leads above the ") + folder;
    case Outside::Link: return std::string("a link leads out of the ") + folder;
    case Outside::No: break;
    }
    return "";
}

void sayRefused(const std::string& what, const std::string& name, Outside why, const char* folder) {
    std::fprintf(stderr, "%s: %s (%s)\n", what.c_str(), name.c_str(), outsideReason(why, folder).c_str());
}

namespace beneath {
namespace {

std::optional<std::string> realPath(const fs::path& p) {
    char* r = ::realpath(p.c_str(), nullptr);
    if (!r) return std::nullopt;
    std::string s(r);
    std::free(r);
    return s;
}

bool within(const std::string& real, const std::string& root) {
    if (real == root) return true;
    if (root == "/") return true;
    return real.size() > root.size() && real.compare(0, root.size(), root) == 0 && real[root.size()] == '/';
}

// For kernels without openat2 (before 5.6, or a sandbox that forbids it) and for links naming an
// absolute place, which RESOLVE_BENEATH refuses even when the place is inside: the whole name is
// resolved first and checked, then opened without following a link at its end.
int checkedOpen(const fs::path& root, const fs::path& rel, int flags, mode_t mode) {
    const std::optional<std::string> top = realPath(root);
    if (!top) return -1;
    const fs::path full = root / rel;
    std::optional<std::string> target = realPath(full);
    if (!target) {
        if (errno != ENOENT || !(flags & O_CREAT)) return -1;
        // A file to be made: its folder must stay beneath, and the name must not be a dangling
        // link, which could point anywhere.
        struct stat st {};
        if (::lstat(full.c_str(), &st) == 0) {
            errno = EXDEV;
            return -1;
        }
        const std::optional<std::string> dir = realPath(full.parent_path());
        if (!dir) return -1;
        if (!within(*dir, *top)) {
            errno = EXDEV;
            return -1;
        }
        target = *dir + "/" + full.filename().string();
    } else if (!within(*target, *top)) {
        errno = EXDEV;
        return -1;
    }
    return ::open(target->c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
}

}  // namespace

int open(const fs::path& root, const fs::path& rel, int flags, mode_t mode) {
    const fs::path r = rel.empty() ? fs::path(".") : rel;
    if (r.is_absolute()) {
        errno = EXDEV;
        return -1;
    }
    const int dir = ::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return -1;
    open_how how{};
    how.flags = static_cast<uint64_t>(flags | O_CLOEXEC);
    how.mode = (flags & O_CREAT) ? mode : 0;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    const long fd = ::syscall(SYS_openat2, dir, r.c_str(), &how, sizeof how);
    const int err = errno;
    ::close(dir);
    if (fd >= 0) return static_cast<int>(fd);
    // EXDEV: out of root, or a link naming an absolute place (which may still lie inside).
    // EAGAIN: the kernel could not rule out a race. ENOSYS, EPERM: no openat2 here.
    if (err == EXDEV || err == EAGAIN || err == ENOSYS || err == EPERM) return checkedOpen(root, r, flags, mode);
    errno = err;
    return -1;
}

std::optional<fs::path> inside(const fs::path& root, const fs::path& path) {
    const fs::path rel = path.lexically_relative(root);
    if (rel.empty()) return std::nullopt;
    const auto first = rel.begin();
    if (first != rel.end() && *first == "..") return std::nullopt;
    return rel;
}

bool stays(const fs::path& root, const fs::path& path) {
    const std::optional<fs::path> rel = inside(root, path);
    if (!rel) return false;
    const int fd = open(root, *rel, O_PATH);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    if (errno == EXDEV || errno == ELOOP) return false;
    if (errno != ENOENT) return true;  // unreadable: whatever comes next fails the same way
    // Missing: a name to be made. Its folder must stay beneath and it must not be a dangling
    // link (one that stays inside would do, but where it points cannot be told here).
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return false;
    return *rel == "." || !rel->has_parent_path() || stays(root, path.parent_path());
}

namespace {

// The folder of `rel` opened beneath root (O_PATH), and the name in it.
int openFolderOf(const fs::path& root, const fs::path& rel, std::string& name) {
    name = rel.filename().string();
    if (name.empty() || name == "." || name == "..") {
        errno = EINVAL;
        return -1;
    }
    return open(root, rel.parent_path(), O_PATH | O_DIRECTORY);
}

}  // namespace

int unlink(const fs::path& root, const fs::path& rel) {
    std::string name;
    const int dir = openFolderOf(root, rel, name);
    if (dir < 0) return -1;
    const int r = ::unlinkat(dir, name.c_str(), 0);
    const int err = errno;
    ::close(dir);
    errno = err;
    return r;
}

int renameNoReplace(const fs::path& root, const fs::path& fromRel, const fs::path& toRel) {
    std::string fromName, toName;
    const int from = openFolderOf(root, fromRel, fromName);
    if (from < 0) return -1;
    const int to = openFolderOf(root, toRel, toName);
    if (to < 0) {
        const int err = errno;
        ::close(from);
        errno = err;
        return -1;
    }
    int r = ::renameat2(from, fromName.c_str(), to, toName.c_str(), RENAME_NOREPLACE);
    if (r != 0 && errno == EINVAL) {
        // A file system without RENAME_NOREPLACE: look first.
        struct stat st {};
        if (::fstatat(to, toName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            errno = EEXIST;
            r = -1;
        } else {
            r = ::renameat(from, fromName.c_str(), to, toName.c_str());
        }
    }
    const int err = errno;
    ::close(from);
    ::close(to);
    errno = err;
    return r;
}

}  // namespace beneath
}  // namespace yv
