// FFmpeg (libavformat, libavcodec, libswscale) movie decoding for the video players.
#include "platform/video/video_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/audio/ffmpeg_input.h"
#include "platform/audio/media_libs.h"

namespace yv::video {
namespace {

// A game folder is untrusted: only the file itself, and only containers that carry movies (no
// playlists or concatenations that would open other files).
constexpr const char* kFormats = "avi,mov,matroska,mpeg,asf,ogg,flv,wav";
constexpr int kMaxSide = audio::kMaxPictureSide;

}  // namespace

struct Decoder::Av {
    explicit Av(std::function<bool()> stop) : input(std::move(stop)) {}
    audio::FfmpegInput input;        // closed after the decoder's own parts
    AVFormatContext* format = nullptr;  // the input's
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* held = nullptr;
    AVFrame* pending = nullptr;
    SwsContext* sws = nullptr;
    int stream = -1;
    AVRational timeBase{1, 1};
    int64_t startPts = 0;

    ~Av() {
        sws_freeContext(sws);
        av_frame_free(&held);
        av_frame_free(&pending);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
    }
};

Decoder::Decoder(std::function<bool()> stop) : av_(std::make_unique<Av>(std::move(stop))) {}
Decoder::~Decoder() = default;

std::unique_ptr<Decoder> Decoder::open(const std::filesystem::path& file, Opened& result, std::function<bool()> stop) {
    result = Opened::CannotOpen;
    if (!audio::libs::load(audio::libs::Group::Ffmpeg)) return nullptr;
    std::unique_ptr<Decoder> d(new Decoder(std::move(stop)));
    Av& av = *d->av_;
    // A header that reads on and on (an index scan through a long tail of junk) is refused as a
    // damaged file is.
    if (!av.input.open(file, nullptr, kFormats)) return nullptr;
    av.format = av.input.format();

    // The first video stream, as the original took the first "vids" stream.
    for (unsigned i = 0; i < av.format->nb_streams; ++i) {
        const AVStream* st = av.format->streams[i];
        if (st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) d->hasAudio_ = true;
        if (av.stream < 0 && st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(st->disposition & AV_DISPOSITION_ATTACHED_PIC))
            av.stream = static_cast<int>(i);
    }
    if (av.stream < 0) {
        result = Opened::NoVideo;
        return nullptr;
    }
    AVStream* st = av.format->streams[av.stream];
    // AVI headers name the codec and size; other containers may need a look at the data (which
    // opens decoders of its own, so it is skipped when the header says enough).
    if (st->codecpar->width <= 0 || st->codecpar->height <= 0 || st->codecpar->codec_id == AV_CODEC_ID_NONE)
        avformat_find_stream_info(av.format, nullptr);
    if (av.input.guard().overrun()) return nullptr;
    // No movie of the time came near 4096 pixels a side; a header that says more is damaged
    // (one flipped bit made a frame a million pixels wide, hundreds of megabytes a picture).
    if (st->codecpar->width > kMaxSide || st->codecpar->height > kMaxSide) return nullptr;

    result = Opened::NoDecoder;
    const AVCodec* dec = avcodec_find_decoder(st->codecpar->codec_id);
    if (const AVCodecDescriptor* desc = avcodec_descriptor_get(st->codecpar->codec_id)) d->codecName_ = desc->name;
    if (!dec) return nullptr;
    av.codec = avcodec_alloc_context3(dec);
    if (!av.codec || avcodec_parameters_to_context(av.codec, st->codecpar) < 0) return nullptr;
    av.codec->pkt_timebase = st->time_base;
    av.codec->thread_count = 1;  // no decoder threads: a movie frame is small work
    // Pictures that grow past the cap while decoding are refused by the decoder as well.
    av.codec->max_pixels = int64_t{kMaxSide} * kMaxSide;
    if (avcodec_open2(av.codec, dec, nullptr) < 0) return nullptr;
    av.packet = av_packet_alloc();
    av.held = av_frame_alloc();
    av.pending = av_frame_alloc();
    if (!av.packet || !av.held || !av.pending) return nullptr;

    // Timing: the stream's length in frames and the time it takes.
    av.timeBase = st->time_base.num > 0 && st->time_base.den > 0 ? st->time_base : AVRational{1, 1000};
    av.startPts = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
    AVRational rate = st->avg_frame_rate.num > 0 && st->avg_frame_rate.den > 0 ? st->avg_frame_rate : st->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) rate = av_inv_q(av.timeBase);
    int64_t duration = st->duration;
    if (duration == AV_NOPTS_VALUE || duration <= 0) {
        duration = av.format->duration > 0 ? av_rescale_q(av.format->duration, AVRational{1, AV_TIME_BASE}, av.timeBase) : 0;
    }
    int64_t length = st->nb_frames > 0 ? st->nb_frames : 0;
    if (length <= 0 && duration > 0) length = av_rescale_q(duration, av.timeBase, av_inv_q(rate));
    double frameMs = 1000.0 * av_q2d(av_inv_q(rate));
    int64_t wholeMs = static_cast<int64_t>(frameMs);
    if (length > 0 && duration > 0) {
        const int64_t timeOfLength = av_rescale_q(duration, av.timeBase, AVRational{1, 1000});
        wholeMs = timeOfLength / length;
        frameMs = static_cast<double>(duration) * av_q2d(av.timeBase) * 1000.0 / static_cast<double>(length);
    }
    if (!(frameMs >= 1.0)) frameMs = 1.0;  // also a NaN
    d->frameMs_ = std::min(frameMs, 5000.0);
    d->wholeMs_ = static_cast<int32_t>(std::clamp<int64_t>(wholeMs, 0, 5000));
    d->length_ = std::max<int64_t>(length, 0);
    result = Opened::Ok;
    return d;
}

