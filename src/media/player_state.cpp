// What saved games keep of the wave, MIDI and CD players: their state records, and restoring a
// player from one by the same commands a script would use.
#include "media/media.h"

#include "runtime.h"
#include "save/replay.h"

namespace yv::media {
namespace {

Bytes quotedArgs(BytesView name, int32_t loop) {
    return "( \"" + Bytes(name) + "\", " + decimal(loop) + " );";
}

// The wave and MIDI players share the steps; only the command names differ.
void restoreFilePlayer(Runtime& rt, const char* suffix, std::atomic<int32_t>& playingFlag, BytesView name,
                       int32_t loop, int32_t kind, int32_t playing) {
    const Bytes args = quotedArgs(name, loop);
    const Bytes s = suffix;
    playingFlag = playing;
    auto run = [&](const char* verb, const Bytes& a) { save::runCommandText(rt, Bytes(verb) + s, a); };
    run("closemci", "();");
    switch (kind) {
    case 0: run("closemci", "();"); break;
    case 1:
        if (playing == 1) run("openplaymci", args);
        else run("openmci", args);
        break;
    case 10: run("openmci", args); break;
    case 20:
        run("openmci", args);
        if (playing == 1) run("playmci", "();");
        break;
    case 30:
        run("openmci", args);
        run("stopmci", "();");
        break;
    default: break;
    }
}

}  // namespace

Bytes waveStateRecord(const Runtime& rt) { return rt.save.waveRecord; }
Bytes midiStateRecord(const Runtime& rt) { return rt.save.midiRecord; }
Bytes cdStateRecord(const Runtime& rt) { return rt.save.cdRecord; }

void restoreWave(Runtime& rt, BytesView name, int32_t loop, int32_t kind, int32_t playing) {
    restoreFilePlayer(rt, "wave", rt.media.wavePlaying, name, loop, kind, playing);
}

void restoreMidi(Runtime& rt, BytesView name, int32_t loop, int32_t kind, int32_t playing) {
    restoreFilePlayer(rt, "midi", rt.media.midiPlaying, name, loop, kind, playing);
}

void restoreCd(Runtime& rt, int32_t from, int32_t to, int32_t loop, int32_t kind, int32_t playing) {
    const Bytes args = "( " + decimal(from) + ", " + decimal(to) + ", " + decimal(loop) + " );";
    rt.media.cdPlaying = playing;
    auto run = [&](const char* name, const Bytes& a) { save::runCommandText(rt, name, a); };
    run("closemcicdda", "();");
    switch (kind) {
    case 0:
        run("openmcicdda", "();");
        run("closemcicdda", "();");
        break;
    case 1: run(playing == 1 ? "openplaymcicdda" : "openmcicdda", args); break;
    case 10: run("openmcicdda", args); break;
    case 20:
        run("openmcicdda", args);
        if (playing == 1) run("playmcicdda", "();");
        break;
    case 30:
        run("openmcicdda", args);
        run("stopmcicdda", "();");
        break;
    default: break;
    }
}

void resetPlayerStates(Runtime& rt) {
    rt.save.waveRecord.clear();
    rt.save.midiRecord.clear();
    rt.save.cdRecord.clear();
    rt.media.wavePlaying = 0;
    rt.media.midiPlaying = 0;
    rt.media.cdPlaying = 0;
}

}  // namespace yv::media
