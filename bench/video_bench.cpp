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

void BM_FrameMsVideo1(benchmark::State& state) { frame(state, "msvideo1"); }
void BM_FrameCinepak(benchmark::State& state) { frame(state, "cinepak"); }
BENCHMARK(BM_FrameMsVideo1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameCinepak)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
