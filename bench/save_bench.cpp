// Save and Load of the demo's state at its choice: the file written (with its fsync and rename)
// and read back (reset, replay, picture), and the image decoding a load needs on its own.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "ui/config.h"
#include "io/ini.h"
#include "graphics/present.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "save/replay.h"
#include "save/save_game.h"
#include "script/interpreter.h"
#include "text/text_state.h"

#ifndef YV_SOURCE_DIR
#define YV_SOURCE_DIR "."
#endif

using namespace yv;
namespace fs = std::filesystem;

namespace {

// The demo played to its choice (message boxes answered, every click wait clicked).
struct Demo {
    fs::path dir;
    HeadlessPlatform platform;
    std::unique_ptr<Runtime> rt;

    Demo() {
        dir = fs::temp_directory_path() / "yv-save-bench";
        fs::remove_all(dir);
        fs::copy(fs::path(YV_SOURCE_DIR) / "examples" / "demo", dir, fs::copy_options::recursive);
        rt = std::make_unique<Runtime>(platform, dir);
        Runtime& r = *rt;
        r.resetForStart();
        if (auto ini = IniFile::load(dir / "start.ini")) r.config.read(*ini);
        r.interp.firstScript = r.config.script;
        text::configure(r);
        graphics::createScreens(r);
        r.interp.scriptName = r.config.script;
        r.interp.script = script::loadScript(r, r.config.script);
        r.interp.running = 1;
        r.interp.stepsEnabled = 1;
        for (int i = 0; i < 20000 && !r.choices.ready && r.interp.running; ++i) {
            r.interp.leftClick = 1;
            script::step(r);
            platform.manualClock().advance(30);
        }
    }
    ~Demo() { fs::remove_all(dir); }
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
