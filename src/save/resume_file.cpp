// Writing, reading and checking resume.sav.
#include "save/resume_file.h"

#include <cstdio>

#include "core/atomic_file.h"
#include "core/cp932.h"
#include "io/file_reader.h"
#include "runtime.h"
#include "save/replay_log.h"
#include "save/save_file.h"
#include "save/save_folder.h"

namespace fs = std::filesystem;

namespace yv::save {
namespace {

constexpr std::string_view kMagic = "YVRESUME 1\n";
// As a saved game: larger is none of ours.
constexpr int64_t kMaxResumeBytes = int64_t{512} << 20;

uint64_t fnv1a64(BytesView bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h;
}

std::string hex(BytesView bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::optional<Bytes> unhex(std::string_view s) {
    auto digit = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };
    if (s.size() % 2 != 0) return std::nullopt;
    Bytes out;
    for (size_t i = 0; i < s.size(); i += 2) {
        const int hi = digit(s[i]), lo = digit(s[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
    }
    return out;
}

std::string shown(const Bytes& name) { return cp932ToUtf8(name); }

}  // namespace

fs::path resumePath(const fs::path& gameDir) { return userSaveFolder(gameDir) / "resume.sav"; }

Bytes formatResumeFile(const ResumeFile& file) {
    Bytes out(kMagic);
    for (const ResumeFile::Script& s : file.scripts) {
        char h[20];
        std::snprintf(h, sizeof h, "%016llx", static_cast<unsigned long long>(s.hash.value_or(0)));
        out += s.hash ? h : "-";
        out += ' ' + hex(s.name) + '\n';
    }
    out += '\n';
    out += file.save;
    return out;
}

std::optional<ResumeFile> parseResumeFile(BytesView bytes) {
    if (bytes.substr(0, kMagic.size()) != kMagic) return std::nullopt;
    ResumeFile f;
    size_t at = kMagic.size();
    for (;;) {
        const size_t end = bytes.find('\n', at);
        if (end == BytesView::npos) return std::nullopt;
        const std::string_view line = bytes.substr(at, end - at);
        at = end + 1;
        if (line.empty()) break;
        const size_t space = line.find(' ');
        if (space == std::string_view::npos) return std::nullopt;
        ResumeFile::Script s;
        const std::string_view h = line.substr(0, space);
        if (h != "-") {
            if (h.size() != 16) return std::nullopt;
            const auto raw = unhex(h);
            if (!raw) return std::nullopt;
            uint64_t v = 0;
            for (const char c : *raw) v = v << 8 | static_cast<unsigned char>(c);
            s.hash = v;
        }
        auto name = unhex(line.substr(space + 1));
        if (!name) return std::nullopt;
        s.name = std::move(*name);
        f.scripts.push_back(std::move(s));
    }
    f.save = Bytes(bytes.substr(at));
    return f;
}

std::vector<Bytes> scriptNamesOf(BytesView saveFile) {
    Bytes state(splitSaveFile(saveFile).state);
    scramble(state);
    RecordReader r(std::move(state));
    std::vector<Bytes> names;
    auto add = [&](Bytes name) {
        if (name.empty() || name == ";") return;  // ";": the text a subroutine jumped in, named by 302
        for (const Bytes& n : names)
            if (n == name) return;
        names.push_back(std::move(name));
    };
    // The text opens with the call stack (300 ... and 302) and the script's name (95).
    for (;;) {
        const int32_t id = r.nextId();
        if (id == 300 || id == 302) {
            r.number();
            add(r.text());
            r.number();
            r.number();
        } else if (id == 95) {
            add(r.text());
        } else {
            break;
        }
    }
    return names;
}

std::vector<ResumeFile::Script> scriptsNow(Runtime& rt, const std::vector<Bytes>& names) {
    std::vector<ResumeFile::Script> out;
    for (const Bytes& name : names) {
        const std::optional<Bytes> data = rt.resources.read(name);
        out.push_back({name, data ? std::optional<uint64_t>(fnv1a64(*data)) : std::nullopt});
    }
    return out;
}

bool leaveResumeFile(Runtime& rt, bool scriptEnded) {
    const fs::path file = resumePath(rt.gameDir);
    std::error_code ec;
    if (scriptEnded) {
        fs::remove(file, ec);
        return true;
    }
    // No page reached in this run: the file an earlier run left still says where the player was.
    std::optional<Bytes> page = rt.save.pages.newest();
    if (!page) return true;
    ResumeFile r;
    r.scripts = scriptsNow(rt, scriptNamesOf(*page));
    r.save = std::move(*page);
    fs::create_directories(file.parent_path(), ec);
    std::string why;
    if (atomic_file::replace(file, {formatResumeFile(r)}, why, *rt.save.fileOps)) return true;
    std::fprintf(stderr, "yorvane: cannot write the resume file %s: %s\n", file.c_str(), why.c_str());
    return false;
}

std::optional<Bytes> readResumeFile(Runtime& rt, std::string& why) {
    const fs::path file = resumePath(rt.gameDir);
    io::ReadFailure failure = io::ReadFailure::None;
    const std::optional<Bytes> data = io::readRegular(file, kMaxResumeBytes, &failure, file.parent_path());
    if (!data) {
        why = failure == io::ReadFailure::Missing
                  ? "nothing to continue: the game in " + rt.gameDir.string() +
                        " has no resume file (a game closed before its end leaves " + file.string() + ")"
                  : "cannot read the resume file " + file.string();
        return std::nullopt;
    }
    std::optional<ResumeFile> r = parseResumeFile(*data);
    if (!r || notASave(r->save)) {
        why = "the resume file " + file.string() + " is damaged";
        return std::nullopt;
    }
    const std::vector<ResumeFile::Script> now = scriptsNow(rt, [&] {
        std::vector<Bytes> names;
        for (const ResumeFile::Script& s : r->scripts) names.push_back(s.name);
        return names;
    }());
    for (size_t i = 0; i < now.size(); ++i)
        if (!(now[i] == r->scripts[i])) {
            why = "the game's script " + shown(now[i].name) + " has changed since the game was left; the resume file " +
                  file.string() + " no longer fits it (start the game without --continue)";
            return std::nullopt;
        }
    return std::move(r->save);
}

}  // namespace yv::save
