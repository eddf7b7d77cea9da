// The players' request slots, ticks, records and replay, and the volume arithmetic, on the
// manual clock of the headless platform.
#include <gtest/gtest.h>

#include "media/audio_util.h"
#include "media/media.h"
#include "platform/audio/audio_engine.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "test_util.h"

using namespace yv;
using namespace yv::media;
using namespace yv::testaudio;

namespace {

struct Players {
    TempDir dir;
    HeadlessPlatform platform;
    Runtime rt{platform, dir.path()};

    explicit Players(bool start = true) {
        rt.resetForStart();
        rt.config.wave = rt.config.midi = rt.config.cdda = 1;
        dir.write("tone.wav", wavFile(sine(441, 200, 44100, 2), 44100, 2));
        if (start) media::start(rt, std::nullopt);
    }
    ~Players() { media::stop(rt); }
    audio::Mixer& engine() { return *platform.audio(); }
    PlayerView view() { return media::playerView(rt); }
    // Time passes: the mix is pulled and the players tick as the clock goes.
    void advance(double ms) { platform.manualClock().advance(ms); }
    int32_t waveTime() {
        Bytes answer;
        return rt.media.wave.position(view(), answer);
    }
};

}  // namespace

TEST(WavePlayer, OnlyTheLastRequestBeforeATickIsCarriedOut) {
    Players p;
    FilePlayer& w = p.rt.media.wave;
    ASSERT_EQ(w.enabled, 1);
    w.post(kOpen, "tone.wav", 0);
    w.post(kPlay, "", 0);
    EXPECT_EQ(w.record(), "@100,,0,20,1,");
    auto s = w.slot();
    EXPECT_TRUE(s.pending);
    EXPECT_EQ(s.kind, kPlay);
    EXPECT_EQ(s.name, "");
    w.tick(p.view());
    // Play with no device ever opened: nothing plays, the request is consumed, and the empty
    // name has become the default one.
    s = w.slot();
    EXPECT_FALSE(s.pending);
    EXPECT_EQ(s.name, "default.wav");
    EXPECT_FALSE(w.deviceOpen());
    EXPECT_FALSE(p.engine().sounding(audio::kVoiceWave));
    EXPECT_EQ(w.record(), "@100,,0,20,1,");  // the record keeps the name as posted
}

TEST(WavePlayer, OpenPlayLoopsOrEndsAndReportsItsPosition) {
    Players p;
    FilePlayer& w = p.rt.media.wave;
    w.post(kOpenPlay, "TONE.WAV", 1);  // names are found without regard to case
    EXPECT_EQ(w.record(), "@100,TONE.WAV,1,1,1,");
    p.advance(100);  // the tick at 100 ms opens and plays
    EXPECT_TRUE(w.deviceOpen());
    EXPECT_TRUE(p.engine().sounding(audio::kVoiceWave));
    EXPECT_EQ(p.waveTime(), 0);
    p.advance(150);
    EXPECT_EQ(p.waveTime(), 150);
    p.advance(1000);  // 200 ms a pass: still going
    EXPECT_TRUE(p.engine().sounding(audio::kVoiceWave));
    EXPECT_EQ(w.playing, 1);
    EXPECT_EQ(p.waveTime(), 1150 % 200);

    w.post(kOpenPlay, "tone.wav", 2);  // only exactly 1 repeats
    p.advance(100);
    p.advance(300);
    EXPECT_FALSE(p.engine().sounding(audio::kVoiceWave));
    EXPECT_EQ(w.playing, 0);

    // playmciwave leaves the name empty; it becomes "default.wav", a name no device was opened
    // with, so the position cannot be had.
    w.post(kPlay, "", 0);
    p.advance(100);
    EXPECT_TRUE(p.engine().sounding(audio::kVoiceWave));
    EXPECT_EQ(p.waveTime(), -1);
}

