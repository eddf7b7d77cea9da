// Folders, local time and starting programs on a POSIX system.
#include "core/os.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <thread>

extern char** environ;

namespace yv::os {
namespace {

LocalTime fromTime(std::time_t t) {
    std::tm tm {};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string homeFolder() {
    const char* h = std::getenv("HOME");
    return (h && *h) ? std::string(h) : std::string("/");
}

// Reads KEY="$HOME/..." (or an absolute path) from user-dirs.dirs, as xdg-user-dirs writes it.
std::optional<std::string> xdgUserDir(const std::string& key) {
    const char* cfg = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path dir =
        (cfg && *cfg) ? std::filesystem::path(cfg) : std::filesystem::path(homeFolder()) / ".config";
    std::ifstream in(dir / "user-dirs.dirs");
    std::string line;
    const std::string wanted = key + "=";
    while (std::getline(in, line)) {
        size_t p = line.find_first_not_of(" \t");
        if (p == std::string::npos || line.compare(p, wanted.size(), wanted) != 0) continue;
        std::string v = line.substr(p + wanted.size());
        while (!v.empty() && (v.back() == '\r' || v.back() == ' ' || v.back() == '\t')) v.pop_back();
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        if (v.rfind("$HOME", 0) == 0) v = homeFolder() + v.substr(5);
        if (v.empty() || v[0] != '/') return std::nullopt;
        return v;
    }
    return std::nullopt;
}

std::string withoutTrailingSlash(std::string d) {
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    return d;
}

}  // namespace

LocalTime localTimeNow() { return fromTime(std::time(nullptr)); }

std::optional<LocalTime> fileCreationTime(const std::filesystem::path& file) {
    struct statx sx {};
    if (::statx(AT_FDCWD, file.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) == 0) {
        if ((sx.stx_mask & STATX_BTIME) && sx.stx_btime.tv_sec != 0)
            return fromTime(static_cast<std::time_t>(sx.stx_btime.tv_sec));
        return fromTime(static_cast<std::time_t>(sx.stx_mtime.tv_sec));
    }
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return std::nullopt;
    return fromTime(st.st_mtime);
}

std::string userDocumentsFolder() { return withoutTrailingSlash(xdgUserDir("XDG_DOCUMENTS_DIR").value_or(homeFolder())); }

std::string userPicturesFolder() {
    if (const char* env = std::getenv("XDG_PICTURES_DIR"); env && env[0] == '/') return withoutTrailingSlash(env);
    if (auto d = xdgUserDir("XDG_PICTURES_DIR")) return withoutTrailingSlash(*d);
    return withoutTrailingSlash(homeFolder() + "/Pictures");
}

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::string cur;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\') {
            size_t n = 0;
            while (i + n < line.size() && line[i + n] == '\\') ++n;
            if (i + n < line.size() && line[i + n] == '"') {
                cur.append(n / 2, '\\');
                if (n % 2 == 1) cur += '"';
                i += (n % 2 == 1) ? n : n - 1;  // an even run leaves the quote for the next round
            } else {
                cur.append(n, '\\');
                i += n - 1;
            }
            inWord = true;
            continue;
        }
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
            continue;
        }
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord) words.push_back(cur);
            cur.clear();
            inWord = false;
            continue;
        }
        cur += c;
        inWord = true;
    }
    if (inWord) words.push_back(cur);
    return words;
}

namespace {

bool spawn(const std::vector<std::string>& argv, const std::filesystem::path& cwd, pid_t& pid, int& err) {
    if (argv.empty() || argv[0].empty()) {
        err = ENOENT;
        return false;
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&fa, cwd.c_str());
    err = posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    return err == 0;
}

void reapLater(pid_t pid) {
    std::thread([pid] {
        int st = 0;
        while (::waitpid(pid, &st, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

}  // namespace

bool runProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd, bool wait) {
    pid_t pid = 0;
    int err = 0;
    if (!spawn(argv, cwd, pid, err)) return false;
    if (!wait) {
        reapLater(pid);
        return true;
    }
    int st = 0;
    while (::waitpid(pid, &st, 0) < 0 && errno == EINTR) {
    }
    return true;
}

int openWithDesktop(const std::string& target, const std::filesystem::path& cwd) {
    pid_t pid = 0;
    int err = 0;
    if (!spawn({"xdg-open", target}, cwd, pid, err)) return (err == ENOENT || err == EACCES) ? 31 : 0;
    reapLater(pid);
    return 42;
}

}  // namespace yv::os
