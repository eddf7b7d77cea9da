// FFmpeg (libavformat, libavcodec, libswresample) and raw CD-image decoding into a chunk ring.
#include "platform/audio/stream_source.h"
#include "platform/audio/ffmpeg_input.h"
#include "platform/audio/media_libs.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>

namespace yv::audio {
namespace {

// Something that yields float stereo frames at kRate until it runs dry.
class Decoder {
public:
    virtual ~Decoder() = default;
    virtual size_t read(float* out, size_t frames) = 0;
};

class RawDecoder final : public Decoder {
public:
    bool open(const Segment& s) {
        f_ = std::fopen(s.file.c_str(), "rb");
        if (!f_) return false;
        return fseeko(f_, static_cast<off_t>(s.startFrame) * 4, SEEK_SET) == 0;
    }
    ~RawDecoder() override {
        if (f_) std::fclose(f_);
    }
    size_t read(float* out, size_t frames) override {
        int16_t buf[2048];
        size_t made = 0;
        while (made < frames) {
            const size_t want = std::min<size_t>(frames - made, 1024);
            const size_t got = std::fread(buf, 4, want, f_);
            for (size_t i = 0; i < got * 2; ++i) {
                const auto* b = reinterpret_cast<const uint8_t*>(&buf[i]);
                const int16_t v = static_cast<int16_t>(b[0] | (b[1] << 8));  // little-endian on any host
                out[made * 2 + i] = static_cast<float>(v) / 32768.0f;
            }
            made += got;
            if (got < want) break;
        }
        return made;
    }

private:
    std::FILE* f_ = nullptr;
};

class FfmpegDecoder final : public Decoder {
public:
    explicit FfmpegDecoder(std::function<bool()> stop = {}) : input_(std::move(stop)) {}
    ~FfmpegDecoder() override {
        av_frame_free(&frame_);
        av_packet_free(&packet_);
        swr_free(&swr_);
        avcodec_free_context(&codec_);
    }

    bool open(const Segment& s) {
        if (!libs::load(libs::Group::Ffmpeg) || !input_.open(s.file, s.memory)) return false;
        format_ = input_.format();
        if (avformat_find_stream_info(format_, nullptr) < 0 || input_.guard().overrun()) return false;
        const AVCodec* dec = nullptr;
        stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &dec, 0);
        if (stream_ < 0 || !dec) return false;
        AVStream* st = format_->streams[stream_];
        codec_ = avcodec_alloc_context3(dec);
        if (!codec_ || avcodec_parameters_to_context(codec_, st->codecpar) < 0) return false;
        codec_->pkt_timebase = st->time_base;
        if (avcodec_open2(codec_, dec, nullptr) < 0) return false;
        if (codec_->sample_rate <= 0 || codec_->sample_rate > kMaxSourceRate) return false;
        if (codec_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || codec_->ch_layout.nb_channels <= 0) {
            const int n = std::max(1, codec_->ch_layout.nb_channels);
            av_channel_layout_uninit(&codec_->ch_layout);
            av_channel_layout_default(&codec_->ch_layout, n);
        }
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&swr_, &stereo, AV_SAMPLE_FMT_FLT, kRate, &codec_->ch_layout, codec_->sample_fmt,
                                codec_->sample_rate, 0, nullptr) < 0)
            return false;
        if (codec_->ch_layout.nb_channels == 1) {
            // Mono goes to both sides at its full level, as the wave player (and the original's
            // wave device) plays it; FFmpeg's own mix puts it 3 dB lower on each side.
            const double both[2] = {1.0, 1.0};
            if (swr_set_matrix(swr_, both, 1) < 0) return false;
        }
        if (swr_init(swr_) < 0) return false;
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        if (!packet_ || !frame_) return false;
        if (s.startFrame > 0) {
            skip_ = s.startFrame;
            const int64_t ts = av_rescale_q(s.startFrame, AVRational{1, kRate}, st->time_base);
            if (av_seek_frame(format_, stream_, ts, AVSEEK_FLAG_BACKWARD) >= 0) {
                avcodec_flush_buffers(codec_);
                skipFromPts_ = s.startFrame;  // the first frame's time tells how much to drop
            }
        }
        return true;
    }

    size_t read(float* out, size_t frames) override {
        size_t made = 0;
        while (made < frames) {
            if (pendingAt_ >= pending_.size()) {
                pending_.clear();
                pendingAt_ = 0;
                if (!decodeMore()) break;
                continue;
            }
            const size_t n = std::min((pending_.size() - pendingAt_) / 2, frames - made);
            std::memcpy(out + made * 2, pending_.data() + pendingAt_, n * 2 * sizeof(float));
            pendingAt_ += n * 2;
            made += n;
        }
        return made;
    }

