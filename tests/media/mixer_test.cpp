// The mixer and its sources, pulled by hand: hand-over of sources, ends, positions, gains, WAVE
// decoding with the loop seam, raw and decoded file streams.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "media/audio_util.h"
#include "media/volume.h"
#include "platform/audio/audio_engine.h"
#include "platform/audio/pcm_source.h"
#include "platform/audio/stream_source.h"
#include "test_util.h"

using namespace yv;
using namespace yv::audio;
using namespace yv::testaudio;

namespace {

// A constant level for a number of frames (or for ever), counting its own destruction.
class Level final : public Source {
public:
    Level(float v, int64_t frames, int* destroyed = nullptr) : v_(v), frames_(frames), destroyed_(destroyed) {}
    ~Level() override {
        if (destroyed_) ++*destroyed_;
    }
    size_t render(float* out, size_t frames) override {
        size_t n = frames;
        if (frames_ >= 0) n = static_cast<size_t>(std::min<int64_t>(frames_ - at_, static_cast<int64_t>(frames)));
        for (size_t i = 0; i < n * 2; ++i) out[i] = v_;
        at_ += static_cast<int64_t>(n);
        return n;
    }
    int64_t position() const override { return at_; }

private:
    float v_;
    int64_t frames_;
    int64_t at_ = 0;
    int* destroyed_;
};

std::vector<float> pull(AudioEngine& e, size_t frames) {
    std::vector<float> out(frames * 2);
    e.pull(out.data(), frames);
    return out;
}

}  // namespace

TEST(Mixer, VoicesAddUpEndAndReportPositions) {
    AudioEngine e;
    e.start(4, std::make_unique<Level>(0.25f, 300), false);
    e.start(5, std::make_unique<Level>(0.125f, -1), false);
    EXPECT_TRUE(e.sounding(4));  // taken as sounding before the audio side has seen it
    EXPECT_EQ(e.position(4), 0);
    auto out = pull(e, 441);
    EXPECT_FLOAT_EQ(out[0], 0.375f);
    EXPECT_FLOAT_EQ(out[299 * 2], 0.375f);
    EXPECT_FLOAT_EQ(out[300 * 2], 0.125f);  // the first one ended at its length
    EXPECT_FALSE(e.sounding(4));
    EXPECT_EQ(e.ends(4), 1u);
    EXPECT_EQ(e.position(4), 300);
    EXPECT_TRUE(e.sounding(5));
    EXPECT_EQ(e.ends(5), 0u);
    EXPECT_EQ(e.position(5), 441);

    // Stop keeps the source (and the position it was stopped at) and fades it out; clear drops it.
    e.stop(5);
    out = pull(e, kFadeFrames + 100);
    EXPECT_FLOAT_EQ(out[0], 0.125f);
    EXPECT_NEAR(out[kFadeFrames / 2 * 2], 0.0625f, 0.001f);
    EXPECT_FLOAT_EQ(out[kFadeFrames * 2], 0.0f);
    EXPECT_FALSE(e.sounding(5));
    EXPECT_EQ(e.position(5), 441);
    e.clear(5);
    pull(e, 10);
    EXPECT_FALSE(e.sounding(5));
}

TEST(Mixer, ReplacedSourcesAreFreedOnlyAfterTheAudioSideLetGo) {
    int destroyed = 0;
    AudioEngine e;
    e.start(4, std::make_unique<Level>(0.1f, -1, &destroyed), false);
    pull(e, 64);
    // Replaced before the audio side has taken the new one: the old one must stay alive.
    e.start(4, std::make_unique<Level>(0.2f, -1, &destroyed), false);
    e.start(4, std::make_unique<Level>(0.3f, -1, &destroyed), false);
    EXPECT_EQ(destroyed, 0);
    // The sound heard fades out under the new one; the one never heard goes at once.
    auto out = pull(e, 64);
    EXPECT_FLOAT_EQ(out[0], 0.4f);
    e.stop(7);  // any later control call collects what is free
    EXPECT_EQ(destroyed, 1);  // the first one is still fading out
    out = pull(e, kFadeFrames);
    EXPECT_NEAR(out[0], 0.3f + 0.1f * (kFadeFrames - 64) / kFadeFrames, 1e-6);
    EXPECT_FLOAT_EQ(out[(kFadeFrames - 64) * 2], 0.3f);
    e.stop(7);
    EXPECT_EQ(destroyed, 2);
    // A full command ring in pull mode is taken up at once rather than lost.
    for (int i = 0; i < 600; ++i) e.start(4, std::make_unique<Level>(0.4f, -1, &destroyed), false);
    out = pull(e, kFadeFrames + 8);
    EXPECT_FLOAT_EQ(out[0], 0.7f);
    EXPECT_FLOAT_EQ(out[kFadeFrames * 2], 0.4f);
}

