// Save and Load of the demo's state at its choice: the file written (with its fsync and rename)
// and read back (reset, replay, picture), and the image decoding a load needs on its own.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "demo_game.h"
#include "graphics/present.h"
#include "runtime.h"
#include "save/replay.h"
#include "save/save_game.h"
#include "text/text_state.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// The demo played to its choice (message boxes answered, every click wait clicked).
struct Demo : bench::DemoGame {
    Demo() : DemoGame("yv-save-bench") { playUntil([](const Runtime& r) { return r.choices.ready != 0; }, true); }
};

Demo& demo() {
    static Demo d;
    return d;
}

void BM_Save(benchmark::State& state) {
    Demo& d = demo();
    const fs::path file = d.dir / "flag0.sav";
    for (auto _ : state) save::saveGame(*d.rt, file, "flag0.sav");
    state.counters["file_bytes"] = static_cast<double>(fs::file_size(file));
    state.counters["at_choice"] = d.rt->choices.ready ? 1 : 0;
}

void BM_SaveWithoutDisk(benchmark::State& state) {
    Demo& d = demo();
    for (auto _ : state) benchmark::DoNotOptimize(save::buildSaveFile(*d.rt));
}

void BM_Load(benchmark::State& state) {
    Demo& d = demo();
    const fs::path file = d.dir / "flag1.sav";
    save::saveGame(*d.rt, file, "flag1.sav");
    for (auto _ : state) save::loadGame(*d.rt, file, "flag1.sav");
}

// The pictures the demo's save names, decoded once each as a load does.
void BM_LoadImagesOnly(benchmark::State& state) {
    Demo& d = demo();
    for (auto _ : state) {
        save::runCommandText(*d.rt, "loadimage", "( 2, \"sky.png\", -1 );");
        save::runCommandText(*d.rt, "loadimage", "( 3, \"lantern.bmp\", -1 );");
        save::runCommandText(*d.rt, "loadimage", "( 4, \"glow.png\", 5 );");
    }
}

}  // namespace

BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWithoutDisk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadImagesOnly)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