TEST(WavePlayer, FailedRequestsStayPendingUntilTheyWork) {
    Players p;
    FilePlayer& w = p.rt.media.wave;
    w.post(kOpen, "later.wav", 0);
    for (int i = 0; i < 3; ++i) {
        w.tick(p.view());
        EXPECT_TRUE(w.slot().pending);
    }
    p.dir.write("later.wav", wavFile(sine(441, 100, 44100, 2), 44100, 2));
    w.tick(p.view());
    EXPECT_FALSE(w.slot().pending);
    EXPECT_TRUE(w.deviceOpen());
    EXPECT_EQ(w.playing, 0);

    // Close of an open device; a second close has nothing to do and is cleared at once.
    w.post(kClose, "", 0);
    w.tick(p.view());
    EXPECT_FALSE(w.deviceOpen());
    EXPECT_EQ(w.slot().name, "");
    w.post(kClose, "", 0);
    w.tick(p.view());
    EXPECT_FALSE(w.slot().pending);

    // Play after a close goes to the closed device: an error, and the request is consumed.
    w.post(kPlay, "", 1);
    w.tick(p.view());
    EXPECT_FALSE(w.slot().pending);
    p.advance(50);
    EXPECT_FALSE(p.engine().sounding(audio::kVoiceWave));
    // Stop on the closed device fails too, and is tried again every tick.
    w.post(kStop, "", 0);
    w.tick(p.view());
    w.tick(p.view());
    EXPECT_TRUE(w.slot().pending);
    EXPECT_TRUE(w.timerRunning());

    // A file that is not sound at all cannot be opened either.
    p.dir.write("text.wav", "hello");
    w.post(kOpen, "text.wav", 0);
    w.tick(p.view());
    EXPECT_TRUE(w.slot().pending);
}

TEST(WavePlayer, TheEndOfTheScriptStopsTheTicksButABlockingFadeDoesNot) {
    Players p;
    FilePlayer& w = p.rt.media.wave;
    // fadevolumewait holds the halt flag: requests are still carried out.
    media::startVolumeFade(p.rt, -5, 80, true);
    EXPECT_EQ(p.rt.interp.halt, 1);
    w.post(kOpenPlay, "tone.wav", 1);
    p.advance(100);
    EXPECT_TRUE(w.timerRunning());
    EXPECT_TRUE(p.engine().sounding(audio::kVoiceWave));
    int increments = 0;
    while (media::advanceVolumeFade(p.rt)) ++increments;
    EXPECT_EQ(increments + 1, 16);  // 80 down to 0 by 5
    EXPECT_EQ(p.rt.interp.halt, 0);

    // end: the halt flag for good; the timer stops and later requests wait for ever.
    p.rt.interp.halt = 1;
    p.advance(100);
    EXPECT_FALSE(w.timerRunning());
    EXPECT_EQ(w.playing, 0);
    w.post(kStop, "", 0);
    p.advance(500);
    EXPECT_TRUE(w.slot().pending);
    EXPECT_TRUE(p.engine().sounding(audio::kVoiceWave));  // the sound itself goes on
}

TEST(WavePlayer, DisabledPlayersTakeNoRequests) {
    Players p(false);
    p.rt.config.wave = 0;
    p.rt.config.midi = 0;
    media::start(p.rt, std::nullopt);
    EXPECT_EQ(p.rt.media.wave.enabled, 0);
    EXPECT_EQ(p.rt.media.midi.enabled, 0);
    EXPECT_EQ(p.rt.media.cd.enabled, 1);  // the others are unaffected
    p.rt.media.wave.post(kOpenPlay, "tone.wav", 1);
    EXPECT_FALSE(p.rt.media.wave.slot().pending);
    EXPECT_EQ(media::waveRecord(p.rt), "");
    Bytes answer;
    EXPECT_EQ(p.rt.media.wave.position(p.view(), answer), 0);
}

