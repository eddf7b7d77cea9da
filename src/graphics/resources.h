// The resource reader: every script, picture and sound file the game names is read through here.
#pragma once

#include <filesystem>
#include <mutex>
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

    // Identifies the version of the data read(name) would return now (empty when unknown), so
    // that a script file re-read by every return can be reused while it is unchanged.
    Bytes versionKey(BytesView name);

    // A loose file of the game folder, found without regard to case and with '\' separators.
    std::optional<Bytes> readPlainFile(BytesView name);

    const PathResolver& paths() const { return paths_; }

private:
    std::optional<std::filesystem::path> resolve(BytesView name);
    PathResolver paths_;
    std::mutex mutex_;
    std::unordered_map<Bytes, std::filesystem::path> resolved_;  // name -> last path found
};

}  // namespace yv
