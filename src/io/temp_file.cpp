// Temporary resource files: created exclusively, deleted by the destructor.
#include "io/temp_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <random>
#include <string>

namespace yv {

TempResourceFile::TempResourceFile(BytesView bytes) {
    static std::atomic<uint32_t> counter{0};
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec) return;
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const uint64_t n = (static_cast<uint64_t>(rd()) << 16) ^ (static_cast<uint64_t>(::getpid()) << 8) ^
                           counter.fetch_add(1);
        std::filesystem::path p = dir / ("~yv" + std::to_string(n % 100000000));
        const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return;
        }
        const char* at = bytes.data();
        size_t left = bytes.size();
        bool good = true;
        while (left > 0) {
            const ssize_t w = ::write(fd, at, left);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                good = false;
                break;
            }
            at += w;
            left -= static_cast<size_t>(w);
        }
        if (::close(fd) != 0) good = false;
        if (!good) {
            ::unlink(p.c_str());
            return;
        }
        path_ = std::move(p);
        return;
    }
}

TempResourceFile::~TempResourceFile() { remove(); }

TempResourceFile::TempResourceFile(TempResourceFile&& other) noexcept : path_(std::move(other.path_)) {
    other.path_.clear();
}

TempResourceFile& TempResourceFile::operator=(TempResourceFile&& other) noexcept {
    if (this != &other) {
        remove();
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

void TempResourceFile::remove() {
    if (path_.empty()) return;
    ::unlink(path_.c_str());
    path_.clear();
}

}  // namespace yv
