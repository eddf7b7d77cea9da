// A kept page at a click wait of a 640 x 480 game (the save file built and LZ4-compressed) beside
// its peers, and the memory 100 kept pages take for pictures of several kinds.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

#include "demo_game.h"
#include "graphics/present.h"
#include "runtime.h"
#include "save/pages.h"
#include "save/save_game.h"
#include "text/text_state.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// The demo (640 x 480: a night sky, a lantern, a message) played to its first page's click wait.
struct Demo : bench::DemoGame {
    Demo() : DemoGame("yv-pages-bench") { playUntil([](const Runtime& r) { return r.text.pageWaits != 0; }, false); }
};

Demo& demo() {
    static Demo d;
    return d;
}

// What Pages::keep is given for a 640 x 480 game: the picture and some state text.
enum class Kind { Demo, Gradient, Dithered, Noise };
Bytes page(Kind kind, int n) {
    if (kind == Kind::Demo) return save::buildSaveFile(*demo().rt);
    Bytes b(640 * 480 * 3 + 2000, '\0');
    std::mt19937 rng(static_cast<uint32_t>(n));
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            auto* p = reinterpret_cast<uint8_t*>(b.data()) + (static_cast<size_t>(y) * 640 + x) * 3;
            if (kind == Kind::Noise) {
                p[0] = static_cast<uint8_t>(rng()), p[1] = static_cast<uint8_t>(rng()), p[2] = static_cast<uint8_t>(rng());
                continue;
            }
            // A sky of gradients; dithered art adds a little grain, as scanned or painted
            // backgrounds have; rows of glyph-like strokes where the message is.
            const int grain = kind == Kind::Dithered ? static_cast<int>(rng() % 5) - 2 : 0;
            p[0] = static_cast<uint8_t>(x / 3 + n + grain);
            p[1] = static_cast<uint8_t>(y / 2 + grain);
            p[2] = static_cast<uint8_t>((x + y) / 5 + grain);
            if (y >= 330 && y < 450 && y % 30 < 22 && (x * 7 + y * 3 + n) % 11 < 3) p[0] = p[1] = p[2] = 255;
        }
    return b;
}

void BM_NotePage(benchmark::State& state) {
    Runtime& rt = *demo().rt;
    for (auto _ : state) save::notePage(rt);
    state.counters["kept_bytes"] = static_cast<double>(rt.save.pages.storedBytes()) / rt.save.pages.count();
}

void BM_BuildSaveFileOnly(benchmark::State& state) {
    Runtime& rt = *demo().rt;
    Bytes log = rt.save.log.text;
    for (auto _ : state) benchmark::DoNotOptimize(save::buildSaveFile(rt));
    rt.save.log.text = log;
}

void BM_CopyPictureOnly(benchmark::State& state) {
    const auto& px = demo().rt->screens.table[1].pixels;
    std::vector<uint8_t> copy(px.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), px.data(), px.size());
        benchmark::ClobberMemory();
    }
}

void BM_RestorePage(benchmark::State& state) {
    Runtime& rt = *demo().rt;
    save::notePage(rt);
    const Bytes file = *rt.save.pages.newest();
    for (auto _ : state) save::resetAndRestore(rt, file);
}

// 100 pages kept (and one more, the page shown); the counters say what they hold.
void BM_HundredPages(benchmark::State& state) {
    const auto kind = static_cast<Kind>(state.range(0));
    std::vector<Bytes> files;
    for (int i = 0; i < 101; ++i) files.push_back(page(kind, i));
    Pages pages;
    for (auto _ : state) {
        pages.clear();
        for (const Bytes& f : files) pages.keep(f);
    }
    state.counters["pages"] = static_cast<double>(pages.count());
    state.counters["MiB"] = static_cast<double>(pages.storedBytes()) / (1 << 20);
    state.counters["ratio"] = static_cast<double>(files[0].size()) * pages.count() / pages.storedBytes();
    static const char* names[] = {"demo", "gradient+text", "dithered+text", "noise"};
    state.SetLabel(names[state.range(0)]);
}

}  // namespace

BENCHMARK(BM_NotePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildSaveFileOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyPictureOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestorePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HundredPages)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