TEST(Mixer, GainsMuteAndTheWaveGroup) {
    AudioEngine e;
    e.start(4, std::make_unique<Level>(0.5f, -1), true);   // under the wave gain
    e.start(5, std::make_unique<Level>(0.25f, -1), false);
    pull(e, 1024);
    e.setWaveGain(0.5f);
    e.setMasterGain(1.0f, 0.5f);
    auto out = pull(e, 2048);
    // The change glides over the first block, then holds.
    EXPECT_GT(out[0], 0.5f);
    EXPECT_NEAR(out[2000 * 2], 0.25f + 0.25f, 1e-6);
    EXPECT_NEAR(out[2000 * 2 + 1], 0.5f * 0.5f, 1e-6);
    e.setMute(true);
    out = pull(e, 2048);
    EXPECT_FLOAT_EQ(out[1500 * 2], 0.0f);
    EXPECT_FLOAT_EQ(out[1500 * 2 + 1], 0.0f);
    // The volume curve: cubic over the 16-bit control.
    EXPECT_FLOAT_EQ(Volume::masterGain(65535), 1.0f);
    EXPECT_FLOAT_EQ(Volume::masterGain(0), 0.0f);
    EXPECT_NEAR(Volume::masterGain(32767), 0.125, 1e-4);
}

TEST(Mixer, WaveFilesDecodeAtAnyRateAndLoopWithoutASeam) {
    // 16-bit stereo at the engine's rate comes through sample for sample.
    const auto tone = sine(441, 100, kRate, 2);
    auto pcm = decodeWave(wavFile(tone, kRate, 2));
    ASSERT_TRUE(pcm);
    ASSERT_EQ(pcm->frames(), 4410);
    EXPECT_EQ(pcm->samples[2 * 1000], tone[2 * 1000]);

    // 8-bit mono at 22050 Hz: twice as many frames, same tone.
    auto low = decodeWave(wavFile(sine(441, 100, 22050, 1), 22050, 1, 8));
    ASSERT_TRUE(low);
    EXPECT_NEAR(static_cast<double>(low->frames()), 4410, 8);

    EXPECT_FALSE(decodeWave("RIFF\x10\0\0\0WAVEjunkjunk"));
    EXPECT_FALSE(decodeWave(""));
    // A rate no file was ever made at (a damaged header) is refused, through FFmpeg as well.
    const std::string fast = wavFile(sine(441, 10, kRate, 2), 25570065, 2, 8);
    EXPECT_FALSE(decodeWave(fast));
    EXPECT_FALSE(decodable(std::make_shared<const std::string>(fast)));

    // A looping source wraps at its last frame: 441 Hz has a whole number of periods in 100 ms,
    // so the loop continues the sine exactly.
    AudioEngine e;
    e.start(4, makePcmSource(pcm, true), true);
    auto out = pull(e, 4410 * 3);
    for (size_t i = 0; i < 4410 * 3; i += 97)
        ASSERT_NEAR(out[2 * i], tone[2 * (i % 4410)] / 32768.0f, 1e-6) << i;
    EXPECT_EQ(e.ends(4), 0u);
    EXPECT_EQ(e.position(4), 0);  // three whole passes

    e.start(4, makePcmSource(pcm, false), true);
    out = pull(e, 5000);
    EXPECT_EQ(e.ends(4), 1u);
    EXPECT_FLOAT_EQ(out[2 * 4500], 0.0f);
}

