// The limits every FFmpeg input from a game folder runs under: reads that give up when asked to
// (the game closing, a sound dropped) and a bound on what one piece of work may read, so that a
// file with a long tail of junk ends as a damaged one does instead of being read to its end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

struct AVFormatContext;
struct AVIOContext;

namespace yv::audio {

// Opening a file (its header, its index, a look at its streams) reads at most this much. The
// largest index of a movie hours long is a few megabytes.
constexpr int64_t kOpenReadLimit = int64_t{16} << 20;
// Decoding the next frame, or the next stretch of sound, reads at most this much: one
// uncompressed picture of the largest size with room to spare.
constexpr int64_t kStepReadLimit = int64_t{96} << 20;
// The largest picture a movie may have, each side.
constexpr int kMaxPictureSide = 4096;

class InputGuard {
public:
    // `stop` (may be empty) is asked at every read; once it answers true every read fails.
    explicit InputGuard(std::function<bool()> stop = {}) : stop_(std::move(stop)) {}
    InputGuard(const InputGuard&) = delete;
    InputGuard& operator=(const InputGuard&) = delete;

    // A format context whose reads ask this guard first (the guard must outlive it); nullptr
    // when out of memory.
    AVFormatContext* newContext();
    // From now on at most `bytes` more may be read (until the next call).
    void limit(int64_t bytes);
    // Reading gives up now: stopped, or the limit used up.
    bool stopped() const;
    // The limit was used up since it was last set. FFmpeg's demuxers take a failed read as the
    // end of the file, so an open can seem to succeed on a header it never finished reading:
    // such a file is refused as a damaged one.
    bool overrun() const { return overrun_; }

private:
    static int interrupt(void* opaque);
    int64_t bytesRead() const;

    std::function<bool()> stop_;
    AVFormatContext* format_ = nullptr;
    int64_t base_ = 0;
    int64_t limit_ = -1;            // -1: none yet
    mutable bool overrun_ = false;  // only the thread that reads asks
};

// A container opened under a guard, from a regular file or from bytes in memory. We read the
// file ourselves: its size is known without asking the system at every look (a demuxer walking
// a long tail asks for it every few bytes), and only that file is ever opened.
class FfmpegInput {
public:
    explicit FfmpegInput(std::function<bool()> stop = {}) : guard_(std::move(stop)) {}
    ~FfmpegInput();
    FfmpegInput(const FfmpegInput&) = delete;
    FfmpegInput& operator=(const FfmpegInput&) = delete;

    // Opens the container (`memory` when given, else the file) within the opening read limit;
    // `formats` (may be null) names the demuxers allowed. False when it cannot be opened.
    bool open(const std::filesystem::path& file, std::shared_ptr<const std::string> memory,
              const char* formats = nullptr);
    AVFormatContext* format() const { return format_; }
    InputGuard& guard() { return guard_; }

private:
    static int read(void* opaque, uint8_t* buf, int size);
    static int64_t seek(void* opaque, int64_t offset, int whence);

    InputGuard guard_;
    std::shared_ptr<const std::string> memory_;
    int fd_ = -1;
    int64_t size_ = 0;
    int64_t at_ = 0;
    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
};

}  // namespace yv::audio
