// Finding the CD tracks of a game among its files, and reading CUE sheets.
#include "media/cd_tracks.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>

#include "core/paths.h"

namespace fs = std::filesystem;

namespace yv::media::cd {
namespace {

constexpr int64_t kFramesPerSector = 588;  // 44100 / 75
constexpr int kMaxTrack = 99;

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) { return lower(a) == lower(b); }

// Splits a CUE line into words; a quoted word keeps its spaces.
std::vector<std::string> words(std::string_view line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string w;
        if (line[i] == '"') {
            ++i;
            while (i < line.size() && line[i] != '"') w += line[i++];
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') w += line[i++];
        }
        out.push_back(std::move(w));
    }
    return out;
}

// "mm:ss:ff" as sectors; -1 when malformed.
int64_t msf(std::string_view s) {
    int64_t part[3] = {0, 0, 0};
    int n = 0;
    bool digit = false;
    for (char c : s) {
        if (c >= '0' && c <= '9') {
            if (part[n] > 100000) return -1;
            part[n] = part[n] * 10 + (c - '0');
            digit = true;
        } else if (c == ':' && digit && n < 2) {
            ++n;
            digit = false;
        } else {
            return -1;
        }
    }
    if (n != 2 || !digit) return -1;
    return (part[0] * 60 + part[1]) * 75 + part[2];
}

std::optional<fs::path> resolveIn(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    PathResolver resolver(folder);
    if (auto p = resolver.find(name)) return p;
    if (fs::is_regular_file(folder / name, ec)) return folder / name;
    // Sheets written on another machine may carry its folders: the file's own name counts.
    const size_t cut = name.find_last_of("\\/");
    if (cut != std::string::npos) return resolveIn(folder, name.substr(cut + 1));
    return std::nullopt;
}

// Numbers 1..99 in order; numbers without a track become silent placeholders.
Disc toDisc(std::map<int, Track>& byNumber) {
    Disc d;
    if (byNumber.empty()) return d;
    const int first = byNumber.begin()->first, last = byNumber.rbegin()->first;
    for (int n = first; n <= last; ++n) {
        auto it = byNumber.find(n);
        Track t;
        t.number = n;
        t.audio = false;
        if (it != byNumber.end()) t = it->second;
        d.tracks.push_back(t);
    }
    return d;
}

}  // namespace

const Track* Disc::track(int number) const {
    if (tracks.empty() || number < first() || number > last()) return nullptr;
    return &tracks[static_cast<size_t>(number - first())];
}

bool Disc::playable() const {
    return std::any_of(tracks.begin(), tracks.end(), [](const Track& t) { return t.audio; });
}

int trackNumberOf(std::string_view fileName) {
    const std::string n = lower(fileName);
    if (n.rfind("track", 0) != 0) return 0;
    size_t i = 5;
    if (i < n.size() && n[i] == '_') ++i;
    int number = 0, digits = 0;
    while (i < n.size() && n[i] >= '0' && n[i] <= '9' && digits < 3) number = number * 10 + (n[i++] - '0'), ++digits;
    if (digits == 0 || number < 1 || number > kMaxTrack) return 0;
    const std::string_view ext = std::string_view(n).substr(i);
    if (ext != ".ogg" && ext != ".flac" && ext != ".mp3" && ext != ".wav") return 0;
    return number;
}

std::vector<CueFile> parseCue(std::string_view text) {
    std::vector<CueFile> files;
    size_t at = 0;
    // A UTF-8 byte order mark is not part of the first keyword.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") at = 3;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::vector<std::string> w = words(line);
        if (w.empty()) continue;
        if (equalsNoCase(w[0], "FILE") && w.size() >= 2) {
            CueFile f;
            f.name = w[1];
            f.type = w.size() >= 3 ? lower(w[2]) : "binary";
            files.push_back(std::move(f));
        } else if (equalsNoCase(w[0], "TRACK") && w.size() >= 3 && !files.empty()) {
            CueFile::Entry e;
            e.number = std::atoi(w[1].c_str());
            e.audio = equalsNoCase(w[2], "AUDIO");
            if (e.number >= 1 && e.number <= kMaxTrack) files.back().tracks.push_back(e);
        } else if (equalsNoCase(w[0], "INDEX") && w.size() >= 3 && !files.empty() && !files.back().tracks.empty()) {
            if (std::atoi(w[1].c_str()) == 1) {
                const int64_t sectors = msf(w[2]);
                if (sectors >= 0) files.back().tracks.back().index1Frame = sectors * kFramesPerSector;
            }
        }
    }
    return files;
}

