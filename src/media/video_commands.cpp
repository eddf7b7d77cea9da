// The movie commands read their file name and rectangle, then hand over to the players.
#include "media/video_commands.h"

#include "media/video.h"
#include "runtime.h"

namespace yv {
namespace {

Rect screenRect(const Runtime& rt) { return Rect{rt.config.left, rt.config.top, rt.config.width, rt.config.height}; }

}  // namespace

int32_t cmdPlayavi(Runtime& rt, const Args& args) {
    if (rt.config.movie == 0) return 1;
    const IntList& iv = args.ints;
    media::FramePlayer::Request r;
    r.name = args.strings.given(0) ? args.strings[0] : Bytes{};
    if (!iv.given(0)) {
        r.rect = screenRect(rt);
    } else {
        // A missing y counts as 0, a missing size as the movie's own.
        r.rect = Rect{iv[0], iv.given(1) ? iv[1] : 0, iv.given(2) ? iv[2] : 0, iv.given(3) ? iv[3] : 0};
        if (iv.given(4)) {
            r.mode = iv[4];
            r.tiles = iv.given(5) ? iv[5] : 0;
        }
    }
    rt.media.frames.play(rt, r);
    return 1;
}

int32_t cmdPlaymciavi(Runtime& rt, const Args& args) {
    if (!args.strings.given(0)) return 1;
    const IntList& iv = args.ints;
    const bool all = iv.given(0) && iv.given(1) && iv.given(2) && iv.given(3);
    media::playMovie(rt, args.strings[0], all ? Rect{iv[0], iv[1], iv[2], iv[3]} : screenRect(rt));
    return 1;
}

}  // namespace yv
