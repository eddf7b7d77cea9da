// Sound commands. Each reads its numbers and names, then posts to a player or sets a volume.
#include "media/commands.h"

#include "media/media.h"
#include "runtime.h"

namespace yv {
namespace {

Bytes firstName(const StringList& s) { return s.given(0) ? s[0] : Bytes{}; }

int32_t playwave(Runtime& rt, const IntList& iv, const StringList& s) {
    // Two numbers: wait, loop. One: it is the loop, and the sound is waited for. None: waited
    // for, played once.
    int32_t wait = 1, loop = 0;
    if (iv.given(0) && iv.given(1)) {
        wait = iv[0];
        loop = iv[1];
    } else if (iv.given(0)) {
        loop = iv[0];
    }
    media::playSound(rt, firstName(s), wait, loop);
    return 1;
}

// The MCI commands do nothing and return 0 while their player is disabled (post() checks).
int32_t post(media::FilePlayer& p, int32_t kind, BytesView name, int32_t loop) {
    if (!p.enabled) return 0;
    p.post(kind, name, loop);
    return 1;
}

int32_t postCd(Runtime& rt, int32_t kind, int32_t from, int32_t to, int32_t loop) {
    media::CdPlayer& cd = rt.media.cd;
    if (!cd.enabled) return 0;
    cd.post(kind, from, to, loop);  // stop and close keep the last range
    return 1;
}

}  // namespace

int32_t cmdPlaywave(Runtime& rt, const Args& args) { return playwave(rt, args.ints, args.strings); }

int32_t cmdStopwave(Runtime& rt, const Args&) {
    media::stopSound(rt);
    rt.save.log.add(93);
    return 1;
}

int32_t cmdOpenmciwave(Runtime& rt, const Args& args) {
    return post(rt.media.wave, media::kOpen, firstName(args.strings), 0);
}

int32_t cmdOpenplaymciwave(Runtime& rt, const Args& args) {
    const IntList& iv = args.ints;
    return post(rt.media.wave, media::kOpenPlay, firstName(args.strings), iv.given(0) ? iv[0] : 0);
}

int32_t cmdPlaymciwave(Runtime& rt, const Args& args) { return post(rt.media.wave, media::kPlay, "", args.ints[0]); }
int32_t cmdStopmciwave(Runtime& rt, const Args&) { return post(rt.media.wave, media::kStop, "", 0); }
int32_t cmdClosemciwave(Runtime& rt, const Args&) { return post(rt.media.wave, media::kClose, "", 0); }

int32_t cmdGetwavetime(Runtime& rt, const Args&) {
    Bytes answer;
    const int32_t v = rt.media.wave.position(media::playerView(rt), answer);
    rt.interp.strResult = answer;
    return v;
}

int32_t cmdOpenmcimidi(Runtime& rt, const Args& args) {
    return post(rt.media.midi, media::kOpen, firstName(args.strings), 0);
}

int32_t cmdOpenplaymcimidi(Runtime& rt, const Args& args) {
    return post(rt.media.midi, media::kOpenPlay, firstName(args.strings), args.ints[0]);
}

int32_t cmdPlaymcimidi(Runtime& rt, const Args& args) { return post(rt.media.midi, media::kPlay, "", args.ints[0]); }
int32_t cmdStopmcimidi(Runtime& rt, const Args&) { return post(rt.media.midi, media::kStop, "", 0); }
int32_t cmdClosemcimidi(Runtime& rt, const Args&) { return post(rt.media.midi, media::kClose, "", 0); }

int32_t cmdGetmiditime(Runtime& rt, const Args&) {
    Bytes answer;
    return rt.media.midi.position(media::playerView(rt), answer);
}

int32_t cmdOpenmcicdda(Runtime& rt, const Args&) { return postCd(rt, media::kOpen, 0, 0, 0); }

int32_t cmdOpenplaymcicdda(Runtime& rt, const Args& args) {
    const IntList& iv = args.ints;
    // -1 or nothing for "to": to the end of the disc. A loop not written is 0.
    const int32_t to = iv.given(1) && iv[1] != -1 ? iv[1] : kEndMarker;
    return postCd(rt, media::kOpenPlay, iv[0], to, iv.given(2) ? iv[2] : 0);
}

int32_t cmdPlaymcicdda(Runtime& rt, const Args& args) {
    const IntList& iv = args.ints;
    // The numbers go to the device as they are: a -1 for "to" is refused there.
    return postCd(rt, media::kPlay, iv[0], iv[1], iv.given(2) ? iv[2] : 0);
}

int32_t cmdStopmcicdda(Runtime& rt, const Args&) { return postCd(rt, media::kStop, 0, 0, 0); }
int32_t cmdClosemcicdda(Runtime& rt, const Args&) { return postCd(rt, media::kClose, 0, 0, 0); }
int32_t cmdGetcddatime(Runtime& rt, const Args&) { return rt.media.cd.time(media::playerView(rt)); }
int32_t cmdGetcddastatus(Runtime& rt, const Args&) { return rt.media.cd.status; }

int32_t cmdCddaready(Runtime& rt, const Args&) {
    rt.media.cdWait = true;
    return 1;
}

int32_t cmdSetvolume(Runtime& rt, const Args& args) {
    const int32_t p = args.ints[0];
    rt.media.volume.lastVolume = p;
    return rt.media.volume.setPercent(p) ? 1 : 0;
}

int32_t cmdGetvolume(Runtime& rt, const Args&) {
    int32_t p = 0;
    return rt.media.volume.percent(p) ? p : 0;
}

int32_t cmdSetmute(Runtime& rt, const Args& args) { return rt.media.volume.setMute(args.ints[0] != 0) ? 1 : 0; }

int32_t cmdFadevolume(Runtime& rt, const Args& args) {
    const IntList& iv = args.ints;
    media::startVolumeFade(rt, iv[0], iv.given(1) ? iv[1] : -1, false);
    return 1;
}

int32_t cmdFadevolumewait(Runtime& rt, const Args& args) {
    const IntList& iv = args.ints;
    media::startVolumeFade(rt, iv[0], iv.given(1) ? iv[1] : -1, true);
    return 1;
}

}  // namespace yv
