// The sound factory (which decoder each kind of file goes through) and the players' request slot.
#include <gtest/gtest.h>

#include "media/audio_util.h"
#include "media/request_slot.h"
#include "platform/audio/sound.h"

using namespace yv;
using namespace yv::audio;
using namespace yv::testaudio;

namespace {

// A Sun audio file: FFmpeg decodes it, SDL's WAVE reader does not (a compressed sound given
// under a wave file's name takes the same road).
std::string auFile(const std::vector<int16_t>& samples, int rate, int channels) {
    std::string s;
    const auto be32 = [&s](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
    };
    s += ".snd";
    be32(24);
    be32(static_cast<uint32_t>(samples.size() * 2));
    be32(3);  // 16-bit linear
    be32(static_cast<uint32_t>(rate));
    be32(static_cast<uint32_t>(channels));
    for (int16_t v : samples) {
        s += static_cast<char>((static_cast<uint16_t>(v) >> 8) & 0xFF);
        s += static_cast<char>(static_cast<uint16_t>(v) & 0xFF);
    }
    return s;
}

size_t renderAll(Source& src, size_t most) {
    std::vector<float> out(most * 2);
    src.fill();
    return src.render(out.data(), most);
}

}  // namespace

TEST(SoundFactory, WaveFilesAreDecodedWholeForEveryKindThatTakesThem) {
    const std::string wav = wavFile(sine(441, 200, 22050, 1), 22050, 1);
    for (SoundKind kind : {SoundKind::Wave, SoundKind::Effect}) {
        OpenedSound opened = openSound(wav, kind);
        ASSERT_TRUE(opened) << opened.error;
        EXPECT_EQ(opened.sound->frames(), kRate / 5);  // resampled to the engine's rate
        auto src = opened.sound->play(false, {});
        ASSERT_TRUE(src);
        EXPECT_EQ(renderAll(*src, kRate), static_cast<size_t>(kRate / 5));
    }
}

TEST(SoundFactory, CompressedSoundsStreamAsWavesButAreNoSoundEffects) {
    const std::string au = auFile(sine(441, 100, 44100, 2), 44100, 2);
    OpenedSound wave = openSound(au, SoundKind::Wave);
    ASSERT_TRUE(wave) << wave.error;
    EXPECT_EQ(wave.sound->frames(), -1);
    auto src = wave.sound->play(false, {});
    ASSERT_TRUE(src);
    EXPECT_TRUE(src->streaming());
    // The same sound can be played again from its start (playmciwave after a stop).
    EXPECT_TRUE(wave.sound->play(true, {}));

    OpenedSound effect = openSound(au, SoundKind::Effect);
    EXPECT_FALSE(effect);
    EXPECT_FALSE(effect.error.empty());
}

TEST(SoundFactory, EachKindRefusesWhatItCannotPlayWithAReason) {
    for (SoundKind kind : {SoundKind::Wave, SoundKind::Midi, SoundKind::Effect}) {
        OpenedSound opened = openSound("hello", kind);
        EXPECT_FALSE(opened);
        EXPECT_FALSE(opened.error.empty());
    }
    // A wave file is no song.
    EXPECT_FALSE(openSound(wavFile(sine(441, 50, 44100, 2), 44100, 2), SoundKind::Midi));
    EXPECT_FALSE(openTracks({}));
}

TEST(SoundFactory, ASongWaitsForTheSynthesizer) {
    OpenedSound song = openSound(midiFile(0, 480, {midiTrack(noteEvents(0, 69, 480))}), SoundKind::Midi);
    ASSERT_TRUE(song) << song.error;
    EXPECT_FALSE(song.sound->play(false, {}));  // no soundfont loaded yet: nothing to play on
}

TEST(RequestSlot, ARequestPostedWhileTheTickWorkedIsKept) {
    struct Request {
        bool pending = false;
        int32_t kind = 0;
        int32_t value = 0;
    };
    media::RequestSlot<Request> slot;
    slot.post(10, [](Request& r) { return r.value = 1, Bytes("first"); });
    const auto taken = slot.take();
    EXPECT_TRUE(taken.request.pending);
    EXPECT_EQ(taken.request.kind, 10);
    // The interpreter posts again before the tick is done with the first request.
    slot.post(20, [](Request& r) { return r.value = 2, Bytes("second"); });
    slot.ifCurrent(taken.generation, [](Request& r) { r.value = 99; });
    slot.done(taken.generation);
    Request now = slot.current();
    EXPECT_TRUE(now.pending);
    EXPECT_EQ(now.kind, 20);
    EXPECT_EQ(now.value, 2);
    EXPECT_EQ(slot.record(), "second");

    slot.done(slot.take().generation);
    EXPECT_FALSE(slot.current().pending);
    slot.clearRecord();
    EXPECT_EQ(slot.record(), "");
}
