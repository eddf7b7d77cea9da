// --check on a large game: 1 MB of script (commands, strings, labels, jumps, message text) must
// be read in well under a second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "check/game_check.h"
#include "core/cp932.h"

namespace {

std::filesystem::path makeGame(size_t targetBytes) {
    const auto dir = std::filesystem::temp_directory_path() / ("yv-check-bench-" + std::to_string(targetBytes));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "start.ini", std::ios::binary) << "[Script]\r\nScript=script.txt\r\n";
    std::ofstream(dir / "sky.png", std::ios::binary) << "\x89PNG\r\n\x1a\n";
    const std::string text = yv::utf8ToCp932("「こんにちは」と彼女は言った。");
    std::string s;
    int i = 0;
    while (s.size() < targetBytes) {
        const std::string n = std::to_string(i);
        s += "|scene" + n + ":\n// scene " + n + "\n#loadimage(2, \"sky.png\");\n#bitblt(1, 0, 0, 640, 480, 2, 0, 0);\n";
        s += "@A = \"" + text + "\";\n#printtext(0);\n@1 = @1 + " + n + ";\n#if(@1 > 5)\n{\n\t#goto(\"scene" + n + "\");\n}\n";
        s += "#settitle(\"" + text + "\");\n#wait(100);\n";
        ++i;
    }
    s += "#end();\n";
    std::ofstream(dir / "script.txt", std::ios::binary) << s;
    return dir;
}

void BM_Check_1MB(benchmark::State& state) {
    const size_t bytes = 1 << 20;
    const auto dir = makeGame(bytes);
    size_t findings = 0;
    for (auto _ : state) {
        auto f = yv::check::checkGame(dir);
        findings = f ? f->size() : 0;
        benchmark::DoNotOptimize(f);
    }
    if (findings != 0) state.SkipWithError("the generated game should be clean");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_Check_1MB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
