// The movie commands read their file name and rectangle, then hand over to the players.
#include "media/video_commands.h"

#include "media/video.h"
#include "runtime.h"

namespace yv {
namespace {

Rect screenRect(const Runtime& rt) { return Rect{rt.config.left, rt.config.top, rt.config.width, rt.config.height}; }

// The numbers written after the file name. (The integer list alone cannot tell: with no number
// at all it still holds one 0.)
struct Numbers {
    const IntList& iv;
    int written;
    bool given(size_t i) const { return static_cast<int>(i) < written && iv.given(i); }
};

Numbers numbers(const Args& args) { return Numbers{args.ints, args.written - (args.strings.given(0) ? 1 : 0)}; }

}  // namespace

int32_t cmdPlayavi(Runtime& rt, const Args& args) {
    if (rt.config.movie == 0) return 1;
    const IntList& iv = args.ints;
    const Numbers n = numbers(args);
    media::FramePlayer::Request r;
    r.name = args.strings.given(0) ? args.strings[0] : Bytes{};
    if (!n.given(0)) {
        r.rect = screenRect(rt);
    } else {
        // A missing y counts as 0, a missing size as the movie's own.
        r.rect = Rect{iv[0], n.given(1) ? iv[1] : 0, n.given(2) ? iv[2] : 0, n.given(3) ? iv[3] : 0};
        if (n.given(4)) {
            r.mode = iv[4];
            r.tiles = n.given(5) ? iv[5] : 0;
        }
    }
    rt.media.frames.play(rt, r);
    return 1;
}

int32_t cmdPlaymciavi(Runtime& rt, const Args& args) {
    if (!args.strings.given(0)) return 1;
    const IntList& iv = args.ints;
    const Numbers n = numbers(args);
    const bool all = n.given(0) && n.given(1) && n.given(2) && n.given(3);
    media::playMovie(rt, args.strings[0], all ? Rect{iv[0], iv[1], iv[2], iv[3]} : screenRect(rt));
    return 1;
}

}  // namespace yv
