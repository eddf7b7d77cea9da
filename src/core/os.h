// Operating-system services behind the platform's defaults: folders, local time, other programs.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yv::os {

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

LocalTime localTimeNow();

// Milliseconds of a monotonic clock that is cheap to read (a few nanoseconds, no lock) and only
// a few milliseconds coarse: for "has a while passed" checks on hot paths, not for game time.
// Inline: a jump asks it.
inline int64_t coarseMonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// The file's creation (birth) time where the file system records it, else its last
// modification time, in local time; nothing when the file cannot be examined.
std::optional<LocalTime> fileCreationTime(const std::filesystem::path& file);

// The user's documents folder (XDG_DOCUMENTS_DIR of user-dirs.dirs, else the home folder),
// UTF-8, without a trailing separator.
std::string userDocumentsFolder();
// The user's pictures folder: $XDG_PICTURES_DIR, else XDG_PICTURES_DIR of user-dirs.dirs, else
// ~/Pictures; UTF-8, without a trailing separator.
std::string userPicturesFolder();

// Splits a command line the way Windows programs read theirs: blanks separate words, double
// quotes group, a backslash is an ordinary character unless it escapes a quote.
std::vector<std::string> splitCommandLine(std::string_view line);

// Starts a program (searched in PATH when the name has no '/') in `cwd`; with `wait` returns
// only after it ended. False when it could not be started.
bool runProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd, bool wait);

// Opens a document, folder or address with the desktop's handler (xdg-open), without waiting.
// Returns a number like the Windows shell's: above 32 on success, 0 when no process could be
// created, 31 when no handler program is available.
int openWithDesktop(const std::string& target, const std::filesystem::path& cwd);

}  // namespace yv::os
