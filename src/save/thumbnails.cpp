// Slot thumbnails from the files' picture blocks.
#include "save/thumbnails.h"

#include <sys/stat.h>

#include <algorithm>

#include "io/file_reader.h"
#include "save/save_file.h"

namespace fs = std::filesystem;

namespace yv {
namespace {

constexpr int64_t kMaxFileBytes = int64_t{256} << 20;

// Box-filtered, top-down RGB from the file's bottom-up pixels (stored b1 b2 b0).
std::shared_ptr<const Thumbnail> decode(BytesView picture, int width, int height, int maxWidth) {
    if (width <= 0 || height <= 0) return nullptr;
    const int64_t rowBytes = int64_t{width} * 3;
    const int rows = static_cast<int>(std::min<int64_t>(height, static_cast<int64_t>(picture.size()) / rowBytes));
    if (rows <= 0) return nullptr;
    const int f = std::max(1, (width + maxWidth - 1) / std::max(1, maxWidth));
    auto t = std::make_shared<Thumbnail>();
    t->width = std::max(1, width / f);
    t->height = std::max(1, height / f);
    t->rgb.assign(static_cast<size_t>(t->width) * t->height * 3, 0);
    const auto* px = reinterpret_cast<const uint8_t*>(picture.data());
    for (int ty = 0; ty < t->height; ++ty) {
        for (int tx = 0; tx < t->width; ++tx) {
            uint32_t r = 0, g = 0, b = 0, n = 0;
            for (int dy = 0; dy < f; ++dy) {
                const int y = ty * f + dy;            // top-down row of the screen
                const int fileRow = height - 1 - y;   // rows are stored bottom-up
                if (fileRow < 0 || fileRow >= rows) continue;
                for (int dx = 0; dx < f; ++dx) {
                    const int x = tx * f + dx;
                    if (x >= width) continue;
                    const uint8_t* s = px + fileRow * rowBytes + int64_t{x} * 3;
                    b += s[2];  // stored b1 b2 b0: blue is the third byte
                    g += s[0];
                    r += s[1];
                    ++n;
                }
            }
            if (n == 0) continue;
            uint8_t* d = t->rgb.data() + (static_cast<size_t>(ty) * t->width + tx) * 3;
            d[0] = static_cast<uint8_t>(r / n);
            d[1] = static_cast<uint8_t>(g / n);
            d[2] = static_cast<uint8_t>(b / n);
        }
    }
    return t;
}

}  // namespace

std::shared_ptr<const Thumbnail> ThumbnailCache::get(const fs::path& file, int width, int height, int maxWidth) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        MutexLock lock(mutex_);
        entries_.erase(file.string());
        return nullptr;
    }
    const int64_t mtime = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    fs::path root;
    {
        MutexLock lock(mutex_);
        root = root_;
        auto it = entries_.find(file.string());
        if (it != entries_.end() && it->second.size == st.st_size && it->second.mtimeNs == mtime &&
            it->second.width == width && it->second.height == height && it->second.maxWidth == maxWidth)
            return it->second.thumb;
    }
    std::shared_ptr<const Thumbnail> thumb;
    if (st.st_size > 0 && st.st_size <= kMaxFileBytes) {
        if (const auto data = io::readRegular(file, kMaxFileBytes, nullptr, root)) {
            const save::SaveFileParts parts = save::splitSaveFile(*data);
            thumb = decode(parts.picture, width, height, maxWidth);
        }
    }
    MutexLock lock(mutex_);
    ++decodes_;
    entries_[file.string()] = Entry{st.st_size, mtime, width, height, maxWidth, thumb};
    return thumb;
}

}  // namespace yv
