// Start and stop of the sound system, the volume fade, the state records and their replay.
#include "media/media.h"

#include <cstdio>

#include "media/soundfont.h"
#include "platform/audio/mixer.h"
#include "runtime.h"

namespace yv::media {

void start(Runtime& rt, const std::optional<std::filesystem::path>& soundfontOption) {
    Media& m = rt.media;
    audio::Mixer* engine = rt.platform.audio();
    m.mixer = engine;
    m.volume.attach(engine);
    if (engine && rt.config.midi == 1) {
        std::string notes;
        if (auto sf = findSoundfont(soundfontOption, rt.gameDir, &notes))
            engine->loadSoundfont(*sf);
        else
            notes += "no General MIDI soundfont found (--soundfont FILE); MIDI music stays silent\n";
        for (size_t at = 0; at < notes.size();) {
            const size_t end = notes.find('\n', at);
            std::fprintf(stderr, "yorvane: %s\n", notes.substr(at, end - at).c_str());
            at = end == std::string::npos ? notes.size() : end + 1;
        }
    }
    const PlayerView view = playerView(rt);
    m.wave.create(view, rt.config.wave == 1);
    m.midi.create(view, rt.config.midi == 1);
    m.cd.create(view, rt.config.cdda == 1, rt.gameDir);
    m.started = true;
    rt.platform.setAudioTick([&rt] { tick(rt); });
}

void stop(Runtime& rt) {
    Media& m = rt.media;
    // Frames play without the sound system: their timer goes in every case.
    m.frames.stop(rt.platform);
    if (!m.started) return;
    rt.platform.setAudioTick({});
    const PlayerView view = playerView(rt);
    m.wave.destroy(view);
    m.midi.destroy(view);
    m.cd.destroy(view);
    stopSound(rt);
    m.started = false;
}

void tick(Runtime& rt) {
    const PlayerView view = playerView(rt);
    rt.media.wave.tick(view);
    rt.media.midi.tick(view);
    rt.media.cd.tick(view);
}

PlayerView playerView(Runtime& rt) {
    return {rt.media.mixer, rt.resources, rt.interp.closing, rt.interp.halt, rt.media.fadeHold,
            rt.platform.headless()};
}

void reset(Runtime& rt) {
    Media& m = rt.media;
    m.wave.resetState();
    m.midi.resetState();
    m.cd.resetState();
    m.volumeFading = false;
    m.fade.counter = 0;
    // A blocking fade stopped by a load gives back the halt flag it held (or the loaded game
    // would never run); a halt from end stays.
    if (m.fadeHold) rt.interp.halt = 0;
    m.fadeHold = false;
    m.cdWait = false;
}

// ---- Volume fade ----

void startVolumeFade(Runtime& rt, int32_t step, int32_t start, bool hold) {
    Media& m = rt.media;
    // A fade started over a running one keeps its counter, so its start volume is not applied.
    m.fade.step = step;
    m.fade.start = start;
    m.volumeFading = true;
    if (hold) {
        m.fadeHold = true;  // before the halt flag: a tick never sees the halt without it
        rt.interp.halt = 1;
    }
}

bool advanceVolumeFade(Runtime& rt) {
    Media& m = rt.media;
    Media::Fade& f = m.fade;
    if (f.counter == 0 && f.start != -1) m.volume.setPercent(f.start);
    ++f.counter;
    m.volume.change(f.step);
    int32_t p = 0;
    // It ends only at 0 or 100 (or when the volume cannot be read).
    if (m.volume.percent(p) && p > 0 && p < 100) return true;
    f.counter = 0;
    m.volumeFading = false;
    if (m.fadeHold) {
        rt.interp.halt = 0;
        m.fadeHold = false;
    }
    return false;
}

bool cdDriveReady(Runtime& rt) { return rt.media.cd.ready(playerView(rt)); }

// ---- State records ----

Bytes waveRecord(const Runtime& rt) { return rt.media.wave.record(); }
Bytes midiRecord(const Runtime& rt) { return rt.media.midi.record(); }
Bytes cdRecord(const Runtime& rt) { return rt.media.cd.record(); }

namespace {

// As loading replays record 100 / 102 through the player's commands: a close first, then what
// brings the player back to the recorded kind. Only the last request reaches the device.
void replayFileRecord(FilePlayer& p, BytesView name, int32_t loop, int32_t kind, int32_t playing) {
    p.playing = playing;
    p.post(kClose, "", 0);
    switch (kind) {
    case kClose: p.post(kClose, "", 0); break;
    case kOpenPlay:
        if (playing == 1)
            p.post(kOpenPlay, name, loop);
        else
            p.post(kOpen, name, 0);
        break;
    case kOpen: p.post(kOpen, name, 0); break;
    case kPlay:
        p.post(kOpen, name, 0);
        if (playing == 1) p.post(kPlay, "", loop);
        break;
    case kStop:
        p.post(kOpen, name, 0);
        p.post(kStop, "", 0);
        break;
    default: break;
    }
}

}  // namespace

void replayWaveRecord(Runtime& rt, BytesView name, int32_t loop, int32_t kind, int32_t playing) {
    replayFileRecord(rt.media.wave, name, loop, kind, playing);
}

void replayMidiRecord(Runtime& rt, BytesView name, int32_t loop, int32_t kind, int32_t playing) {
    replayFileRecord(rt.media.midi, name, loop, kind, playing);
}

void replayCdRecord(Runtime& rt, int32_t from, int32_t to, int32_t loop, int32_t kind, int32_t playing) {
    CdPlayer& p = rt.media.cd;
    p.playing = playing;
    p.post(kClose, 0, 0, 0);
    switch (kind) {
    case kClose:
        p.post(kOpen, 0, 0, 0);
        p.post(kClose, 0, 0, 0);
        break;
    case kOpenPlay:
        if (playing == 1)
            p.post(kOpenPlay, from, to == -1 ? kEndMarker : to, loop);
        else
            p.post(kOpen, 0, 0, 0);
        break;
    case kOpen: p.post(kOpen, 0, 0, 0); break;
    case kPlay:
        p.post(kOpen, 0, 0, 0);
        if (playing == 1) p.post(kPlay, from, to, loop);
        break;
    case kStop:
        p.post(kOpen, 0, 0, 0);
        p.post(kStop, 0, 0, 0);
        break;
    default: break;
    }
}

}  // namespace yv::media
