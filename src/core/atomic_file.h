// Replacing a file so that a crash, a full disk or a failed write never loses the old one: the
// new bytes go to a temporary file beside it, reach the disk, and only then take its name.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace yv::atomic_file {

// The system calls a replacement goes through. Tests derive from it to fail, or stop the
// process, at any one of them.
class FileOps {
public:
    virtual ~FileOps() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
    // Gives `from` the name `to` unless that name exists (EEXIST then).
    virtual int renameNoReplace(const char* from, const char* to);
};

// The plain system calls (the object holds no state).
FileOps& systemOps();

// Writes the parts, one after another, as the new content of `target`. On success the target
// holds exactly these bytes and the folder entry has reached the disk. On failure the target is
// as it was (missing stays missing), the temporary file is gone, and `error` says what the
// system refused ("write: No space left on device").
bool replace(const std::filesystem::path& target, std::initializer_list<std::string_view> parts,
             std::string& error, FileOps& ops = systemOps());

// Writes `data` as the new file `target`, which must not exist yet: an existing file is never
// replaced (Exists, nothing written). The file appears whole or not at all, as with replace().
enum class Created { Yes, Exists, Failed };
Created create(const std::filesystem::path& target, std::string_view data, std::string& error,
               FileOps& ops = systemOps());

// Temporary files are named ".<target name>.yvtmp-<six characters>" in the target's folder.
bool isTemporaryName(std::string_view fileName);

// Removes the temporary files a crashed run left in the folder; returns how many.
int removeStaleTemporaries(const std::filesystem::path& folder);

}  // namespace yv::atomic_file
