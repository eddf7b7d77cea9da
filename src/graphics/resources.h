// The resource reader: every script, picture and sound file the game names is read through here.
#pragma once

#include <filesystem>
#include <mutex>
#include <atomic>
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

    // The whole file, or nothing when it is in no archive and not on disk (an empty file counts
    // as not found, as consumers expect).
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

    // A loose file of the game folder, found without regard to case and with '\' separators.
    std::optional<Bytes> readPlainFile(BytesView name);

    const PathResolver& paths() const { return paths_; }

private:
    std::optional<std::filesystem::path> resolve(BytesView name);
    PathResolver paths_;
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