int Decoder::width() const { return av_->codec ? av_->codec->width : 0; }
int Decoder::height() const { return av_->codec ? av_->codec->height : 0; }

int64_t Decoder::indexOf(int64_t pts, int64_t count) const {
    if (pts == AV_NOPTS_VALUE) return count;
    const double ms = static_cast<double>(pts - av_->startPts) * av_q2d(av_->timeBase) * 1000.0;
    const double k = std::round(ms / frameMs_);
    if (!(k >= 0)) return 0;
    return k > 9e15 ? int64_t{9000000000000000} : static_cast<int64_t>(k);
}

bool Decoder::decodeNext() {
    Av& av = *av_;
    if (ended_) return false;
    // Junk read on and on without a frame ends the movie as a damaged file's end does.
    av.input.guard().limit(audio::kStepReadLimit);
    int errors = 0;
    for (int64_t guard = 0; guard < 10000000; ++guard) {
        const int r = avcodec_receive_frame(av.codec, av.pending);
        if (r == 0) {
            pendingIndex_ = std::max(indexOf(av.pending->best_effort_timestamp, decoded_), heldIndex_ + 1);
            ++decoded_;
            pendingValid_ = true;
            return true;
        }
        if (r == AVERROR_EOF) break;
        if (r != AVERROR(EAGAIN) && ++errors > 1000) break;  // a decoder that only fails
        const int got = av_read_frame(av.format, av.packet);
        if (got < 0) {
            if (got == AVERROR(EAGAIN) && ++errors <= 1000) continue;
            avcodec_send_packet(av.codec, nullptr);  // drain what the decoder still holds
            const int last = avcodec_receive_frame(av.codec, av.pending);
            if (last == 0) {
                pendingIndex_ = std::max(indexOf(av.pending->best_effort_timestamp, decoded_), heldIndex_ + 1);
                ++decoded_;
                pendingValid_ = true;
                // Further frames of the drain come from the loop above on the next call.
                return true;
            }
            break;
        }
        if (av.packet->stream_index == av.stream) avcodec_send_packet(av.codec, av.packet);  // a bad packet is skipped
        av_packet_unref(av.packet);
    }
    ended_ = true;
    return false;
}

bool Decoder::advanceTo(int64_t k) {
    Av& av = *av_;
    while (heldIndex_ < k) {
        if (!pendingValid_ && !decodeNext()) break;
        // A later frame waits its turn; the first frame is shown whenever it comes.
        if (heldIndex_ >= 0 && pendingIndex_ > k) break;
        std::swap(av.held, av.pending);
        av_frame_unref(av.pending);
        heldIndex_ = pendingIndex_;
        pendingValid_ = false;
    }
    return heldIndex_ >= 0;
}

bool Decoder::convert(int w, int h, std::vector<uint8_t>& out) {
    Av& av = *av_;
    const AVFrame* f = av.held;
    if (heldIndex_ < 0 || f->width <= 0 || f->height <= 0 || f->width > kMaxSide || f->height > kMaxSide ||
        f->format < 0)
        return false;
    w = std::clamp(w, 1, kMaxSide);
    h = std::clamp(h, 1, kMaxSide);
    const int flags = (w == f->width && h == f->height) ? SWS_POINT : SWS_BILINEAR;
    av.sws = sws_getCachedContext(av.sws, f->width, f->height, static_cast<AVPixelFormat>(f->format), w, h,
                                  AV_PIX_FMT_BGR24, flags, nullptr, nullptr, nullptr);
    if (!av.sws) return false;
    // Rows at an aligned stride for the converter's wide stores; then turned bottom-up.
    const size_t row = static_cast<size_t>(w) * 3;
    const size_t stride = (row + 63) & ~size_t{63};
    scratch_.resize(stride * static_cast<size_t>(h) + 64);
    uint8_t* dst[4] = {scratch_.data(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {static_cast<int>(stride), 0, 0, 0};
    if (sws_scale(av.sws, f->data, f->linesize, 0, f->height, dst, dstStride) <= 0) return false;
    out.resize(row * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        std::memcpy(out.data() + static_cast<size_t>(h - 1 - y) * row, scratch_.data() + static_cast<size_t>(y) * stride, row);
    return true;
}

bool canPlayMovies(std::string& error) {
    if (!audio::libs::load(audio::libs::Group::Ffmpeg) || !sws_isSupportedOutput(AV_PIX_FMT_BGR24) ||
        !(avcodec_find_decoder(AV_CODEC_ID_CINEPAK) || avcodec_find_decoder(AV_CODEC_ID_MSVIDEO1))) {
        error = "The video decoders cannot be used on this machine.";
        return false;
    }
    return true;
}

}  // namespace yv::video
