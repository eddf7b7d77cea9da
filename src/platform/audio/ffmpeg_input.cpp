// FFmpeg's interrupt callback as the stop and read limit of an input, and our own reader.
#include "platform/audio/ffmpeg_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
}

namespace yv::audio {

AVFormatContext* InputGuard::newContext() {
    format_ = avformat_alloc_context();
    if (!format_) return nullptr;
    // FFmpeg asks this at each round of its look at the streams and before each read of a file
    // it opens itself; a yes fails the read (AVERROR_EXIT).
    format_->interrupt_callback.callback = &InputGuard::interrupt;
    format_->interrupt_callback.opaque = this;
    return format_;
}

int64_t InputGuard::bytesRead() const { return format_ && format_->pb ? format_->pb->bytes_read : 0; }

void InputGuard::limit(int64_t bytes) {
    base_ = bytesRead();
    limit_ = bytes;
    overrun_ = false;
}

bool InputGuard::stopped() const {
    if (stop_ && stop_()) return true;
    if (limit_ >= 0 && bytesRead() - base_ > limit_) overrun_ = true;
    return overrun_;
}

int InputGuard::interrupt(void* opaque) { return static_cast<const InputGuard*>(opaque)->stopped() ? 1 : 0; }

FfmpegInput::~FfmpegInput() {
    avformat_close_input(&format_);
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
    if (fd_ >= 0) ::close(fd_);
}

bool FfmpegInput::open(const std::filesystem::path& file, std::shared_ptr<const std::string> memory,
                       const char* formats) {
    if (memory) {
        memory_ = std::move(memory);
        size_ = static_cast<int64_t>(memory_->size());
    } else {
        // Not blocking on a FIFO; only a regular file is read.
        fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return false;
        size_ = static_cast<int64_t>(st.st_size);
    }
    format_ = guard_.newContext();
    if (!format_) return false;
    constexpr int kIoBuffer = 32768;
    auto* buf = static_cast<uint8_t*>(av_malloc(kIoBuffer));
    if (!buf) return false;
    io_ = avio_alloc_context(buf, kIoBuffer, 0, this, &FfmpegInput::read, nullptr, &FfmpegInput::seek);
    if (!io_) {
        av_free(buf);
        return false;
    }
    format_->pb = io_;
    format_->flags |= AVFMT_FLAG_CUSTOM_IO;
    // A header that reads on and on (a long tail of junk) is refused as a damaged file is.
    guard_.limit(kOpenReadLimit);
    AVDictionary* options = nullptr;
    // Nothing a container names inside itself (a playlist's entries) is opened.
    av_dict_set(&options, "protocol_whitelist", "none", 0);
    if (formats) av_dict_set(&options, "format_whitelist", formats, 0);
    // The name only hints at the format.
    const int r = avformat_open_input(&format_, memory_ ? nullptr : file.c_str(), nullptr, &options);
    av_dict_free(&options);
    return r >= 0 && !guard_.overrun();  // (on failure FFmpeg has freed the context)
}

int FfmpegInput::read(void* opaque, uint8_t* buf, int size) {
    auto* in = static_cast<FfmpegInput*>(opaque);
    // FFmpeg asks its interrupt only of files it opens itself: this reader asks the guard.
    if (in->guard_.stopped()) return AVERROR_EXIT;
    const int64_t left = in->size_ - in->at_;
    if (left <= 0 || size <= 0) return AVERROR_EOF;
    const auto n = static_cast<size_t>(std::min<int64_t>(left, size));
    ssize_t got = 0;
    if (in->memory_) {
        std::memcpy(buf, in->memory_->data() + in->at_, n);
        got = static_cast<ssize_t>(n);
    } else {
        do got = ::pread(in->fd_, buf, n, static_cast<off_t>(in->at_));
        while (got < 0 && errno == EINTR);
        if (got < 0) return AVERROR(EIO);
        if (got == 0) return AVERROR_EOF;  // the file became shorter
    }
    in->at_ += got;
    return static_cast<int>(got);
}

int64_t FfmpegInput::seek(void* opaque, int64_t offset, int whence) {
    auto* in = static_cast<FfmpegInput*>(opaque);
    if (whence & AVSEEK_SIZE) return in->size_;
    int64_t to = offset;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET: break;
    case SEEK_CUR: to = in->at_ + offset; break;
    case SEEK_END: to = in->size_ + offset; break;
    default: return -1;
    }
    if (to < 0 || to > in->size_) return -1;
    in->at_ = to;
    return to;
}

}  // namespace yv::audio
