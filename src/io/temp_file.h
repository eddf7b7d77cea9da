// Temporary copies of resources for consumers that need a file name rather than bytes.
#pragma once

#include <filesystem>

#include "core/bytes.h"

namespace yv {

// Writes the bytes to a new file "~yv<number>" in the platform's temporary folder and deletes
// it again when the object goes away, however the consumer's work ended.
class TempResourceFile {
public:
    explicit TempResourceFile(BytesView bytes);
    ~TempResourceFile();
    TempResourceFile(TempResourceFile&& other) noexcept;
    TempResourceFile& operator=(TempResourceFile&& other) noexcept;
    TempResourceFile(const TempResourceFile&) = delete;
    TempResourceFile& operator=(const TempResourceFile&) = delete;

    // False when no file could be written (the path is then empty).
    bool ok() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }
    // Deletes the file now.
    void remove();

private:
    std::filesystem::path path_;
};

}  // namespace yv