std::optional<Disc> discFromCue(const fs::path& cueFile, const Prober& probe) {
    // No sheet is longer than a megabyte: a longer file is not read at all.
    constexpr uintmax_t kMaxSheet = 1 << 20;
    std::error_code ec;
    const uintmax_t size = fs::file_size(cueFile, ec);
    if (ec || size > kMaxSheet) return std::nullopt;
    std::ifstream in(cueFile, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(kMaxSheet + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxSheet) return std::nullopt;  // it grew meanwhile
    std::map<int, Track> byNumber;
    int64_t fileDiscStart = 0;
    for (const CueFile& f : parseCue(text)) {
        const bool raw = f.type == "binary";
        // Big-endian images and unknown files give silent tracks.
        const auto path = f.type == "motorola" ? std::nullopt : resolveIn(cueFile.parent_path(), f.name);
        const int64_t fileFrames = path ? probe(*path, raw) : -1;
        std::vector<const CueFile::Entry*> entries;
        for (const CueFile::Entry& e : f.tracks)
            if (e.index1Frame >= 0) entries.push_back(&e);
        for (size_t i = 0; i < entries.size(); ++i) {
            const CueFile::Entry& e = *entries[i];
            if (byNumber.count(e.number)) continue;
            Track t;
            t.number = e.number;
            t.file = path.value_or(fs::path{});
            t.raw = raw;
            t.startFrame = e.index1Frame;
            const int64_t end = i + 1 < entries.size() ? entries[i + 1]->index1Frame : fileFrames;
            t.frames = std::max<int64_t>(0, end - e.index1Frame);
            t.audio = e.audio && path && fileFrames > 0 && t.frames > 0;
            t.discFrame = fileDiscStart + e.index1Frame;
            byNumber[e.number] = t;
        }
        int64_t fileLength = std::max<int64_t>(fileFrames, 0);
        if (!entries.empty()) fileLength = std::max(fileLength, entries.back()->index1Frame);
        fileDiscStart += fileLength;
    }
    Disc d = toDisc(byNumber);
    if (!d.playable()) return std::nullopt;
    return d;
}

std::optional<Disc> discFromTrackFiles(const fs::path& folder, const Prober& probe) {
    std::error_code ec;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec) && trackNumberOf(it->path().filename().string()) > 0) files.push_back(it->path());
    std::sort(files.begin(), files.end());
    std::map<int, Track> byNumber;
    for (const fs::path& p : files) {
        const int n = trackNumberOf(p.filename().string());
        if (byNumber.count(n)) continue;
        Track t;
        t.number = n;
        t.file = p;
        t.frames = std::max<int64_t>(0, probe(p, false));
        t.audio = t.frames > 0;
        byNumber[n] = t;
    }
    Disc d = toDisc(byNumber);
    // One after the other: a data track without a file takes no room.
    int64_t at = 0;
    for (Track& t : d.tracks) {
        t.discFrame = at;
        at += t.frames;
    }
    if (!d.playable()) return std::nullopt;
    return d;
}

Disc findDisc(const fs::path& gameDir, const Prober& probe) {
    std::vector<fs::path> folders{gameDir};
    std::error_code ec;
    for (const char* name : {"cd", "cdaudio", "music"}) {
        std::vector<fs::path> found;
        for (fs::directory_iterator it(gameDir, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_directory(ec) && equalsNoCase(it->path().filename().string(), name)) found.push_back(it->path());
        std::sort(found.begin(), found.end());
        folders.insert(folders.end(), found.begin(), found.end());
    }
    for (const fs::path& folder : folders) {
        std::vector<fs::path> sheets;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec) && equalsNoCase(it->path().extension().string(), ".cue"))
                sheets.push_back(it->path());
        std::sort(sheets.begin(), sheets.end());
        for (const fs::path& s : sheets)
            if (auto d = discFromCue(s, probe)) return *d;
        if (auto d = discFromTrackFiles(folder, probe)) return *d;
    }
    return {};
}

}  // namespace yv::media::cd