private:
    void convert(const AVFrame* f) {
        if (skipFromPts_ >= 0 && f) {
            // After a seek: drop what lies before the wanted frame (the end of the file can
            // come first: nothing to drop then).
            const int64_t pts = f->best_effort_timestamp;
            skip_ = pts == AV_NOPTS_VALUE
                        ? 0
                        : std::max<int64_t>(0, skipFromPts_ - av_rescale_q(pts, format_->streams[stream_]->time_base,
                                                                          AVRational{1, kRate}));
            skipFromPts_ = -1;
        }
        const int room = swr_get_out_samples(swr_, f ? f->nb_samples : 0);
        if (room <= 0) return;
        const size_t base = pending_.size();
        pending_.resize(base + static_cast<size_t>(room) * 2);
        auto* dst = reinterpret_cast<uint8_t*>(pending_.data() + base);
        const int got = f ? swr_convert(swr_, &dst, room, const_cast<const uint8_t**>(f->extended_data), f->nb_samples)
                          : swr_convert(swr_, &dst, room, nullptr, 0);
        pending_.resize(base + static_cast<size_t>(std::max(got, 0)) * 2);
        if (skip_ > 0) {
            const size_t drop = std::min<size_t>(static_cast<size_t>(skip_), (pending_.size() - base) / 2);
            pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(base),
                           pending_.begin() + static_cast<std::ptrdiff_t>(base + drop * 2));
            skip_ -= static_cast<int64_t>(drop);
        }
    }

    // Decodes until some frames are pending; false at the end of the stream.
    bool decodeMore() {
        // Junk read on and on without a frame ends the sound as a damaged file's end does.
        input_.guard().limit(kStepReadLimit);
        for (int guard = 0; guard < 100000; ++guard) {
            if (flushed_) return false;
            const int r = avcodec_receive_frame(codec_, frame_);
            if (r == 0) {
                convert(frame_);
                av_frame_unref(frame_);
                if (pendingAt_ < pending_.size()) return true;
                continue;
            }
            if (r == AVERROR_EOF) {
                convert(nullptr);  // what the resampler still holds
                flushed_ = true;
                return pendingAt_ < pending_.size();
            }
            if (r != AVERROR(EAGAIN)) return false;
            if (sentEnd_) return false;
            if (av_read_frame(format_, packet_) < 0) {
                avcodec_send_packet(codec_, nullptr);
                sentEnd_ = true;
                continue;
            }
            if (packet_->stream_index == stream_) avcodec_send_packet(codec_, packet_);  // a bad packet is skipped
            av_packet_unref(packet_);
        }
        return false;
    }

    FfmpegInput input_;               // closed after the decoder's own parts
    AVFormatContext* format_ = nullptr;  // the input's
    AVCodecContext* codec_ = nullptr;
    SwrContext* swr_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int stream_ = -1;
    std::vector<float> pending_;
    size_t pendingAt_ = 0;
    int64_t skip_ = 0;
    int64_t skipFromPts_ = -1;
    bool sentEnd_ = false, flushed_ = false;
};

std::unique_ptr<Decoder> openDecoder(const Segment& s, std::function<bool()> stop) {
    if (s.raw && !s.memory) {
        auto d = std::make_unique<RawDecoder>();
        if (!d->open(s)) return nullptr;
        return d;
    }
    auto d = std::make_unique<FfmpegDecoder>(std::move(stop));
    if (!d->open(s)) return nullptr;
    return d;
}

class StreamSource final : public Source {
public:
    StreamSource(std::vector<Segment> segments, bool loop, std::function<bool()> stop)
        : segments_(std::move(segments)), loop_(loop), stop_(std::move(stop)) {
        chunks_ = std::make_unique<Chunk[]>(kChunks);
    }

    bool streaming() const override { return true; }
    void cancel() override { cancelled_ = true; }

    // Producer: decoder thread or the puller.
    void fill() override {
        while (!finished_) {
            const size_t w = write_.load(std::memory_order_relaxed);
            if (w - read_.load(std::memory_order_acquire) >= kChunks) return;
            Chunk& c = chunks_[w & (kChunks - 1)];
            c.frames = 0;
            c.end = false;
            while (c.frames == 0 && !c.end) produce(c);
            write_.store(w + 1, std::memory_order_release);
        }
    }

