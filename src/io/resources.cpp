// Resource reading from the two archives and from loose files.
#include "io/resources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "core/cp932.h"
#include "io/file_reader.h"
#include "io/archive.h"

namespace yv {
namespace {

// Reads exactly `size` bytes at `offset`; false on a short read.
bool readAt(int fd, char* out, int64_t size, int64_t offset) {
    while (size > 0) {
        const ssize_t got = ::pread(fd, out, static_cast<size_t>(size), static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        size -= got;
        offset += got;
    }
    return true;
}

// A name that leaves the game folder reads as a missing file; one line says why.
void sayNotRead(BytesView name, Outside why) {
    sayRefused("yorvane: not read", cp932ToUtf8(name), why, "game folder");
}

}  // namespace

Resources::~Resources() {
    for (Archive& a : archives_)
        if (a.fd >= 0) ::close(a.fd);
}

bool Resources::openArchive(Archive& a, BytesView indexName) {
    a.indexName = Bytes(indexName);
    auto indexPath = paths_.find(indexName);
    if (!indexPath) return false;
    const auto raw = io::readRegular(*indexPath, io::kMaxFileBytes, nullptr, paths_.base());
    if (!raw) return false;
    const io::archive::DecodedIndex idx = io::archive::decodeIndex(*raw);
    a.indexText = idx.text;
    a.dataName = idx.dataName;
    a.key = idx.dataKey;
    auto dataPath = paths_.find(idx.dataName);
    if (!dataPath) return false;
    const int fd = io::openRegular(*dataPath, nullptr, paths_.base());
    if (fd < 0) return false;
    a.fd = fd;
    return true;
}

void Resources::openArchives(int32_t dat, BytesView index1, BytesView index2) {
    MutexLock lock(archiveMutex_);
    archiveMode_ = dat;
    if (dat == 0) return;
    openArchive(archives_[0], index2);
    if (!openArchive(archives_[1], index1)) archiveMode_ = 0;
}

void Resources::applySecondReading(int32_t dat, BytesView index1, BytesView index2) {
    MutexLock lock(archiveMutex_);
    archiveMode_ = dat;
    if (dat == 0) return;
    archives_[0].indexText = Bytes(index2);
    archives_[1].indexText = Bytes(index1);
}

std::optional<std::pair<int64_t, int64_t>> Resources::entryOf(const Archive& a, BytesView lowerName) {
    if (a.fd < 0) return std::nullopt;
    auto ref = io::archive::lookup(a.indexText, lowerName);
    if (!ref || ref->offset < 0 || ref->size < 0) return std::nullopt;
    // An entry that reaches past the data file's end would be a short read; one beyond the
    // file cap is treated alike, so a tiny game cannot ask for gigabytes.
    struct stat st {};
    if (::fstat(a.fd, &st) != 0 || ref->offset > st.st_size || ref->size > st.st_size - ref->offset ||
        ref->size > io::kMaxFileBytes)
        return std::nullopt;
    return std::make_pair(ref->offset, ref->size);
}

std::optional<Bytes> Resources::readEntry(const Archive& a, int64_t offset, int64_t size) {
    Bytes data(static_cast<size_t>(size) + 5, '\0');
    if (!readAt(a.fd, data.data(), size, offset)) return std::nullopt;
    for (int64_t i = 0; i < size; ++i)
        data[static_cast<size_t>(i)] = static_cast<char>(static_cast<unsigned char>(data[static_cast<size_t>(i)]) ^ a.key);
    data.resize(static_cast<size_t>(size));  // keeps the zeroed tail as capacity
    return data;
}

std::optional<Bytes> Resources::read(BytesView name) {
    const Bytes lower = lowerAscii(name);
    if (archiveMode()) {
        MutexLock lock(archiveMutex_);
        for (const Archive& a : archives_) {
            auto e = entryOf(a, lower);
            if (!e) continue;
            auto data = readEntry(a, e->first, e->second);
            if (!data) continue;  // a short read: try the next source
            if (data->empty()) return std::nullopt;  // found, but empty: not found for consumers
            return data;
        }
    }
    return readPlainFile(name);
}

bool Resources::exists(BytesView name) {
    if (archiveMode()) {
        const Bytes lower = lowerAscii(name);
        MutexLock lock(archiveMutex_);
        for (const Archive& a : archives_)
            if (auto e = entryOf(a, lower)) return e->second > 0;
    }
    auto path = resolve(name);
    std::error_code ec;
    return path && std::filesystem::file_size(*path, ec) > 0 && !ec;
}

std::optional<std::filesystem::path> Resources::resolve(BytesView name) {
    {
        MutexLock lock(mutex_);
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
    Outside why = Outside::No;
    auto path = paths_.find(name, &why);
    if (why != Outside::No) sayNotRead(name, why);
    std::error_code ec;
    if (!path || !std::filesystem::is_regular_file(*path, ec)) return std::nullopt;
    MutexLock lock(mutex_);
    if (resolved_.size() > 4096) resolved_.clear();
    resolved_[Bytes(name)] = *path;
    lastName_ = Bytes(name);
    lastPath_ = *path;
    return path;
}

Resources::Version Resources::version(BytesView name) {
    Version v;
    if (archiveMode()) {
        // Archive entries never change while the game runs: the entry is its own version.
        const Bytes lower = lowerAscii(name);
        MutexLock lock(archiveMutex_);
        for (int i = 0; i < 2; ++i) {
            auto e = entryOf(archives_[i], lower);
            if (!e) continue;
            if (e->second == 0) return v;
            v.known = true;
            v.source = (static_cast<uint64_t>(i + 1) << 62) ^ static_cast<uint64_t>(e->first);
            v.size = e->second;
            return v;
        }
    }
    MutexLock lock(mutex_);
    struct stat st {};
    std::filesystem::path path;
    const auto now = std::chrono::steady_clock::now();
    if (!lastName_.empty() && BytesView(lastName_) == name) {
        if (lastVersion_.known && writes_ == lastVersionWrites_ &&
            now - lastVersionAt_ < std::chrono::milliseconds(kVersionReuseMs))
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
    io::ReadFailure failure = io::ReadFailure::None;
    auto data = io::readRegular(*path, io::kMaxFileBytes, &failure, paths_.base());
    if (failure == io::ReadFailure::Outside) sayNotRead(name, Outside::Link);
    if (!data || data->empty()) return std::nullopt;
    return data;
}

}  // namespace yv
