// Thumbnails of slot files, decoded from each file's own picture block and kept while the file
// is unchanged (same size and modification time).
#pragma once

#include <filesystem>
#include <map>
#include <memory>

#include "core/mutex.h"
#include "core/thumbnail.h"

namespace yv {

class ThumbnailCache {
public:
    // The thumbnail of a save file for a game screen of width x height, or nullptr when the file
    // is missing or holds no picture. At most maxWidth pixels wide.
    std::shared_ptr<const Thumbnail> get(const std::filesystem::path& file, int width, int height,
                                         int maxWidth = 160) YV_EXCLUDES(mutex_);
    // Files are read only beneath this folder (the save folder; a slot file that is a link
    // leading out gives no thumbnail). Empty: anywhere.
    void confineTo(const std::filesystem::path& folder) YV_EXCLUDES(mutex_) {
        MutexLock lock(mutex_);
        root_ = folder;
    }
    // How many decodes the cache has made (tests look at it).
    int decodes() const YV_EXCLUDES(mutex_) {
        MutexLock lock(mutex_);
        return decodes_;
    }

private:
    struct Entry {
        int64_t size = -1;
        int64_t mtimeNs = 0;
        int width = 0, height = 0, maxWidth = 0;
        std::shared_ptr<const Thumbnail> thumb;
    };
    mutable Mutex mutex_;
    std::map<std::string, Entry> entries_ YV_GUARDED_BY(mutex_);
    std::filesystem::path root_ YV_GUARDED_BY(mutex_);
    int decodes_ YV_GUARDED_BY(mutex_) = 0;
};

}  // namespace yv
