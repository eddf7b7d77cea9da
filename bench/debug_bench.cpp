// What the debug windows cost the interpreter: statements per second with no window, with the
// variable monitor open (a window thread taking copies and formatting all 2021 rows every
// frame), with the screen preview open, and with the watch mode's trace. The monitor must stay
// under 5 % (compare the items_per_second of the first two).
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "script/debug_serve.h"
#include "script/interpreter.h"
#include "ui/debug_windows.h"

using namespace yv;

namespace {

constexpr int kStatementsPerRound = 10;
const char* kScript =
    "|top:\n@1 += 1;\n@2 = @1 * 3 + 7;\n#if(@1 > 0 && @2 != 5)\n{\n@3 = @2 - 1;\n}\n"
    "#gosub(\"sub\");\n#goto(\"next\");\n|next:\n#wait(1);\n#goto(\"top\");\n|sub:\n@4 += 1;\n#return();\n";

enum class Open { None, Monitor, Preview, Watch };

void run(benchmark::State& state, Open open) {
    const auto dir = std::filesystem::temp_directory_path() / "yv-debug-bench";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "script.txt", std::ios::binary) << kScript;
    HeadlessPlatform platform;
    Runtime rt(platform, dir);
    rt.resetForStart();
    rt.interp.scriptName = "script.txt";
    rt.interp.script = script::loadScript(rt, "script.txt");
    rt.interp.running = 1;
    rt.interp.stepsEnabled = 1;
    for (int n = 0; n < 7; ++n) {
        rt.screens.table[static_cast<size_t>(n)].allocate(640, 480);
        rt.screens.table[static_cast<size_t>(n)].changed = true;
    }
    ui::DebugWindows windows(rt.interp.debug, rt.interp.stepsPerSecond, {}, false);
    if (open == Open::Monitor || open == Open::Watch) windows.open(ui::DebugWindows::kMonitor, true);
    if (open == Open::Watch) windows.monitor.setMode(ui::MonitorMode::Watch);
    if (open == Open::Preview) windows.open(ui::DebugWindows::kPreview, true);

    // The window thread: a frame every 16 ms, every row of the list formatted.
    std::atomic<bool> stop{false};
    std::thread window([&] {
        uint32_t now = 0;
        size_t chars = 0;
        while (!stop) {
            windows.tick(now, {});
            if (windows.monitor.isOpen())
                for (size_t i = 0; i < windows.monitor.rowCount(); ++i) chars += windows.monitor.row(i).cells[1].size();
            now += 16;
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
        benchmark::DoNotOptimize(chars);
    });

    ManualClock& clock = platform.manualClock();
    for (auto _ : state) {
        script::step(rt);
        clock.advance(2);
        script::step(rt);
        clock.advance(2);
        // As the interpreter thread does after a step; its clock is the real one in a game.
        if (rt.interp.debug.active.load(std::memory_order_relaxed))
            script::debugAfterStep(rt, std::chrono::duration<double, std::milli>(
                                           std::chrono::steady_clock::now().time_since_epoch()).count());
    }
    stop = true;
    window.join();
    state.SetItemsProcessed(state.iterations() * kStatementsPerRound);
    std::filesystem::remove_all(dir);
}

void BM_Statements_NoDebugWindow(benchmark::State& s) { run(s, Open::None); }
void BM_Statements_MonitorOpen(benchmark::State& s) { run(s, Open::Monitor); }
void BM_Statements_PreviewOpen(benchmark::State& s) { run(s, Open::Preview); }
void BM_Statements_WatchTrace(benchmark::State& s) { run(s, Open::Watch); }

}  // namespace

BENCHMARK(BM_Statements_NoDebugWindow)->MinTime(2.0);
BENCHMARK(BM_Statements_MonitorOpen)->MinTime(2.0);
BENCHMARK(BM_Statements_PreviewOpen)->MinTime(2.0);
BENCHMARK(BM_Statements_WatchTrace)->MinTime(2.0);
BENCHMARK_MAIN();