    // Consumer: the audio thread.
    size_t render(float* out, size_t frames) override {
        size_t made = 0;
        while (made < frames) {
            const size_t r = read_.load(std::memory_order_relaxed);
            if (r == write_.load(std::memory_order_acquire)) {
                // The decoder is late: silence now rather than waiting for it.
                std::memset(out + made * 2, 0, (frames - made) * 2 * sizeof(float));
                return frames;
            }
            const Chunk& c = chunks_[r & (kChunks - 1)];
            if (c.end) return made;  // end chunks carry no frames
            const size_t n = std::min(static_cast<size_t>(c.frames) - inChunk_, frames - made);
            std::memcpy(out + made * 2, c.data.data() + inChunk_ * 2, n * 2 * sizeof(float));
            made += n;
            inChunk_ += n;
            position_ = c.disc + static_cast<int64_t>(inChunk_);
            if (inChunk_ >= static_cast<size_t>(c.frames)) {
                inChunk_ = 0;
                read_.store(r + 1, std::memory_order_release);
                // The next frame is the first of the next chunk: where a loop has gone back to.
                if (r + 1 != write_.load(std::memory_order_acquire)) {
                    const Chunk& n = chunks_[(r + 1) & (kChunks - 1)];
                    if (n.frames > 0) position_ = n.disc;
                }
            }
        }
        return made;
    }
    int64_t position() const override { return position_; }

private:
    static constexpr size_t kChunkFrames = 1024;
    static constexpr size_t kChunks = 64;  // about a second and a half
    struct Chunk {
        std::array<float, kChunkFrames * 2> data;
        int32_t frames = 0;
        int64_t disc = 0;
        bool end = false;
    };

    bool stopped() const { return cancelled_.load() || (stop_ && stop_()); }

    // Fills part of a chunk from the current segment, moving on to the next where one ends.
    void produce(Chunk& c) {
        if (stopped()) {
            decoder_.reset();
            c.end = true;
            finished_ = true;
            return;
        }
        if (seg_ >= segments_.size()) {
            if (loop_ && passFrames_ > 0) {
                seg_ = 0;
                passFrames_ = 0;
            } else {
                c.end = true;
                finished_ = true;
                return;
            }
        }
        const Segment& s = segments_[seg_];
        if (!decoder_) {
            decoder_ = openDecoder(s, [this] { return stopped(); });
            inSeg_ = 0;
            if (!decoder_) {  // unreadable: the stretch is skipped
                ++seg_;
                return;
            }
        }
        size_t want = kChunkFrames;
        if (s.frames >= 0) want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(want), s.frames - inSeg_));
        const size_t got = want > 0 ? decoder_->read(c.data.data(), want) : 0;
        c.disc = s.discFrame + inSeg_;
        c.frames = static_cast<int32_t>(got);
        inSeg_ += static_cast<int64_t>(got);
        passFrames_ += static_cast<int64_t>(got);
        if (got < want || (s.frames >= 0 && inSeg_ >= s.frames)) {
            decoder_.reset();
            ++seg_;
        }
    }

    std::vector<Segment> segments_;
    bool loop_;
    std::function<bool()> stop_;
    std::atomic<bool> cancelled_{false};
    std::unique_ptr<Chunk[]> chunks_;
    std::atomic<size_t> write_{0}, read_{0};

    // Producer side.
    size_t seg_ = 0;
    std::unique_ptr<Decoder> decoder_;
    int64_t inSeg_ = 0;
    int64_t passFrames_ = 0;
    bool finished_ = false;

    // Consumer side.
    size_t inChunk_ = 0;
    int64_t position_ = 0;
};

}  // namespace

std::unique_ptr<Source> makeStreamSource(std::vector<Segment> segments, bool loop, std::function<bool()> stop) {
    return std::make_unique<StreamSource>(std::move(segments), loop, std::move(stop));
}

bool decodable(std::shared_ptr<const std::string> memory) {
    if (!memory || memory->empty()) return false;
    Segment s;
    s.memory = std::move(memory);
    FfmpegDecoder d;
    float probe[64 * 2];
    return d.open(s) && d.read(probe, 64) > 0;
}

int64_t probeFrames(const std::filesystem::path& file, bool raw, const std::function<bool()>& stop) {
    std::error_code ec;
    if (raw) {
        const auto size = std::filesystem::file_size(file, ec);
        return ec ? -1 : static_cast<int64_t>(size / 4);
    }
    if (!libs::load(libs::Group::Ffmpeg)) return -1;
    FfmpegInput input(stop);
    if (!input.open(file, nullptr)) return -1;
    AVFormatContext* f = input.format();
    int64_t frames = -1;
    if (avformat_find_stream_info(f, nullptr) >= 0 && !input.guard().overrun()) {
        const int s = av_find_best_stream(f, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (s >= 0 && f->streams[s]->duration != AV_NOPTS_VALUE && f->streams[s]->duration > 0)
            frames = av_rescale_q(f->streams[s]->duration, f->streams[s]->time_base, AVRational{1, kRate});
        else if (s >= 0 && f->duration != AV_NOPTS_VALUE && f->duration > 0)
            frames = av_rescale_q(f->duration, AVRational{1, AV_TIME_BASE}, AVRational{1, kRate});
    }
    return frames;
}

}  // namespace yv::audio
