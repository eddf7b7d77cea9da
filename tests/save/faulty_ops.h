// File calls that fail, or end the process, at one chosen call; every call counted.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/atomic_file.h"

namespace yv::test {

class FaultyOps : public atomic_file::FileOps {
public:
    int failAt = -1;     // the call number that fails
    bool crash = false;  // the process ends there instead of failing
    int calls = 0;
    int err = ENOSPC;

    int open(const char* p, int f, mode_t m) override { return hit() ? -1 : FileOps::open(p, f, m); }
    ssize_t write(int fd, const void* d, size_t n) override {
        // Writes go in pieces, so a failure can fall between them.
        return hit() ? -1 : FileOps::write(fd, d, std::min<size_t>(n, 4096));
    }
    int fsync(int fd) override { return hit() ? -1 : FileOps::fsync(fd); }
    int close(int fd) override {
        if (hit()) {
            FileOps::close(fd);
            return -1;
        }
        return FileOps::close(fd);
    }
    int rename(const char* a, const char* b) override { return hit() ? -1 : FileOps::rename(a, b); }
    int renameNoReplace(const char* a, const char* b) override {
        return hit() ? -1 : FileOps::renameNoReplace(a, b);
    }

private:
    bool hit() {
        if (calls++ != failAt) return false;
        if (crash) _exit(0);  // no cleanup of any kind, as a power cut
        errno = err;
        return true;
    }
};

}  // namespace yv::test
