// File and folder commands. Names from scripts are found as resources are: without regard to
// case and with '\' separators, relative to the game folder.
#include <cstdio>
#include <unistd.h>

#include "core/cp932.h"
#include "io/file_reader.h"
#include "core/os.h"
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
    Bytes dir = (!name.empty() && name[0] == '/') ? "/" : "";
    for (size_t i = 0; i + 1 < parts.size(); ++i) dir += parts[i] + "/";
    return {dir, parts.back()};
}

bool anyMatch(const Runtime& rt, BytesView name) {
    auto [dir, last] = splitLast(name);
    if (last.empty()) return false;
    if (last.find_first_of("*?") == Bytes::npos) return rt.resources.paths().find(name).has_value();
    std::optional<fs::path> folder = dir.empty() ? std::optional<fs::path>(rt.resources.paths().base())
                                                 : rt.resources.paths().find(dir);
    if (!folder) return false;
    const std::string pattern = cp932ToUtf8(last);
    std::error_code ec;
    for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec))
        if (script::wildcardMatch(pattern, PathResolver::diskNameToUtf8(it->path().filename().string())))
            return true;
    return false;
}

Bytes ensureFolder(const fs::path& p) {
    std::error_code ec;
    fs::create_directories(p, ec);  // a read-only game folder still gets its answer
    return utf8ToCp932(p.string());
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

Bytes windowsFolder(const Runtime& rt) { return ensureFolder(rt.gameDir / "windows"); }
Bytes systemFolder(const Runtime& rt) { return ensureFolder(rt.gameDir / "windows" / "system32"); }

}  // namespace script

int32_t cmdCopyfile(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    const IntList& iv = args.ints;
    const bool failIfExists = iv.given(0) && iv[0] != 0;
    if (!s.given(0) || !s.given(1)) return 0;
    auto from = rt.resources.paths().find(s[0]);
    if (!from || !isRegular(*from)) return 0;
    const fs::path to = rt.resources.paths().forWrite(s[1]);
    std::error_code ec;
    if (fs::exists(to, ec)) {
        if (failIfExists || fs::equivalent(*from, to, ec)) return 0;
    }
    fs::copy_file(*from, to, fs::copy_options::overwrite_existing, ec);
    rt.resources.noteWrite();
    return ec ? 0 : 1;
}

int32_t cmdDeletefile(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    if (!s.given(0)) return 0;
    auto p = rt.resources.paths().find(s[0]);
    std::error_code ec;
    if (!p || fs::is_directory(fs::symlink_status(*p, ec))) return 0;
    const bool removed = fs::remove(*p, ec) && !ec;
    rt.resources.noteWrite();
    return removed ? 1 : 0;
}

int32_t cmdRename(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    if (!s.given(0) || !s.given(1)) return 0;
    auto from = rt.resources.paths().find(s[0]);
    if (!from) return 0;
    const fs::path to = rt.resources.paths().forWrite(s[1]);
    std::error_code ec;
    // As the C library's rename on the games' platform: an existing new name is not replaced.
    if (fs::exists(to, ec)) return 0;
    fs::rename(*from, to, ec);
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
    auto p = rt.resources.paths().find(s[0]);
    if (!p || !isRegular(*p)) return 0;
    // Readable, and still a regular file when opened (never waits on a FIFO put in its place).
    const int fd = io::openRegular(*p);
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
