// Resource reading from loose files.
#include "graphics/resources.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace yv {

std::optional<Bytes> Resources::read(BytesView name) { return readPlainFile(name); }

std::optional<std::filesystem::path> Resources::resolve(BytesView name) {
    {
        std::lock_guard lock(mutex_);
        struct stat st {};
        // The same name as last time needs no search, only a check that the file is still there.
        if (!lastName_.empty() && BytesView(lastName_) == name && ::stat(lastPath_.c_str(), &st) == 0 &&
            S_ISREG(st.st_mode))
            return lastPath_;
        auto it = resolved_.find(Bytes(name));
        if (it != resolved_.end() && ::stat(it->second.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            lastName_ = it->first;
            lastPath_ = it->second;
            return it->second;
        }
    }
    auto path = paths_.find(name);
    std::error_code ec;
    if (!path || !std::filesystem::is_regular_file(*path, ec)) return std::nullopt;
    std::lock_guard lock(mutex_);
    if (resolved_.size() > 4096) resolved_.clear();
    resolved_[Bytes(name)] = *path;
    lastName_ = Bytes(name);
    lastPath_ = *path;
    return path;
}

Resources::Version Resources::version(BytesView name) {
    Version v;
    std::lock_guard lock(mutex_);
    struct stat st {};
    std::filesystem::path path;
    const auto now = std::chrono::steady_clock::now();
    if (!lastName_.empty() && BytesView(lastName_) == name) {
        if (lastVersion_.known && writes_ == lastVersionWrites_ &&
            now - lastVersionAt_ < std::chrono::milliseconds(50))
            return lastVersion_;
        path = lastPath_;
    } else {
        auto it = resolved_.find(Bytes(name));
        if (it == resolved_.end()) return v;  // not read before: nothing to compare with
        path = it->second;
    }
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return v;
    v.known = true;
    v.source = (static_cast<uint64_t>(st.st_dev) << 40) ^ static_cast<uint64_t>(st.st_ino);
    v.size = st.st_size;
    v.stamp = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    if (!lastName_.empty() && BytesView(lastName_) == name) {
        lastVersion_ = v;
        lastVersionAt_ = now;
        lastVersionWrites_ = writes_;
    }
    return v;
}

std::optional<Bytes> Resources::readPlainFile(BytesView name) {
    auto path = resolve(name);
    if (!path) return std::nullopt;
    std::ifstream in(*path, std::ios::binary);
    if (!in) return std::nullopt;
    Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.empty()) return std::nullopt;
    return data;
}

}  // namespace yv
