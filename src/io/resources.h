// The resource reader: every script, picture and sound file the game names is read through here,
// from the secondary archive, the primary archive or the game folder, in that order.
#pragma once

#include <atomic>
#include <filesystem>
#include <mutex>
#include <chrono>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "core/bytes.h"
#include "core/paths.h"

namespace yv {

class Resources {
public:
    explicit Resources(std::filesystem::path gameDir) : paths_(std::move(gameDir)) {}
    ~Resources();
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;

    // The whole resource, or nothing when it is in no archive and not on disk (an empty file or
    // entry counts as not found, as consumers expect). The returned string owns size + 5 bytes,
    // all zero after the data, so text consumers may read it as zero-terminated.
    std::optional<Bytes> read(BytesView name);

    // Identifies the version of the data read(name) would return now, so that a script file
    // re-read by every return can be reused while it is unchanged. Equal versions mean equal
    // data; an unknown version (known == false) never equals another.
    struct Version {
        bool known = false;
        uint64_t source = 0;  // which file (device and inode), or which archive entry
        int64_t size = 0;
        int64_t stamp = 0;    // modification time in nanoseconds
        bool operator==(const Version& o) const {
            return known && o.known && source == o.source && size == o.size && stamp == o.stamp;
        }
    };
    Version version(BytesView name);

    // Files the game itself writes (copies, renames, saves) must be seen at once by version();
    // writers call this.
    void noteWrite() { ++writes_; }
    // A version is reused for this long; the interpreter holds on to a script it has checked
    // for as long again, so that edits by another program are seen within 50 ms.
    static constexpr int64_t kVersionReuseMs = 25;
    // How many such writes there were: a version seen before is still current while this stays
    // the same and the file system has had no time to change.
    uint64_t writeCount() const { return writes_.load(std::memory_order_relaxed); }

    // Whether read(name) would find something, without reading it (the checker asks for every
    // file a script names).
    bool exists(BytesView name);

    // A loose file of the game folder, found without regard to case and with '\' separators.
    std::optional<Bytes> readPlainFile(BytesView name);

    const PathResolver& paths() const { return paths_; }

    // Start-up, right after the first reading of the configuration: with `dat` non-zero opens the
    // secondary archive (index `index2`) and the primary one (index `index1`). A primary archive
    // that cannot be opened switches archive reading off.
    void openArchives(int32_t dat, BytesView index1, BytesView index2);
    // The second reading of the configuration (_$debug): the archives stay as opened, but DAT 0
    // switches archive reading off, and a non-zero DAT makes the configured index file names the
    // archives' index texts, so that lookups fall through to loose files.
    void applySecondReading(int32_t dat, BytesView index1, BytesView index2);

    // The archive reading switch (the DAT setting, also restored by loading a saved game).
    bool archiveMode() const { return archiveMode_.load() != 0; }
    void setArchiveMode(int32_t on) { archiveMode_ = on; }
    bool secondaryOpen() const { return archives_[0].fd >= 0; }
    bool primaryOpen() const { return archives_[1].fd >= 0; }

private:
    struct Archive {
        Bytes indexName;  // as configured
        Bytes indexText;
        Bytes dataName;
        unsigned char key = 0;
        int fd = -1;  // the data file, open from start-up to exit
    };
    enum class From { Nothing, Secondary, Primary, Disk };
    struct Found {
        From from = From::Nothing;
        int64_t offset = 0, size = 0;
    };

    bool openArchive(Archive& a, BytesView indexName);
    std::optional<std::pair<int64_t, int64_t>> entryOf(const Archive& a, BytesView lowerName);
    std::optional<Bytes> readEntry(const Archive& a, int64_t offset, int64_t size);
    std::optional<std::filesystem::path> resolve(BytesView name);

    PathResolver paths_;
    std::atomic<int32_t> archiveMode_{0};
    Archive archives_[2];  // secondary, primary: the order of the search
    std::mutex archiveMutex_;
    std::mutex mutex_;
    std::unordered_map<Bytes, std::filesystem::path> resolved_;  // name -> last path found
    Bytes lastName_;                                              // the name asked for last
    std::filesystem::path lastPath_;
    // The file system is asked again for a version only after a while or after our own writes:
    // every return re-reads its script file, and a file status costs more than a statement.
    Version lastVersion_;
    std::chrono::steady_clock::time_point lastVersionAt_;
    uint64_t lastVersionWrites_ = 0;
    std::atomic<uint64_t> writes_{0};
};

}  // namespace yv
