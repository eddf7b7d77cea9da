// Cost of one 10 ms mix buffer (441 frames at 44.1 kHz) with four looping WAVE sounds, a MIDI
// song on the soundfont and a CD track streamed through FFmpeg, and of each part alone. Divide
// the time per iteration by 10 ms for the share of real time (one core).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "media/soundfont.h"
#include "platform/audio/audio_engine.h"
#include "platform/audio/midi_file.h"
#include "platform/audio/midi_synth.h"
#include "platform/audio/pcm_source.h"
#include "platform/audio/stream_source.h"

using namespace yv;
using namespace yv::audio;

namespace {

constexpr size_t kFrames = kRate / 100;

void le(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A stereo 16-bit WAVE at 44.1 kHz: a chord of three sines with a little noise.
std::string wave(double hz, double seconds) {
    const auto frames = static_cast<uint32_t>(seconds * kRate);
    std::string s = "RIFF";
    le(s, 36 + frames * 4, 4);
    s += "WAVEfmt ";
    le(s, 16, 4), le(s, 1, 2), le(s, 2, 2), le(s, kRate, 4), le(s, kRate * 4, 4), le(s, 4, 2), le(s, 16, 2);
    s += "data";
    le(s, frames * 4, 4);
    uint32_t noise = 1;
    for (uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        noise = noise * 1664525u + 1013904223u;
        const double v = 0.2 * (std::sin(2 * M_PI * hz * t) + std::sin(2 * M_PI * hz * 1.25 * t) +
                                std::sin(2 * M_PI * hz * 1.5 * t)) +
                         0.02 * (static_cast<double>(noise >> 16) / 32768.0 - 1.0);
        const auto x = static_cast<uint16_t>(static_cast<int16_t>(v * 32767));
        le(s, x, 2);
        le(s, x, 2);
    }
    return s;
}

std::string vlq(uint32_t v) {
    std::string out(1, static_cast<char>(v & 0x7F));
    while (v >>= 7) out.insert(out.begin(), static_cast<char>(0x80 | (v & 0x7F)));
    return out;
}

// A busy minute of game music: eight instruments (drums on channel 10), each a three-note chord
// changing every half second, with pan and volume controllers.
std::string song() {
    std::string t;
    for (int ch = 0; ch < 8; ++ch) {
        const int c = ch == 7 ? 9 : ch;
        t += vlq(0) + std::string{static_cast<char>(0xC0 | c), static_cast<char>(ch * 11)};
        t += vlq(0) + std::string{static_cast<char>(0xB0 | c), 10, static_cast<char>(16 * ch)};
        t += vlq(0) + std::string{static_cast<char>(0xB0 | c), 7, 100};
    }
    for (int step = 0; step < 120; ++step) {
        for (int ch = 0; ch < 8; ++ch) {
            const int c = ch == 7 ? 9 : ch;
            for (int n = 0; n < 3; ++n) {
                const int key = c == 9 ? 36 + n * 2 : 48 + ch * 3 + (step % 5) * 2 + n * 4;
                t += vlq(0) + std::string{static_cast<char>(0x90 | c), static_cast<char>(key), 90};
            }
        }
        bool first = true;
        for (int ch = 0; ch < 8; ++ch) {
            const int c = ch == 7 ? 9 : ch;
            for (int n = 0; n < 3; ++n) {
                const int key = c == 9 ? 36 + n * 2 : 48 + ch * 3 + (step % 5) * 2 + n * 4;
                t += vlq(first ? 480 : 0) + std::string{static_cast<char>(0x80 | c), static_cast<char>(key), 0};
                first = false;
            }
        }
    }
    t += vlq(0) + std::string("\xFF\x2F\x00", 3);
    std::string s = "MThd";
    s += std::string("\0\0\0\x06\0\0\0\x01\x01\xE0", 10);  // format 0, one track, 480 ticks
    s += "MTrk";
    for (int i = 3; i >= 0; --i) s += static_cast<char>((t.size() >> (8 * i)) & 0xFF);
    return s + t;
}

struct Material {
    std::filesystem::path dir;
    std::shared_ptr<const Pcm> waves[4];
    std::shared_ptr<const MidiSong> midi;
    Segment track;
    Material() {
        dir = std::filesystem::temp_directory_path() / ("yv-mixer-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        for (int i = 0; i < 4; ++i) waves[i] = decodeWave(wave(220.0 * (i + 1), 3));
        midi = parseMidi(song(), kRate);
        std::ofstream(dir / "track02.wav", std::ios::binary) << wave(330, 60);
        track.file = dir / "track02.wav";
    }
    ~Material() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Material& material() {
    static Material m;
    return m;
}

struct Rig {
    AudioEngine engine;
    std::vector<float> out = std::vector<float>(kFrames * 2);
    bool midi = false;
    Rig(bool waves, bool withMidi, bool cd) {
        Material& m = material();
        if (waves)
            for (int i = 0; i < 4; ++i) engine.start(4 + i, makePcmSource(m.waves[i], true), true);
        if (withMidi) {
            if (auto sf = media::findSoundfont(std::nullopt, m.dir)) engine.loadSoundfont(*sf);
            if (engine.soundfontState(true) == AudioEngine::SoundfontState::Ready) {
                engine.start(kVoiceMidi, makeMidiSource(*engine.synth(), m.midi, true), false);
                midi = true;
            }
        }
        if (cd) engine.start(kVoiceCd, makeStreamSource({m.track}, true), false);
        for (int i = 0; i < 100; ++i) engine.pull(out.data(), kFrames);  // a second in: the song is busy
    }
};

void run(benchmark::State& state, Rig& rig) {
    for (auto _ : state) {
        rig.engine.pull(rig.out.data(), kFrames);
        benchmark::DoNotOptimize(rig.out.data());
    }
    state.counters["share_of_realtime_%"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 0.0001,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_MixAll(benchmark::State& state) {
    Rig rig(true, true, true);
    if (!rig.midi) state.SkipWithError("no soundfont");
    run(state, rig);
}

void BM_MixWaves(benchmark::State& state) {
    Rig rig(true, false, false);
    run(state, rig);
}

void BM_MixMidi(benchmark::State& state) {
    Rig rig(false, true, false);
    if (!rig.midi) state.SkipWithError("no soundfont");
    run(state, rig);
}

void BM_MixCdTrack(benchmark::State& state) {
    Rig rig(false, false, true);
    run(state, rig);
}

BENCHMARK(BM_MixAll)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MixWaves)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MixMidi)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MixCdTrack)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
