// File and folder commands. Names from scripts are found as resources are: without regard to
// case and with '\' separators, relative to the game folder and never outside it (a game folder
// is untrusted: a script must not write, delete or read the player's other files).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "core/beneath.h"
#include "core/cp932.h"
#include "core/os.h"
#include "io/file_reader.h"
#include "runtime.h"
#include "lang/args.h"
#include "script/file_commands.h"

namespace fs = std::filesystem;

namespace yv {
namespace {

bool isRegular(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// The folder part of a name and its last part, split at the last separator.
std::pair<Bytes, Bytes> splitLast(BytesView name) {
    const std::vector<Bytes> parts = PathResolver::split(name);
    if (parts.empty()) return {};
    Bytes dir = (name[0] == '/' || name[0] == '\\') ? Bytes(1, name[0]) : Bytes();
    for (size_t i = 0; i + 1 < parts.size(); ++i) dir += parts[i] + "/";
    return {dir, parts.back()};
}

// A name that would leave the game folder fails as a missing file does; one line says why.
int32_t refused(const char* what, BytesView name, Outside why) {
    sayRefused(what, cp932ToUtf8(name), why, "game folder");
    return 0;
}

bool anyMatch(const Runtime& rt, BytesView name) {
    auto [dir, last] = splitLast(name);
    if (last.empty()) return false;
    const PathResolver& paths = rt.resources.paths();
    Outside why = Outside::No;
    std::optional<fs::path> folder;
    if (last.find_first_of("*?") == Bytes::npos) {
        folder = paths.find(name, &why);
    } else {
        folder = dir.empty() ? std::optional<fs::path>(paths.base()) : paths.find(dir, &why);
    }
    if (why != Outside::No) return refused("findfile: not searched", name, why) != 0;
    if (!folder) return false;
    if (last.find_first_of("*?") == Bytes::npos) return true;
    const std::string pattern = cp932ToUtf8(last);
    std::error_code ec;
    for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec))
        if (script::wildcardMatch(pattern, PathResolver::diskNameToUtf8(it->path().filename().string())))
            return true;
    return false;
}

Bytes ensureFolder(const fs::path& gameDir, const fs::path& p) {
    std::error_code ec;
    // A read-only game folder still gets its answer; a "windows" that is a link leading out of
    // the game folder gets no folders made through it.
    if (beneath::stays(gameDir, p)) fs::create_directories(p, ec);
    return utf8ToCp932(p.string());
}

// Copies a regular file to another name, both beneath root: the destination is made or
// overwritten (never the source itself, which would lose it). `outside` is set when either
// name turns out to lead out of root.
bool copyWithin(const fs::path& root, const fs::path& from, const fs::path& to, bool failIfExists,
                Outside& outside) {
    io::ReadFailure failure = io::ReadFailure::None;
    const int in = io::openRegular(from, &failure, root);
    if (in < 0) {
        if (failure == io::ReadFailure::Outside) outside = Outside::Link;
        return false;
    }
    const auto rel = beneath::inside(root, to);
    // O_NONBLOCK: a FIFO under the destination's name must not hold the game.
    const int flags = O_WRONLY | O_CREAT | O_NOCTTY | O_NONBLOCK | (failIfExists ? O_EXCL : 0);
    const int out = rel ? beneath::open(root, *rel, flags, 0666) : -1;
    if (rel && out < 0 && errno == EXDEV) outside = Outside::Link;  // errno is open's only when it ran
    struct stat a {}, b {};
    bool ok = out >= 0 && ::fstat(in, &a) == 0 && ::fstat(out, &b) == 0 && S_ISREG(b.st_mode) &&
              !(a.st_dev == b.st_dev && a.st_ino == b.st_ino) && ::ftruncate(out, 0) == 0;
    char buf[65536];
    while (ok) {
        const ssize_t got = ::read(in, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < got;) {
            const ssize_t put = ::write(out, buf + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            ok = put > 0;
            done += ok ? put : 0;
        }
    }
    ::close(in);
    if (out >= 0) ::close(out);
    return ok;
}

}  // namespace

namespace script {

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    const std::string p = PathResolver::foldKey(pattern), n = PathResolver::foldKey(name);
    if (p == "*.*") return true;  // as the Windows file search reads it: every name
    // Iterative glob with backtracking over the last '*'; '?' takes one UTF-8 character.
    auto charLen = [](const std::string& s, size_t i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        return std::min(len, s.size() - i);
    };
    size_t pi = 0, ni = 0, starP = std::string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (pi < p.size() && p[pi] == '?') {
            ++pi;
            ni += charLen(n, ni);
        } else if (pi < p.size() && p[pi] == n[ni]) {
            ++pi;
            ++ni;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            starN += charLen(n, starN);
            ni = starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

Bytes windowsFolder(const Runtime& rt) { return ensureFolder(rt.gameDir, rt.gameDir / "windows"); }
Bytes systemFolder(const Runtime& rt) { return ensureFolder(rt.gameDir, rt.gameDir / "windows" / "system32"); }

}  // namespace script

int32_t cmdCopyfile(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    const IntList& iv = args.ints;
    const bool failIfExists = iv.given(0) && iv[0] != 0;
    if (!s.given(0) || !s.given(1)) return 0;
    const PathResolver& paths = rt.resources.paths();
    Outside why = Outside::No;
    auto from = paths.find(s[0], &why);
    if (why != Outside::No) return refused("copyfile: not copied", s[0], why);
    if (!from || !isRegular(*from)) return 0;
    auto to = paths.forWrite(s[1], &why);
    if (why != Outside::No) return refused("copyfile: not copied", s[1], why);
    if (!to) return 0;
    const bool copied = copyWithin(paths.base(), *from, *to, failIfExists, why);
    rt.resources.noteWrite();
    if (why != Outside::No) return refused("copyfile: not copied", s[0] + " -> " + s[1], why);
    return copied ? 1 : 0;
}

int32_t cmdDeletefile(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    if (!s.given(0)) return 0;
    const PathResolver& paths = rt.resources.paths();
    Outside why = Outside::No;
    auto p = paths.find(s[0], &why);
    if (why != Outside::No) return refused("deletefile: not deleted", s[0], why);
    std::error_code ec;
    if (!p || fs::is_directory(fs::symlink_status(*p, ec))) return 0;
    const auto rel = beneath::inside(paths.base(), *p);
    const bool removed = rel && beneath::unlink(paths.base(), *rel) == 0;
    if (rel && !removed && errno == EXDEV) return refused("deletefile: not deleted", s[0], Outside::Link);
    rt.resources.noteWrite();
    return removed ? 1 : 0;
}

int32_t cmdRename(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    if (!s.given(0) || !s.given(1)) return 0;
    const PathResolver& paths = rt.resources.paths();
    Outside why = Outside::No;
    auto from = paths.find(s[0], &why);
    if (why != Outside::No) return refused("rename: not renamed", s[0], why);
    if (!from) return 0;
    auto to = paths.forWrite(s[1], &why);
    if (why != Outside::No) return refused("rename: not renamed", s[1], why);
    const auto fromRel = beneath::inside(paths.base(), *from);
    const auto toRel = to ? beneath::inside(paths.base(), *to) : std::nullopt;
    if (!fromRel || !toRel) return 0;
    // As the C library's rename on the games' platform: an existing new name is not replaced.
    if (beneath::renameNoReplace(paths.base(), *fromRel, *toRel) != 0 && errno == EXDEV)
        refused("rename: not renamed", s[0], Outside::Link);
    rt.resources.noteWrite();
    return 0;
}

int32_t cmdFindfile(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const StringList& s = args.strings;
    in.strResult = s[0];
    if (!s.given(0)) return 0;
    return anyMatch(rt, s[0]) ? 1 : 0;
}

int32_t cmdGetfiletime(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const StringList& s = args.strings;
    in.strResult = "----/--/-- --:--:--";
    if (!s.given(0)) return 0;
    const PathResolver& paths = rt.resources.paths();
    Outside why = Outside::No;
    auto p = paths.find(s[0], &why);
    if (why != Outside::No) return refused("getfiletime: not read", s[0], why);
    if (!p || !isRegular(*p)) return 0;
    // Readable, and still a regular file when opened (never waits on a FIFO put in its place).
    const int fd = io::openRegular(*p, nullptr, paths.base());
    if (fd < 0) return 0;
    ::close(fd);
    auto t = os::fileCreationTime(*p);
    if (!t) return 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", t->year, t->month, t->day, t->hour,
                  t->minute, t->second);
    in.strResult = buf;
    return 1;
}

int32_t cmdGetcurrentdirectry(Runtime& rt, const Args&) {
    rt.interp.strResult = rt.startFolder;
    return 1;
}

int32_t cmdGetmydocdirectry(Runtime& rt, const Args&) {
    rt.interp.strResult = utf8ToCp932(rt.platform.documentsFolder());
    return 1;
}

int32_t cmdGetwindowsdirectry(Runtime& rt, const Args&) {
    rt.interp.strResult = script::windowsFolder(rt);
    return 1;
}

int32_t cmdGetsystemdirectry(Runtime& rt, const Args&) {
    rt.interp.strResult = script::systemFolder(rt);
    return 1;
}

}  // namespace yv
