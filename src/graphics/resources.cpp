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
        auto it = resolved_.find(Bytes(name));
        struct stat st {};
        if (it != resolved_.end() && ::stat(it->second.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return it->second;
    }
    auto path = paths_.find(name);
    std::error_code ec;
    if (!path || !std::filesystem::is_regular_file(*path, ec)) return std::nullopt;
    std::lock_guard lock(mutex_);
    if (resolved_.size() > 4096) resolved_.clear();
    resolved_[Bytes(name)] = *path;
    return path;
}

Bytes Resources::versionKey(BytesView name) {
    auto path = resolve(name);
    struct stat st {};
    if (!path || ::stat(path->c_str(), &st) != 0) return {};
    return path->string() + '|' + std::to_string(st.st_ino) + '|' + std::to_string(st.st_size) +
           '|' + std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec);
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