TEST(Records, FormatAndReplay) {
    Players p;
    FilePlayer& w = p.rt.media.wave;
    w.post(kStop, "", 0);
    EXPECT_EQ(media::waveRecord(p.rt), "@100,,0,30,0,");
    p.rt.media.midi.post(kOpenPlay, "bgm.mid", 1);
    EXPECT_EQ(media::midiRecord(p.rt), "@102,bgm.mid,1,1,1,");
    p.rt.media.cd.post(kOpenPlay, 3, kEndMarker, 0);
    EXPECT_EQ(media::cdRecord(p.rt), "@104,3,-214748364,0,1,1,");
    p.rt.media.cd.post(kStop, 0, 0, 0);  // stop keeps the range
    EXPECT_EQ(media::cdRecord(p.rt), "@104,3,-214748364,0,30,0,");

    // The reset before a load empties the records and the playing flags.
    p.rt.resetForLoad();
    EXPECT_EQ(media::waveRecord(p.rt), "");
    EXPECT_EQ(media::cdRecord(p.rt), "");
    EXPECT_EQ(p.rt.media.midi.playing, 0);

    // Replay: only the last request reaches the device at the next tick.
    media::replayWaveRecord(p.rt, "tone.wav", 1, kPlay, 1);
    auto s = w.slot();
    EXPECT_EQ(s.kind, kPlay);
    EXPECT_EQ(s.loop, 1);
    EXPECT_EQ(media::waveRecord(p.rt), "@100,,1,20,1,");
    media::replayWaveRecord(p.rt, "tone.wav", 1, kOpenPlay, 1);
    EXPECT_EQ(media::waveRecord(p.rt), "@100,tone.wav,1,1,1,");
    p.advance(100);
    EXPECT_TRUE(p.engine().sounding(audio::kVoiceWave));
    media::replayWaveRecord(p.rt, "tone.wav", 0, kOpenPlay, 0);  // not playing: opened only
    EXPECT_EQ(w.slot().kind, kOpen);
    media::replayWaveRecord(p.rt, "tone.wav", 0, kStop, 0);
    EXPECT_EQ(w.slot().kind, kStop);
    p.advance(100);
    EXPECT_FALSE(w.slot().pending);

    media::replayCdRecord(p.rt, 2, -1, 1, kOpenPlay, 1);
    auto c = p.rt.media.cd.slot();
    EXPECT_EQ(c.kind, kOpenPlay);
    EXPECT_EQ(c.to, kEndMarker);
    EXPECT_EQ(c.loop, 1);
    media::replayCdRecord(p.rt, 2, 4, 0, kPlay, 1);
    EXPECT_EQ(media::cdRecord(p.rt), "@104,2,4,0,20,1,");
    media::replayCdRecord(p.rt, 2, 4, 0, kClose, 0);
    EXPECT_EQ(p.rt.media.cd.slot().kind, kClose);
}

TEST(MidiPlayer, PlaysAGeneratedSongAndItsTimeAdvances) {
    Players p;
    FilePlayer& m = p.rt.media.midi;
    if (!m.enabled) GTEST_SKIP() << "no General MIDI soundfont on this machine";
    // One second of a piano note at 120 bpm (480 ticks a quarter = 0.5 s).
    p.dir.write("song.mid", midiFile(0, 480, {midiTrack(noteEvents(0, 69, 960))}));
    m.post(kOpenPlay, "song.mid", 0);
    p.advance(100);
    ASSERT_TRUE(m.deviceOpen());
    Bytes answer;
    EXPECT_EQ(m.position(p.view(), answer), 0);
    p.advance(500);
    EXPECT_EQ(m.position(p.view(), answer), 500);
    EXPECT_EQ(answer, "500");
    p.advance(700);
    EXPECT_EQ(m.playing, 0);  // it has ended
    // A file that is not MIDI stays pending, as a missing one does.
    p.dir.write("bad.mid", "MThd\0\0\0\x06");
    m.post(kOpen, "bad.mid", 0);
    p.advance(200);
    EXPECT_TRUE(m.slot().pending);
}

TEST(CdPlayer, RangesStatusTimeAndTheRefusedMinusOne) {
    Players p(false);
    for (int t = 2; t <= 4; ++t)
        p.dir.write("cd/track0" + std::to_string(t) + ".wav", wavFile(sine(220.0 * t, 1000, 44100, 2), 44100, 2));
    media::start(p.rt, std::nullopt);
    CdPlayer& cd = p.rt.media.cd;
    ASSERT_TRUE(cd.ready(p.view()));
    ASSERT_EQ(cd.disc().first(), 2);
    EXPECT_EQ(cd.disc().last(), 4);
    EXPECT_EQ(cd.status, 0);

    cd.post(kOpenPlay, 3, kEndMarker, 0);  // tracks 3 and 4
    p.advance(100);
    EXPECT_EQ(cd.status, 1);
    EXPECT_EQ(cd.playing, 1);
    p.advance(20);
    EXPECT_EQ(cd.time(p.view()), 1);  // track 3 starts one second into the disc
    p.advance(1480);
    EXPECT_EQ(cd.time(p.view()), 2);
    p.advance(600);
    EXPECT_EQ(cd.playing, 0);  // the end of the disc

    // playmcicdda with -1: the device refuses, the request is consumed, nothing plays.
    cd.post(kPlay, 2, -1, 0);
    p.advance(100);
    EXPECT_FALSE(cd.slot().pending);
    EXPECT_FALSE(p.engine().sounding(audio::kVoiceCd));

    cd.post(kPlay, 2, 3, 1);  // track 2 only, for ever
    p.advance(100);
    p.advance(3000);
    EXPECT_TRUE(p.engine().sounding(audio::kVoiceCd));
    EXPECT_EQ(cd.time(p.view()), 0);

    cd.post(kStop, 0, 0, 0);
    p.advance(100);
    EXPECT_EQ(cd.status, 1);  // 1 after a successful stop
    cd.post(kClose, 0, 0, 0);
    p.advance(100);
    EXPECT_EQ(cd.status, 0);
    cd.post(kClose, 0, 0, 0);  // a closed device answers at once
    p.advance(100);
    EXPECT_FALSE(cd.slot().pending);
    // A track the disc does not have.
    cd.post(kOpenPlay, 9, kEndMarker, 0);
    p.advance(100);
    EXPECT_FALSE(p.engine().sounding(audio::kVoiceCd));
}

