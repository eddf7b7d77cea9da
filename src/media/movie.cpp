// playmciavi: a movie with its sound, shown on the window while the interpreter waits for its end.
#include <algorithm>
#include <cmath>

#include "core/cp932.h"
#include "media/video.h"
#include "platform/audio/mixer.h"
#include "platform/audio/stream_source.h"
#include "platform/video/video_decoder.h"
#include "runtime.h"

namespace yv::media {
namespace {

// How often the wait looks for a click that skips the movie.
constexpr double kLookMs = 10;

bool deviceCheck(MovieDevice& m, std::string& error) {
    return m.check ? m.check(error) : video::canPlayMovies(error);
}

}  // namespace

void playMovie(Runtime& rt, BytesView name, Rect r) {
    MovieDevice& m = rt.media.movie;
    if (rt.config.avi == 0 || !m.enabled) return;
    std::string error;
    if (!deviceCheck(m, error)) {
        m.enabled = false;
        rt.messageBox(utf8ToCp932(error), "", MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    // A file the device cannot open plays nothing, without a message.
    auto path = findMovie(rt, name);
    if (!path) return;
    video::Decoder::Opened why;
    // A close ends any read of the file at once, on this thread and on the sound's decoder.
    const auto closing = [&rt] { return rt.closing(); };
    std::unique_ptr<video::Decoder> decoder = video::Decoder::open(*path, why, closing);
    if (!decoder) return;
    if (r.w <= 0 || r.h <= 0) {
        r.w = decoder->width();
        r.h = decoder->height();
    }

    audio::Mixer* engine = rt.platform.audio();
    const bool sound = engine && decoder->hasAudio();
    if (sound) {
        audio::Segment s;
        s.file = *path;
        engine->start(audio::kVoiceMovie, audio::makeStreamSource({s}, false, closing), true);
    }
    m.skip = false;
    m.playing = true;
    rt.interp.leftClick = 0;  // only a click made while the movie plays skips it

    Clock& clock = rt.clock();
    const double start = clock.nowPreciseMs();
    const double frameMs = decoder->msPerFrame();
    const int64_t length = decoder->length();
    std::vector<uint8_t> picture;
    int64_t shown = -1;
    for (;;) {
        const double now = clock.nowPreciseMs() - start;
        const int64_t k = static_cast<int64_t>(std::floor(now / frameMs));
        bool videoDone = (length > 0 && k >= length);
        if (!videoDone) {
            decoder->advanceTo(k);
            videoDone = decoder->ended() && decoder->heldIndex() < k;
        }
        if (!videoDone && decoder->heldIndex() >= 0 && decoder->heldIndex() != shown &&
            decoder->convert(r.w, r.h, picture)) {
            shown = decoder->heldIndex();
            const Rect at[1] = {r};
            rt.platform.showVideo(FrameView{picture.data(), std::min(r.w, 4096), std::min(r.h, 4096)}, at);
        }
        const bool soundDone = !sound || !engine->sounding(audio::kVoiceMovie);
        if (videoDone && soundDone) break;
        // Players expect to skip a movie: a left click or Enter (the left-click flag), Escape.
        if (rt.interp.leftClick.exchange(0) != 0 || m.skip.exchange(false)) break;
        const double next = videoDone ? kLookMs : static_cast<double>(k + 1) * frameMs - now;
        if (!rt.sleep(std::clamp(next, 0.001, kLookMs))) break;  // the game is closing
    }
    if (sound) engine->clear(audio::kVoiceMovie);
    rt.interp.leftClick = 0;
    m.playing = false;
}

}  // namespace yv::media
