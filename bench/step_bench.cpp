// Cost of a statement in the step loop (pacing off) on a 1 KB and a 1 MB script: it must not
// grow with the length of the script.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "core/cp932.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "script/interpreter.h"

using namespace yv;

namespace {

// Ten statements a round: assignments, an if with a block, a call and its return, two jumps and
// a wait that ends the step.
constexpr int kStatementsPerRound = 10;

std::string makeScript(size_t targetBytes) {
    std::string s =
        "|top:\n@1 += 1;\n@2 = @1 * 3 + 7;\n#if(@1 > 0 && @2 != 5)\n{\n@3 = @2 - 1;\n}\n"
        "#gosub(\"sub\");\n#goto(\"next\");\n|next:\n#wait(1);\n#goto(\"top\");\n";
    // Padding that a scanner working on copies of the rest of the text would pay for: labels,
    // statements and comments after the loop.
    int i = 0;
    while (s.size() + 64 < targetBytes) {
        s += "|pad" + std::to_string(i) + ":\n@5 = " + std::to_string(i) + ";\n// filler line\n";
        ++i;
    }
    s += "|sub:\n@4 += 1;\n#return();\n";
    return s;
}

void runRounds(benchmark::State& state, size_t bytes) {
    const auto dir = std::filesystem::temp_directory_path() / ("yv-bench-" + std::to_string(bytes));
    std::filesystem::create_directories(dir);
    const std::string script = makeScript(bytes);
    std::ofstream(dir / "script.txt", std::ios::binary) << script;

    HeadlessPlatform platform;
    Runtime rt(platform, dir);
    rt.resetForStart();
    rt.interp.scriptName = "script.txt";
    rt.interp.script = script::loadScript(rt, "script.txt");
    rt.interp.running = 1;
    rt.interp.stepsEnabled = 1;
    ManualClock& clock = platform.manualClock();
    for (auto _ : state) {
        // One round a step: the wait of the round before has passed, and the step runs on until
        // this round's wait first looks at the clock.
        script::step(rt);
        clock.advance(2);
    }
    // The script counts its rounds in @1: a step that ran more or fewer than one would make the
    // figure per statement wrong.
    if (rt.interp.ivar[1] != static_cast<int32_t>(state.iterations()))
        state.SkipWithError("the loop did not run one round a step");
    state.SetItemsProcessed(state.iterations() * kStatementsPerRound);
    state.counters["script_bytes"] = static_cast<double>(script.size());
    state.counters["ns_per_statement"] = benchmark::Counter(
        static_cast<double>(state.iterations() * kStatementsPerRound),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    std::filesystem::remove_all(dir);
}

void BM_Step_1KB(benchmark::State& state) { runRounds(state, 1024); }
void BM_Step_1MB(benchmark::State& state) { runRounds(state, 1024 * 1024); }

}  // namespace

BENCHMARK(BM_Step_1KB);
BENCHMARK(BM_Step_1MB);
BENCHMARK_MAIN();
