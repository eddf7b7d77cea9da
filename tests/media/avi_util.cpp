// AVI writing through libavformat with the MS Video 1 or Cinepak encoder and PCM sound.
#include "media/avi_util.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <array>
#include <cmath>

namespace yv::testvideo {

Colour frameColour(int k) {
    static constexpr std::array<Colour, 12> kColours = {{{255, 0, 0},     {0, 255, 0},     {0, 0, 255},
                                                      {255, 255, 0},   {255, 0, 255},   {0, 255, 255},
                                                      {255, 255, 255}, {132, 0, 0},     {0, 132, 0},
                                                      {0, 0, 132},     {132, 132, 255}, {255, 132, 0}}};
    return kColours[static_cast<size_t>(k % 12)];
}

namespace {

struct Writer {
    AVFormatContext* out = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* sound = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* soundStream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    std::string why;

    ~Writer() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&video);
        avcodec_free_context(&sound);
        if (out) {
            if (out->pb) avio_closep(&out->pb);
            avformat_free_context(out);
        }
    }

    bool fail(const std::string& w) {
        why = w;
        return false;
    }

    // Sends a frame (nullptr: the end) and writes the packets that come out.
    bool encode(AVCodecContext* c, AVStream* st, const AVFrame* f) {
        if (avcodec_send_frame(c, f) < 0) return fail("send_frame");
        for (;;) {
            const int r = avcodec_receive_packet(c, packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
            if (r < 0) return fail("receive_packet");
            av_packet_rescale_ts(packet, c->time_base, st->time_base);
            packet->stream_index = st->index;
            if (av_interleaved_write_frame(out, packet) < 0) return fail("write_frame");
        }
    }

    bool openVideo(const Movie& m) {
        const AVCodec* enc = avcodec_find_encoder_by_name(m.codec.c_str());
        if (!enc) return fail("no encoder " + m.codec);
        videoStream = avformat_new_stream(out, nullptr);
        video = avcodec_alloc_context3(enc);
        if (!videoStream || !video) return fail("alloc video");
        video->width = m.width;
        video->height = m.height;
        video->time_base = AVRational{1, m.fps};
        video->framerate = AVRational{m.fps, 1};
        video->pix_fmt = m.codec == "msvideo1" ? AV_PIX_FMT_RGB555LE
                         : m.codec == "mjpeg"  ? AV_PIX_FMT_YUVJ420P
                         : m.codec == "mpeg4"  ? AV_PIX_FMT_YUV420P
                                               : AV_PIX_FMT_RGB24;
        video->gop_size = 5;
        if (avcodec_open2(video, enc, nullptr) < 0) return fail("open " + m.codec);
        videoStream->time_base = video->time_base;
        return avcodec_parameters_from_context(videoStream->codecpar, video) >= 0 || fail("video parameters");
    }

    bool openSound(const Movie& m) {
        const AVCodec* enc = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
        soundStream = avformat_new_stream(out, nullptr);
        sound = enc ? avcodec_alloc_context3(enc) : nullptr;
        if (!soundStream || !sound) return fail("alloc sound");
        sound->sample_rate = m.toneRate;
        sound->sample_fmt = AV_SAMPLE_FMT_S16;
        AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
        av_channel_layout_copy(&sound->ch_layout, &mono);
        sound->time_base = AVRational{1, m.toneRate};
        if (avcodec_open2(sound, enc, nullptr) < 0) return fail("open pcm");
        soundStream->time_base = sound->time_base;
        return avcodec_parameters_from_context(soundStream->codecpar, sound) >= 0 || fail("sound parameters");
    }

    bool videoFrame(const Movie& m, int k) {
        av_frame_unref(frame);
        frame->format = video->pix_fmt;
        frame->width = m.width;
        frame->height = m.height;
        if (av_frame_get_buffer(frame, 0) < 0) return fail("frame buffer");
        const Colour flat = frameColour(m.firstColour + k);
        for (int y = 0; y < m.height; ++y) {
            uint8_t* row = frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0];
            for (int x = 0; x < m.width; ++x) {
                Colour c = flat;
                if (m.textured)
                    c = Colour{static_cast<uint8_t>(x + k * 7), static_cast<uint8_t>(y * 2 + x / 3),
                            static_cast<uint8_t>(((x / 16 + y / 16 + k) & 1) ? 200 : 40)};
                if (video->pix_fmt == AV_PIX_FMT_YUV420P || video->pix_fmt == AV_PIX_FMT_YUVJ420P) {
                    // BT.601 (full range for JPEG's planes, close enough for a test picture).
                    const int Y = (66 * c.r + 129 * c.g + 25 * c.b + 128) / 256 + 16;
                    row[x] = static_cast<uint8_t>(Y);
                    if ((x & 1) == 0 && (y & 1) == 0) {
                        const int U = (-38 * c.r - 74 * c.g + 112 * c.b + 128) / 256 + 128;
                        const int V = (112 * c.r - 94 * c.g - 18 * c.b + 128) / 256 + 128;
                        frame->data[1][(y / 2) * frame->linesize[1] + x / 2] = static_cast<uint8_t>(U);
                        frame->data[2][(y / 2) * frame->linesize[2] + x / 2] = static_cast<uint8_t>(V);
                    }
                } else if (video->pix_fmt == AV_PIX_FMT_RGB555LE) {
                    const uint16_t v = static_cast<uint16_t>(((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3));
                    row[x * 2] = static_cast<uint8_t>(v & 0xFF);
                    row[x * 2 + 1] = static_cast<uint8_t>(v >> 8);
                } else {
                    row[x * 3] = c.r;
                    row[x * 3 + 1] = c.g;
                    row[x * 3 + 2] = c.b;
                }
            }
        }
        frame->pts = k;
        return encode(video, videoStream, frame);
    }

    bool soundFrames(const Movie& m) {
        const double seconds = m.toneSeconds >= 0 ? m.toneSeconds : static_cast<double>(m.frames) / m.fps;
        const int64_t total = static_cast<int64_t>(seconds * m.toneRate);
        constexpr int kChunk = 1024;
        for (int64_t at = 0; at < total; at += kChunk) {
            av_frame_unref(frame);
            frame->format = AV_SAMPLE_FMT_S16;
            frame->sample_rate = m.toneRate;
            AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
            av_channel_layout_copy(&frame->ch_layout, &mono);
            frame->nb_samples = static_cast<int>(std::min<int64_t>(kChunk, total - at));
            if (av_frame_get_buffer(frame, 0) < 0) return fail("sound buffer");
            auto* s = reinterpret_cast<int16_t*>(frame->data[0]);
            for (int i = 0; i < frame->nb_samples; ++i)
                s[i] = static_cast<int16_t>(16384 * std::sin(2 * M_PI * m.toneHz * static_cast<double>(at + i) / m.toneRate));
            frame->pts = at;
            if (!encode(sound, soundStream, frame)) return false;
        }
        return true;
    }
};

}  // namespace