TEST(CdPlayer, NoTracksOrDisabledNeverHoldTheScript) {
    Players p;  // no track files in the game folder
    EXPECT_TRUE(p.rt.media.cd.ready(p.view()));
    EXPECT_EQ(p.rt.media.cd.time(p.view()), -1);
    p.rt.media.cd.enabled = 0;
    EXPECT_TRUE(p.rt.media.cd.ready(p.view()));
    EXPECT_EQ(p.rt.media.cd.time(p.view()), 0);
}

TEST(Volume, PercentsBalanceAndMute) {
    Volume v;
    int32_t pc = 0;
    EXPECT_FALSE(v.percent(pc));  // no mixer: every operation fails
    EXPECT_FALSE(v.setPercent(50));
    audio::AudioEngine e;
    v.attach(&e);
    ASSERT_TRUE(v.percent(pc));
    EXPECT_EQ(pc, 100);
    for (int p = 0; p <= 100; ++p) {
        ASSERT_TRUE(v.setPercent(p));
        ASSERT_TRUE(v.percent(pc));
        EXPECT_EQ(pc, p);  // the conversion rounds back to the same percent
    }
    v.setPercent(75);
    EXPECT_EQ(v.channels()[0], 75u * 65535u / 100u);
    // The relation between the channels survives a new volume.
    v.setChannels(60000, 30000);
    ASSERT_TRUE(v.setPercent(50));
    const auto ch = v.channels();
    EXPECT_EQ(ch[0], 32767u);
    EXPECT_EQ(ch[1], 16383u);
    ASSERT_TRUE(v.percent(pc));
    EXPECT_EQ(pc, 50);
    // At 0 the channels give no relation: the last one seen is used again.
    v.setPercent(0);
    v.setPercent(100);
    EXPECT_EQ(v.channels()[0], 65535u);
    EXPECT_EQ(v.channels()[1], 32766u);
    v.change(-30);
    v.percent(pc);
    EXPECT_EQ(pc, 70);
    v.change(500);
    v.percent(pc);
    EXPECT_EQ(pc, 100);
    bool m = true;
    ASSERT_TRUE(v.mute(m));
    EXPECT_FALSE(m);
    v.toggleMute();
    v.mute(m);
    EXPECT_TRUE(m);
}

TEST(Volume, FadesEndOnlyAtTheEnds) {
    Players p;
    Volume& v = p.rt.media.volume;
    int32_t pc = 0;
    media::startVolumeFade(p.rt, 0, 40, false);
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(media::advanceVolumeFade(p.rt));  // step 0 never ends
    v.percent(pc);
    EXPECT_EQ(pc, 40);
    // A fade started over a running one keeps its counter: its start volume is not applied.
    media::startVolumeFade(p.rt, 10, 90, false);
    EXPECT_TRUE(media::advanceVolumeFade(p.rt));
    v.percent(pc);
    EXPECT_EQ(pc, 50);
    int n = 1;
    while (media::advanceVolumeFade(p.rt)) ++n;
    EXPECT_EQ(n, 5);
    v.percent(pc);
    EXPECT_EQ(pc, 100);
    EXPECT_FALSE(p.rt.media.volumeFading);
    // The next fade starts afresh.
    media::startVolumeFade(p.rt, -50, 60, false);
    EXPECT_TRUE(media::advanceVolumeFade(p.rt));
    v.percent(pc);
    EXPECT_EQ(pc, 10);
}