TEST(Mixer, StreamsPlayRawImagesAndDecodedFilesInOrder) {
    TempDir d;
    // A raw image: 1000 frames of a ramp, little-endian 16-bit stereo.
    std::string raw;
    for (int i = 0; i < 1000; ++i)
        for (int c = 0; c < 2; ++c) {
            const auto v = static_cast<uint16_t>(i * 16);
            raw += static_cast<char>(v & 0xFF);
            raw += static_cast<char>(v >> 8);
        }
    d.write("disc.bin", raw);
    d.write("t.wav", wavFile(sine(441, 50, kRate, 2), kRate, 2));
    EXPECT_EQ(probeFrames(d.path() / "disc.bin", true), 1000);
    EXPECT_EQ(probeFrames(d.path() / "t.wav", false), 2205);
    EXPECT_EQ(probeFrames(d.path() / "missing.ogg", false), -1);

    Segment a;
    a.file = d.path() / "disc.bin";
    a.raw = true;
    a.startFrame = 200;
    a.frames = 300;
    a.discFrame = 5000;
    Segment b;
    b.file = d.path() / "t.wav";
    b.discFrame = 9000;
    AudioEngine e;
    e.start(4, makeStreamSource({a, b}, false), false);
    auto out = pull(e, 400);
    EXPECT_NEAR(out[0], 200 * 16 / 32768.0f, 1e-6);
    EXPECT_NEAR(out[2 * 299], 499 * 16 / 32768.0f, 1e-6);
    EXPECT_NEAR(out[2 * 300], 0.0f, 1e-3);  // the sine starts at 0
    EXPECT_EQ(e.position(4), 9000 + 100);   // the position follows the disc
    out = pull(e, 3000);
    EXPECT_EQ(e.ends(4), 1u);

    // Looping goes round without a gap; an unreadable stretch is skipped.
    Segment missing;
    missing.file = d.path() / "nothing.flac";
    e.start(4, makeStreamSource({a, missing}, true), false);
    out = pull(e, 900);
    EXPECT_NEAR(out[2 * 300], 200 * 16 / 32768.0f, 1e-6);
    EXPECT_NEAR(out[2 * 899], (200 + 899 % 300) * 16 / 32768.0f, 1e-6);
    EXPECT_EQ(e.ends(4), 0u);

    // Nothing readable at all: it ends instead of spinning.
    e.start(4, makeStreamSource({missing}, true), false);
    pull(e, 100);
    EXPECT_EQ(e.ends(4), 1u);

    // A stretch that begins where a cut file ends (a sheet's track beyond it) ends at once.
    d.write("cut.wav", wavFile(sine(441, 50, kRate, 2), kRate, 2).substr(0, 44 + 100 * 4));
    Segment late;
    late.file = d.path() / "cut.wav";
    late.startFrame = 100;
    e.start(4, makeStreamSource({late}, false), false);
    pull(e, 100);
    EXPECT_EQ(e.ends(4), 1u);
}

namespace {

// A stream that only counts how often the decoder tops it up.
class CountedStream final : public Source {
public:
    explicit CountedStream(std::atomic<int>& fills) : fills_(fills) {}
    size_t render(float* out, size_t frames) override {
        std::fill_n(out, frames * 2, 0.0f);
        return frames;
    }
    int64_t position() const override { return 0; }
    void fill() override { ++fills_; }
    bool streaming() const override { return true; }

private:
    std::atomic<int>& fills_;
};

}  // namespace

// The decoder thread tops streams up while they play, waits without waking while none does,
// and a closing engine ends it from either state.
TEST(Mixer, TheDecoderThreadFillsStreamsAndClosesFromItsWait) {
    {
        AudioEngine idle;
        idle.startDecoderThread();  // nothing streams: it waits, and the close must end that wait
    }
    std::atomic<int> fills{0};
    AudioEngine engine;
    engine.startDecoderThread();
    engine.start(5, std::make_unique<CountedStream>(fills), false);
    // Real threads: wait on the count itself, bounded, rather than for a fixed time.
    for (int i = 0; i < 5000 && fills.load() < 4; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GE(fills.load(), 4);  // the start's own fill, then the thread's
    engine.stop(5);
}

TEST(Mixer, TheDeviceRestsOnlyAfterQuietPassesAndWakesBeforeTheNextCommand) {
    AudioEngine e;
    int pauses = 0, resumes = 0;
    e.setDeviceRest([&] { ++pauses; }, [&] { ++resumes; });
    auto looks = [&](int n) {
        for (int i = 0; i < n; ++i) {
            pull(e, 64);
            e.restIfQuiet();
        }
    };
    // A sound playing keeps it awake however long the looks go on; so does its fade after a stop.
    e.start(4, std::make_unique<Level>(0.25f, -1), false);
    looks(3 * AudioEngine::kRestLooks);
    e.stop(4);
    looks(static_cast<int>(kFadeFrames / 64) - 1);
    EXPECT_EQ(pauses, 0);
    // Once quiet, it rests after kRestLooks quiet looks.
    looks(AudioEngine::kRestLooks + 4);
    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(e.resting());
    // The next command wakes the device before it is queued, and the sound is heard.
    e.start(5, std::make_unique<Level>(0.5f, 64), false);
    EXPECT_EQ(resumes, 1);
    EXPECT_FALSE(e.resting());
    EXPECT_FLOAT_EQ(pull(e, 8)[0], 0.5f);
    // Quiet looks with no pass in between (a stalled device) never rest it.
    for (int i = 0; i < 3 * AudioEngine::kRestLooks; ++i) e.restIfQuiet();
    EXPECT_EQ(pauses, 1);
    looks(AudioEngine::kRestLooks + 4);
    EXPECT_EQ(pauses, 2);
}
