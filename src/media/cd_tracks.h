// CD audio kept as files in the game folder (or its cd/, cdaudio/ or music/ folder): numbered
// track files ("track02.ogg", "Track_3.FLAC", ...) or a CUE sheet naming its files (a BIN of raw
// 16-bit 44.1 kHz stereo included). The disc positions of the tracks come from their lengths.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace yv::media::cd {

struct Track {
    int number = 0;
    bool audio = true;          // data tracks (and numbers without a file) are not played
    std::filesystem::path file;
    bool raw = false;           // raw 16-bit little-endian stereo (a BIN image)
    int64_t startFrame = 0;     // within the file, at 44.1 kHz
    int64_t frames = 0;         // length of the track
    int64_t discFrame = 0;      // where it begins on the disc
};

struct Disc {
    std::vector<Track> tracks;  // ascending numbers, without gaps: tracks[i].number == first + i
    int first() const { return tracks.empty() ? 0 : tracks.front().number; }
    int last() const { return tracks.empty() ? 0 : tracks.back().number; }
    const Track* track(int number) const;
    bool playable() const;      // at least one audio track
};

// The length of a file's sound in 44.1 kHz frames (-1 when unreadable); raw files by size.
using Prober = std::function<int64_t(const std::filesystem::path&, bool raw)>;

// A parsed CUE sheet. Names are as written (resolved against the sheet's folder later).
struct CueFile {
    std::string name;
    std::string type;  // BINARY, MOTOROLA, WAVE, MP3, ...
    struct Entry {
        int number = 0;
        bool audio = true;
        int64_t index1Frame = -1;  // INDEX 01 within the file, at 44.1 kHz (sectors x 588)
    };
    std::vector<Entry> tracks;
};
std::vector<CueFile> parseCue(std::string_view text);

// A disc from a CUE sheet in `folder`; nothing when no track of it can be played.
std::optional<Disc> discFromCue(const std::filesystem::path& cueFile, const Prober& probe);
// A disc from the numbered track files of one folder; nothing when there are none.
std::optional<Disc> discFromTrackFiles(const std::filesystem::path& folder, const Prober& probe);
// The first disc found: the game folder, then its cd/, cdaudio/ and music/ folders (any case);
// in each, a CUE sheet before numbered files.
Disc findDisc(const std::filesystem::path& gameDir, const Prober& probe);

// The number a track file's name gives ("track02.ogg" -> 2), or 0 when it is none.
int trackNumberOf(std::string_view fileName);

}  // namespace yv::media::cd
