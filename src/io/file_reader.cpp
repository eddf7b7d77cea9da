// Regular-file reading with a size cap.
#include "io/file_reader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/beneath.h"

namespace yv::io {

int openRegular(const std::filesystem::path& file, ReadFailure* why, const std::filesystem::path& root) {
    auto fail = [&](ReadFailure f) {
        if (why) *why = f;
        return -1;
    };
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer that never comes.
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    int fd = -1;
    if (root.empty()) {
        fd = ::open(file.c_str(), kFlags);
    } else {
        const auto rel = beneath::inside(root, file);
        if (!rel) return fail(ReadFailure::Outside);
        fd = beneath::open(root, *rel, kFlags);
        if (fd < 0 && errno == EXDEV) return fail(ReadFailure::Outside);
    }
    if (fd < 0) return fail(errno == ENOENT || errno == ENOTDIR ? ReadFailure::Missing : ReadFailure::Io);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(ReadFailure::NotRegular);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (why) *why = ReadFailure::None;
    return fd;
}

std::optional<Bytes> readRegular(const std::filesystem::path& file, int64_t maxBytes, ReadFailure* why,
                                 const std::filesystem::path& root) {
    ReadFailure f = ReadFailure::None;
    const int fd = openRegular(file, &f, root);
    if (fd < 0) {
        if (why) *why = f;
        return std::nullopt;
    }
    auto fail = [&](ReadFailure r) -> std::optional<Bytes> {
        ::close(fd);
        if (why) *why = r;
        return std::nullopt;
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(ReadFailure::Io);
    if (st.st_size > maxBytes) return fail(ReadFailure::TooLarge);
    // The size is a hint (the file may change meanwhile); the cap holds whatever is read.
    Bytes data;
    data.reserve(static_cast<size_t>(st.st_size) + 5);
    char buf[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(ReadFailure::Io);
        if (got == 0) break;
        if (static_cast<int64_t>(data.size()) + got > maxBytes) return fail(ReadFailure::TooLarge);
        data.append(buf, static_cast<size_t>(got));
    }
    ::close(fd);
    const size_t n = data.size();
    data.append(5, '\0');
    data.resize(n);
    if (why) *why = ReadFailure::None;
    return data;
}

}  // namespace yv::io
