// Cost of one 640 x 480 movie frame as playavi shows it: decoding (MS Video 1 or Cinepak),
// converting to the window's 24-bit picture and laying it on the window. items_per_second is
// the frames per second one core can show; compare with the stream's 15.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "graphics/present.h"
#include "media/avi_util.h"
#include "platform/headless/headless_platform.h"
#include "platform/video/video_decoder.h"

using namespace yv;

namespace {

std::filesystem::path movie(const std::string& codec) {
    const auto file = std::filesystem::temp_directory_path() / ("yv_bench_" + codec + ".avi");
    testvideo::Movie m;
    m.width = 640;
    m.height = 480;
    m.fps = 15;
    m.frames = 30;
    m.codec = codec;
    m.textured = true;
    if (!std::filesystem::exists(file) && !testvideo::writeAvi(file, m)) std::fprintf(stderr, "cannot write %s\n", file.c_str());
    return file;
}

void frame(benchmark::State& state, const std::string& codec) {
    const auto file = movie(codec);
    HeadlessPlatform platform;
    std::vector<uint8_t> black(640 * 480 * 3, 0), picture;
    platform.present(FrameView{black.data(), 640, 480}, Rect{0, 0, 640, 480});
    video::Decoder::Opened why;
    auto d = video::Decoder::open(file, why);
    int64_t k = 0;
    const Rect at[1] = {Rect{0, 0, 640, 480}};
    for (auto _ : state) {
        if (!d || (d->ended() && d->heldIndex() < k)) {  // start over at the end
            d = video::Decoder::open(file, why);
            k = 0;
            if (!d) {
                state.SkipWithError("cannot open the movie");
                return;
            }
        }
        d->advanceTo(k++);
        d->convert(640, 480, picture);
        platform.showVideo(FrameView{picture.data(), 640, 480}, at);
    }
    state.SetItemsProcessed(state.iterations());
}

// The conversion alone, of one frame decoded once: what a movie costs beyond its codec.
void convertOnly(benchmark::State& state, const std::string& codec, int w = 640, int h = 480) {
    video::Decoder::Opened why;
    auto d = video::Decoder::open(movie(codec), why);
    if (!d || !d->advanceTo(1)) {
        state.SkipWithError("cannot open the movie");
        return;
    }
    std::vector<uint8_t> picture;
    for (auto _ : state) {
        d->convert(w, h, picture);
        benchmark::DoNotOptimize(picture.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FrameMsVideo1(benchmark::State& state) { frame(state, "msvideo1"); }
void BM_FrameCinepak(benchmark::State& state) { frame(state, "cinepak"); }
void BM_FrameMpeg4(benchmark::State& state) { frame(state, "mpeg4"); }
void BM_ConvertMpeg4(benchmark::State& state) { convertOnly(state, "mpeg4"); }
void BM_ConvertCinepak(benchmark::State& state) { convertOnly(state, "cinepak"); }
void BM_ConvertMjpeg(benchmark::State& state) { convertOnly(state, "mjpeg"); }
// Shown in a rectangle of another size: scaled as it is converted.
void BM_ConvertMpeg4Scaled(benchmark::State& state) { convertOnly(state, "mpeg4", 800, 600); }
BENCHMARK(BM_FrameMsVideo1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameCinepak)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameMpeg4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertMpeg4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertCinepak)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertMjpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertMpeg4Scaled)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
