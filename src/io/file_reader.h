// The one way the runtime reads a file: regular files only, never more than a cap.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "core/bytes.h"

namespace yv::io {

// A game folder is untrusted: a directory, FIFO or device under a file's name (or a link to
// one) must read as a missing file, never hang start-up or fill the memory. No single file a
// game of this kind ships comes near this.
constexpr int64_t kMaxFileBytes = int64_t{256} << 20;

// Outside: the file lies outside the folder it was to be read beneath (a link leads out).
enum class ReadFailure { None, Missing, NotRegular, TooLarge, Io, Outside };

// Opens a regular file for reading (following links), without blocking on a FIFO; -1 for
// anything else. With a `root`, the file must lie beneath that folder and is opened without
// leaving it (a link leading out fails as Outside). The caller closes the descriptor.
int openRegular(const std::filesystem::path& file, ReadFailure* why = nullptr,
                const std::filesystem::path& root = {});

// The whole file; nothing when it is missing, not a regular file, larger than maxBytes or
// unreadable. The string owns five zero bytes past its end, so text consumers may read it as
// zero-terminated.
std::optional<Bytes> readRegular(const std::filesystem::path& file, int64_t maxBytes = kMaxFileBytes,
                                 ReadFailure* why = nullptr, const std::filesystem::path& root = {});

}  // namespace yv::io
