// The resource reader: every script, picture and sound file the game names is read through here,
// from the secondary archive, the primary archive or the game folder, in that order.
#pragma once

#include <atomic>
#include <filesystem>
#include <chrono>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "core/bytes.h"
#include "core/mutex.h"
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
    bool secondaryOpen() const YV_EXCLUDES(archiveMutex_) {
        MutexLock lock(archiveMutex_);
        return archives_[0].fd >= 0;
    }
    bool primaryOpen() const YV_EXCLUDES(archiveMutex_) {
        MutexLock lock(archiveMutex_);
        return archives_[1].fd >= 0;
    }

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

    // The archive is one of archives_, so the archive lock is held.
    bool openArchive(Archive& a, BytesView indexName) YV_REQUIRES(archiveMutex_);
    std::optional<std::pair<int64_t, int64_t>> entryOf(const Archive& a, BytesView lowerName)
        YV_REQUIRES(archiveMutex_);
    std::optional<Bytes> readEntry(const Archive& a, int64_t offset, int64_t size)
        YV_REQUIRES(archiveMutex_);
    std::optional<std::filesystem::path> resolve(BytesView name);

    PathResolver paths_;
    std::atomic<int32_t> archiveMode_{0};
    mutable Mutex archiveMutex_;
    Archive archives_[2] YV_GUARDED_BY(archiveMutex_);  // secondary, primary: the order of the search
    Mutex mutex_;
    // Name -> last path found.
    std::unordered_map<Bytes, std::filesystem::path> resolved_ YV_GUARDED_BY(mutex_);
    Bytes lastName_ YV_GUARDED_BY(mutex_);  // the name asked for last
    std::filesystem::path lastPath_ YV_GUARDED_BY(mutex_);
    // The file system is asked again for a version only after a while or after our own writes:
    // every return re-reads its script file, and a file status costs more than a statement.
    Version lastVersion_ YV_GUARDED_BY(mutex_);
    std::chrono::steady_clock::time_point lastVersionAt_ YV_GUARDED_BY(mutex_);
    uint64_t lastVersionWrites_ YV_GUARDED_BY(mutex_) = 0;
    std::atomic<uint64_t> writes_{0};
};

}  // namespace yv