bool writeAvi(const std::filesystem::path& file, const Movie& m, std::string* why) {
    Writer w;
    auto done = [&](bool ok) {
        if (why) *why = w.why;
        return ok;
    };
    av_log_set_level(AV_LOG_FATAL);
    if (avformat_alloc_output_context2(&w.out, nullptr, "avi", file.c_str()) < 0 || !w.out)
        return done(w.fail("avi muxer"));
    w.frame = av_frame_alloc();
    w.packet = av_packet_alloc();
    if (!w.frame || !w.packet) return done(w.fail("alloc"));
    if (m.video && !w.openVideo(m)) return done(false);
    if (m.toneHz > 0 && !w.openSound(m)) return done(false);
    if (avio_open(&w.out->pb, file.c_str(), AVIO_FLAG_WRITE) < 0) return done(w.fail("avio_open"));
    if (avformat_write_header(w.out, nullptr) < 0) return done(w.fail("header"));
    if (m.toneHz > 0 && !w.soundFrames(m)) return done(false);
    if (m.video) {
        for (int k = 0; k < m.frames; ++k)
            if (!w.videoFrame(m, k)) return done(false);
        if (!w.encode(w.video, w.videoStream, nullptr)) return done(false);
    }
    if (m.toneHz > 0 && !w.encode(w.sound, w.soundStream, nullptr)) return done(false);
    if (av_write_trailer(w.out) < 0) return done(w.fail("trailer"));
    return done(true);
}

}  // namespace yv::testvideo
