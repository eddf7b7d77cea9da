// playavi's frame player: one frame per tick of the window's frame timer, drawn on the window in
// a rectangle or as tiles over the screen.
#include <cstdio>
#include <system_error>

#include "core/cp932.h"

#include "media/video.h"
#include "platform/video/video_decoder.h"
#include "runtime.h"

namespace yv::media {

FramePlayer::FramePlayer() = default;
FramePlayer::~FramePlayer() = default;

std::optional<std::filesystem::path> findMovie(Runtime& rt, BytesView name) {
    auto path = rt.resources.paths().find(name);
    std::error_code ec;
    // A folder or a FIFO under the name would stall the demuxer: it reads as a missing file.
    if (!path || !std::filesystem::is_regular_file(*path, ec)) return std::nullopt;
    return path;
}

void FramePlayer::play(Runtime& rt, const Request& request) {
    const char* message = nullptr;
    {
        MutexLock lock(mutex_);
        // A second movie closes the first one's file and decoder before it starts.
        release(rt.platform);
        request_ = request;
        screenW_ = rt.config.width;
        screenH_ = rt.config.height;
        video::Decoder::Opened why = video::Decoder::Opened::CannotOpen;
        // A close ends any read of the file at once (the decoder goes before the Runtime).
        if (auto path = findMovie(rt, request.name))
            decoder_ = video::Decoder::open(*path, why, [&rt] { return rt.closing(); });
        if (!decoder_) {
            if (why == video::Decoder::Opened::CannotOpen) message = "Error opening AVI file.";
            if (why == video::Decoder::Opened::NoVideo) message = "Video stream not found!";
            if (why == video::Decoder::Opened::NoDecoder && rt.verbose)
                std::fprintf(stderr, "yorvane: no decoder for the video of %s\n", cp932ToUtf8(request.name).c_str());
        } else {
            // Played from its first frame (the original began at the key frame nearest the
            // middle of the stream).
            sample_ = 0;
            playing_ = true;
            decoder_->advanceTo(0);
            draw(rt.platform);
            const uint64_t generation = ++generation_;
            Platform* platform = &rt.platform;
            rt.platform.setVideoTimer(decoder_->wholeMsPerFrame() + 1,
                                      [this, platform, generation] { tick(*platform, generation); });
        }
    }
    // Outside the lock: a tick already running on the window thread must not wait for a box
    // that waits for the window thread.
    if (message) rt.platform.messageBox(message, "", MsgButtons::Ok, MsgIcon::None);
}

void FramePlayer::stop(Platform& platform) {
    MutexLock lock(mutex_);
    release(platform);
}

void FramePlayer::release(Platform& platform) {
    if (decoder_ || playing_) platform.setVideoTimer(0, {});
    ++generation_;
    decoder_.reset();
    playing_ = false;
}

void FramePlayer::tick(Platform& platform, uint64_t generation) {
    MutexLock lock(mutex_);
    if (generation != generation_ || !decoder_) return;
    const int64_t length = decoder_->length();
    // The end: past the stream's length, or no frame left in the file (a cut file).
    if ((length > 0 && sample_ + 1 >= length) || (decoder_->ended() && decoder_->heldIndex() <= sample_)) {
        release(platform);
        return;
    }
    ++sample_;
    decoder_->advanceTo(sample_);
    draw(platform);
}

void FramePlayer::draw(Platform& platform) {
    places_.clear();
    int w = request_.rect.w, h = request_.rect.h;
    if (request_.mode == 1) {
        // n x n tiles, row by row from the top left; no tiles at all for n <= 0 (the original
        // divided by zero).
        const int32_t n = request_.tiles;
        if (n <= 0) return;
        w = screenW_ / n;
        h = screenH_ / n;
        if (w <= 0 || h <= 0) return;
        for (int32_t row = 0; row < n; ++row)
            for (int32_t col = 0; col < n; ++col) places_.push_back(Rect{col * w, row * h, w, h});
    } else {
        if (w <= 0 || h <= 0) {
            w = decoder_->width();
            h = decoder_->height();
        }
        places_.push_back(Rect{request_.rect.x, request_.rect.y, w, h});
    }
    if (w <= 0 || h <= 0 || !decoder_->convert(w, h, picture_)) return;
    const FrameView frame{picture_.data(), std::min(w, 4096), std::min(h, 4096)};
    platform.showVideo(frame, places_);
}

}  // namespace yv::media
