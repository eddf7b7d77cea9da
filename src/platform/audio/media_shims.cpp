// The FFmpeg and FluidSynth functions the player calls, each forwarding to the library opened on
// first use (media_libs.cpp). The compiler holds every line to the library's own declaration.
#include <cstdint>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}
#include <fluidsynth.h>

#include "platform/audio/media_libs.h"

using yv::audio::libs::Group;

#define YV_SHIM(group, ret, name, params, args)                                                              \
    extern "C" ret name params {                                                                             \
        static const auto real = reinterpret_cast<decltype(&name)>(yv::audio::libs::symbol(Group::group, #name)); \
        return real args;                                                                                    \
    }

YV_SHIM(Ffmpeg, void, av_channel_layout_default, (AVChannelLayout* a0, int a1), (a0, a1))
YV_SHIM(Ffmpeg, void, av_channel_layout_uninit, (AVChannelLayout* a0), (a0))
YV_SHIM(Ffmpeg, void, av_dict_free, (AVDictionary** a0), (a0))
YV_SHIM(Ffmpeg, int, av_dict_set, (AVDictionary** a0, const char* a1, const char* a2, int a3), (a0, a1, a2, a3))
YV_SHIM(Ffmpeg, int, av_find_best_stream, (AVFormatContext* a0, AVMediaType a1, int a2, int a3, const AVCodec** a4, int a5), (a0, a1, a2, a3, a4, a5))
YV_SHIM(Ffmpeg, AVFrame*, av_frame_alloc, (), ())
YV_SHIM(Ffmpeg, void, av_frame_free, (AVFrame** a0), (a0))
YV_SHIM(Ffmpeg, void, av_frame_unref, (AVFrame* a0), (a0))
YV_SHIM(Ffmpeg, void, av_free, (void* a0), (a0))
YV_SHIM(Ffmpeg, void, av_freep, (void* a0), (a0))
YV_SHIM(Ffmpeg, void, av_log_set_level, (int a0), (a0))
YV_SHIM(Ffmpeg, void*, av_malloc, (size_t a0), (a0))
YV_SHIM(Ffmpeg, AVPacket*, av_packet_alloc, (), ())
YV_SHIM(Ffmpeg, void, av_packet_free, (AVPacket** a0), (a0))
YV_SHIM(Ffmpeg, void, av_packet_unref, (AVPacket* a0), (a0))
YV_SHIM(Ffmpeg, int, av_read_frame, (AVFormatContext* a0, AVPacket* a1), (a0, a1))
YV_SHIM(Ffmpeg, int64_t, av_rescale_q, (int64_t a0, AVRational a1, AVRational a2), (a0, a1, a2))
YV_SHIM(Ffmpeg, int, av_seek_frame, (AVFormatContext* a0, int a1, int64_t a2, int a3), (a0, a1, a2, a3))
YV_SHIM(Ffmpeg, AVCodecContext*, avcodec_alloc_context3, (const AVCodec* a0), (a0))
YV_SHIM(Ffmpeg, const AVCodecDescriptor*, avcodec_descriptor_get, (AVCodecID a0), (a0))
YV_SHIM(Ffmpeg, const AVCodec*, avcodec_find_decoder, (AVCodecID a0), (a0))
YV_SHIM(Ffmpeg, void, avcodec_flush_buffers, (AVCodecContext* a0), (a0))
YV_SHIM(Ffmpeg, void, avcodec_free_context, (AVCodecContext** a0), (a0))
YV_SHIM(Ffmpeg, int, avcodec_open2, (AVCodecContext* a0, const AVCodec* a1, AVDictionary** a2), (a0, a1, a2))
YV_SHIM(Ffmpeg, int, avcodec_parameters_to_context, (AVCodecContext* a0, const AVCodecParameters* a1), (a0, a1))
YV_SHIM(Ffmpeg, int, avcodec_receive_frame, (AVCodecContext* a0, AVFrame* a1), (a0, a1))
YV_SHIM(Ffmpeg, int, avcodec_send_packet, (AVCodecContext* a0, const AVPacket* a1), (a0, a1))
YV_SHIM(Ffmpeg, AVFormatContext*, avformat_alloc_context, (), ())
YV_SHIM(Ffmpeg, void, avformat_close_input, (AVFormatContext** a0), (a0))
YV_SHIM(Ffmpeg, int, avformat_find_stream_info, (AVFormatContext* a0, AVDictionary** a1), (a0, a1))
YV_SHIM(Ffmpeg, int, avformat_open_input, (AVFormatContext** a0, const char* a1, const AVInputFormat* a2, AVDictionary** a3), (a0, a1, a2, a3))
YV_SHIM(Ffmpeg, AVIOContext*, avio_alloc_context, (unsigned char* a0, int a1, int a2, void* a3, int (*a4)(void*, unsigned char*, int), int (*a5)(void*, unsigned char*, int), int64_t (*a6)(void*, int64_t, int)), (a0, a1, a2, a3, a4, a5, a6))
YV_SHIM(Ffmpeg, void, avio_context_free, (AVIOContext** a0), (a0))
YV_SHIM(FluidSynth, void, delete_fluid_settings, (fluid_settings_t* a0), (a0))
YV_SHIM(FluidSynth, void, delete_fluid_synth, (fluid_synth_t* a0), (a0))
YV_SHIM(FluidSynth, fluid_log_function_t, fluid_set_log_function, (int a0, fluid_log_function_t a1, void* a2), (a0, a1, a2))
YV_SHIM(FluidSynth, int, fluid_settings_setint, (fluid_settings_t* a0, const char* a1, int a2), (a0, a1, a2))
YV_SHIM(FluidSynth, int, fluid_settings_setnum, (fluid_settings_t* a0, const char* a1, double a2), (a0, a1, a2))
YV_SHIM(FluidSynth, int, fluid_synth_cc, (fluid_synth_t* a0, int a1, int a2, int a3), (a0, a1, a2, a3))
YV_SHIM(FluidSynth, int, fluid_synth_channel_pressure, (fluid_synth_t* a0, int a1, int a2), (a0, a1, a2))
YV_SHIM(FluidSynth, int, fluid_synth_key_pressure, (fluid_synth_t* a0, int a1, int a2, int a3), (a0, a1, a2, a3))
YV_SHIM(FluidSynth, int, fluid_synth_noteoff, (fluid_synth_t* a0, int a1, int a2), (a0, a1, a2))
YV_SHIM(FluidSynth, int, fluid_synth_noteon, (fluid_synth_t* a0, int a1, int a2, int a3), (a0, a1, a2, a3))
YV_SHIM(FluidSynth, int, fluid_synth_pitch_bend, (fluid_synth_t* a0, int a1, int a2), (a0, a1, a2))
YV_SHIM(FluidSynth, int, fluid_synth_program_change, (fluid_synth_t* a0, int a1, int a2), (a0, a1, a2))
YV_SHIM(FluidSynth, int, fluid_synth_sfload, (fluid_synth_t* a0, const char* a1, int a2), (a0, a1, a2))
YV_SHIM(FluidSynth, int, fluid_synth_sysex, (fluid_synth_t* a0, const char* a1, int a2, char* a3, int* a4, int* a5, int a6), (a0, a1, a2, a3, a4, a5, a6))
YV_SHIM(FluidSynth, int, fluid_synth_system_reset, (fluid_synth_t* a0), (a0))
YV_SHIM(FluidSynth, int, fluid_synth_write_float, (fluid_synth_t* a0, int a1, void* a2, int a3, int a4, void* a5, int a6, int a7), (a0, a1, a2, a3, a4, a5, a6, a7))
YV_SHIM(FluidSynth, fluid_settings_t*, new_fluid_settings, (), ())
YV_SHIM(FluidSynth, fluid_synth_t*, new_fluid_synth, (fluid_settings_t* a0), (a0))
YV_SHIM(Ffmpeg, int, swr_alloc_set_opts2, (SwrContext** a0, AVChannelLayout* a1, AVSampleFormat a2, int a3, AVChannelLayout* a4, AVSampleFormat a5, int a6, int a7, void* a8), (a0, a1, a2, a3, a4, a5, a6, a7, a8))
YV_SHIM(Ffmpeg, int, swr_convert, (SwrContext* a0, unsigned char** a1, int a2, const unsigned char** a3, int a4), (a0, a1, a2, a3, a4))
YV_SHIM(Ffmpeg, void, swr_free, (SwrContext** a0), (a0))
YV_SHIM(Ffmpeg, int, swr_get_out_samples, (SwrContext* a0, int a1), (a0, a1))
YV_SHIM(Ffmpeg, int, swr_init, (SwrContext* a0), (a0))
YV_SHIM(Ffmpeg, int, swr_set_matrix, (SwrContext* a0, const double* a1, int a2), (a0, a1, a2))
YV_SHIM(Ffmpeg, void, sws_freeContext, (SwsContext* a0), (a0))
YV_SHIM(Ffmpeg, SwsContext*, sws_getCachedContext, (SwsContext* a0, int a1, int a2, AVPixelFormat a3, int a4, int a5, AVPixelFormat a6, int a7, SwsFilter* a8, SwsFilter* a9, const double* a10), (a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10))
YV_SHIM(Ffmpeg, int, sws_isSupportedOutput, (AVPixelFormat a0), (a0))
YV_SHIM(Ffmpeg, int, sws_scale, (SwsContext* a0, const unsigned char* const* a1, const int* a2, int a3, int a4, unsigned char* const* a5, const int* a6), (a0, a1, a2, a3, a4, a5, a6))
