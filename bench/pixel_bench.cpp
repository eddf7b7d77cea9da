// Speed of the pixel loops on a 640 x 480 frame, each beside memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "graphics/screens.h"
#include "pixels/pixel_ops.h"

using namespace yv;

namespace {

constexpr int kW = 640, kH = 480;

Screen randomScreen(uint32_t seed) {
    std::mt19937 rng(seed);
    Screen s;
    s.allocate(kW, kH);
    for (auto& v : s.pixels) v = static_cast<uint8_t>(rng());
    return s;
}

struct Frames {
    Screen a = randomScreen(1), b = randomScreen(2), mask = randomScreen(3);
    Frames() {
        // A sprite-like mask: runs of transparent, opaque and blended pixels.
        for (size_t i = 0; i < mask.pixels.size(); i += 3) {
            const size_t p = i / 3;
            const uint8_t m = (p / 64) % 3 == 0 ? 0 : (p / 64) % 3 == 1 ? 255 : static_cast<uint8_t>(p);
            mask.pixels[i] = mask.pixels[i + 1] = mask.pixels[i + 2] = m;
        }
        // The colour key copy skips about a quarter of the pixels.
        for (size_t i = 0; i < b.pixels.size(); i += 12) std::memcpy(&b.pixels[i], &b.pixels[3 * (kW * (kH - 1))], 3);
    }
};

Frames& frames() {
    static Frames f;
    return f;
}

void done(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kW * kH);  // pixels
    state.SetBytesProcessed(state.iterations() * kW * kH * 3);
}

void BM_Memcpy(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        std::memcpy(f.a.pixels.data(), f.b.pixels.data(), f.a.pixels.size());
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_Memcpy);

void BM_PlainCopy(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        pixels::copyRect(view(f.a), 0, 0, kW, kH, view(f.b), 0, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_PlainCopy);

void BM_ContrastCopy(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        pixels::copyRect(view(f.a), 0, 0, kW, kH, view(f.b), 0, 0, 0, 40);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_ContrastCopy);

void BM_ColourKeyCopy(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        pixels::copyRect(view(f.a), 0, 0, kW, kH, view(f.b), 0, 0, 1, 0);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_ColourKeyCopy);

void BM_AlphaBlend(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        pixels::alphaRect(view(f.a), 0, 0, kW, kH, view(f.b), 0, 0, view(f.mask), -1);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_AlphaBlend);

void BM_AlphaBlendGlobal(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        pixels::alphaRect(view(f.a), 0, 0, kW, kH, view(f.b), 0, 0, view(f.mask), 100);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_AlphaBlendGlobal);

void BM_StepToward(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        pixels::stepToward(view(f.a), 0, 0, kW, kH, view(f.b), 0, 0, 8);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_StepToward);

void BM_FadeIncrement(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        pixels::fadeDown(view(f.a), 0, 0, kW, kH, 1);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_FadeIncrement);

void BM_FadeInIncrement(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        pixels::fadeUp(view(f.a), 0, 0, kW, kH, view(f.b), 1);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_FadeInIncrement);

void BM_Tint(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        pixels::tint(view(f.a), 0, 0, kW, kH, 3, -2, 1);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_Tint);

void BM_GreyTone(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(f.a.pixels.data(), f.b.pixels.data(), f.a.pixels.size());
        state.ResumeTiming();
        pixels::greyTone(view(f.a), 0, 0, kW, kH, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_GreyTone);

// A picture that is grey already: every pixel's sum is a whole number, the formula's hard case.
void BM_GreyToneOnGrey(benchmark::State& state) {
    Frames& f = frames();
    static Screen grey = [] {
        Screen g = randomScreen(5);
        for (size_t i = 0; i < g.pixels.size(); i += 3) g.pixels[i + 1] = g.pixels[i + 2] = g.pixels[i];
        return g;
    }();
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(f.a.pixels.data(), grey.pixels.data(), f.a.pixels.size());
        state.ResumeTiming();
        pixels::greyTone(view(f.a), 0, 0, kW, kH, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_GreyToneOnGrey);

// Every mask byte strictly between 0 and 255: no block can be skipped or copied whole.
void BM_AlphaBlendBlendedMask(benchmark::State& state) {
    Frames& f = frames();
    static Screen blended = [] {
        Screen m = randomScreen(4);
        for (auto& v : m.pixels) v = static_cast<uint8_t>(1 + v % 254);
        return m;
    }();
    for (auto _ : state) {
        pixels::alphaRect(view(f.a), 0, 0, kW, kH, view(f.b), 0, 0, view(blended), -1);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_AlphaBlendBlendedMask);

// The plain twin of the blend, to show what the fast loop gains.
void BM_AlphaBlendReference(benchmark::State& state) {
    Frames& f = frames();
    for (auto _ : state) {
        pixels::ref::alphaRect(view(f.a), 0, 0, kW, kH, view(f.b), 0, 0, view(f.mask), -1);
        benchmark::ClobberMemory();
    }
    done(state);
}
BENCHMARK(BM_AlphaBlendReference);

}  // namespace

BENCHMARK_MAIN();
