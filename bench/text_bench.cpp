// Drawing a 40-character line of message text instantly, glyphs already cached.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>

#include "core/cp932.h"
#include "graphics/present.h"
#include "pixels/pixel_ops.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "text/font.h"
#include "text/renderer.h"
#include "text/text_state.h"

using namespace yv;

namespace {

struct Scene {
    HeadlessPlatform p;
    Runtime rt{p, std::filesystem::temp_directory_path()};
    Bytes line;
    Scene() {
        rt.resetForStart();
        text::configure(rt);
        graphics::createScreens(rt);
        rt.text.items.resize(2);
        for (TextItem& it : rt.text.items) it.wait = it.savedWait = -1;
        rt.text.items[1].y = 100;
        line = utf8ToCp932("親譲りの無鉄砲で小供の時から損ばかりしている。小学校に居る時分学校の二階から飛び降り") +
               "\\u";
    }
    void drawLine() {
        rt.text.printing = true;
        text::render(rt, 0, line, 0, 100, rt.text.textType, Rgb{255, 255, 255});
    }
};

void BM_InstantLine(benchmark::State& state) {
    Scene s;
    s.rt.text.textType = static_cast<int32_t>(state.range(0));
    s.drawLine();  // fills the glyph cache
    for (auto _ : state) {
        s.drawLine();
        benchmark::DoNotOptimize(s.rt.screens.overlayImage.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(BM_InstantLine)->Arg(0)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_ComposeLineArea(benchmark::State& state) {
    Scene s;
    Screens& sc = s.rt.screens;
    for (auto _ : state) {
        pixels::compose(view(sc.table[0]), view(sc.overlayMask), view(sc.overlayImage), 0, 100, 40 * 24, 24);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeLineArea)->Unit(benchmark::kMicrosecond);

// memcpy of the bytes the compose writes (a 640-wide screen clips the line area to 640 x 24),
// the yardstick the other figures are read against.
void BM_MemcpyLineArea(benchmark::State& state) {
    Scene s;
    Screens& sc = s.rt.screens;
    const size_t n = static_cast<size_t>(sc.table[0].width) * 24 * 3;
    for (auto _ : state) {
        std::memcpy(sc.table[0].row(123), sc.table[1].row(123), n);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyLineArea)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
