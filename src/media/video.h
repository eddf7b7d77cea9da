// Movies: the frame player of playavi (frames drawn on the window by its frame timer while the
// script goes on, no sound) and the movie device of playmciavi (video with its sound, the
// interpreter held until the end).
//
// Threads: FramePlayer::play and stop run on the interpreter thread (stop also at shutdown),
// the timer's ticks on the window thread (headless: on the clock's thread); the decoder and
// the playback state are shared under the player's mutex, never held across a dialog.
// MovieDevice's flags are atomics: the movie runs on the interpreter thread, Escape comes
// from the window thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <filesystem>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/mutex.h"
#include "platform/platform.h"

namespace yv {

struct Runtime;

namespace video {
class Decoder;
}

namespace media {

class FramePlayer {
public:
    FramePlayer();
    ~FramePlayer();
    FramePlayer(const FramePlayer&) = delete;
    FramePlayer& operator=(const FramePlayer&) = delete;

    struct Request {
        Bytes name;
        Rect rect;           // mode 0: where each frame goes (w or h <= 0: the movie's own size)
        int32_t mode = 0;    // 1: tiles over the screen
        int32_t tiles = 0;   // mode 1: n x n tiles
    };
    // Closes a movie still playing, opens the file and draws its first frame, then starts the
    // frame timer. A file that cannot be played shows its message and plays nothing.
    void play(Runtime& rt, const Request& request) YV_EXCLUDES(mutex_);
    // Ends playback (the last frame stays on the window) and stops the timer.
    void stop(Platform& platform) YV_EXCLUDES(mutex_);
    bool playing() const { return playing_; }

private:
    void tick(Platform& platform, uint64_t generation) YV_EXCLUDES(mutex_);
    void draw(Platform& platform) YV_REQUIRES(mutex_);
    void release(Platform& platform) YV_REQUIRES(mutex_);

    Mutex mutex_;
    std::unique_ptr<video::Decoder> decoder_ YV_GUARDED_BY(mutex_);
    Request request_ YV_GUARDED_BY(mutex_);
    int screenW_ YV_GUARDED_BY(mutex_) = 0;
    int screenH_ YV_GUARDED_BY(mutex_) = 0;
    int64_t sample_ YV_GUARDED_BY(mutex_) = 0;
    uint64_t generation_ YV_GUARDED_BY(mutex_) = 0;  // a tick of an earlier timer finds it changed
    std::vector<uint8_t> picture_ YV_GUARDED_BY(mutex_);
    std::vector<Rect> places_ YV_GUARDED_BY(mutex_);
    std::atomic<bool> playing_{false};
};

struct MovieDevice {
    // Off for the rest of the run once the device check has failed.
    std::atomic<bool> enabled{true};
    // A movie holds the interpreter; `skip` (Escape) ends it early.
    std::atomic<bool> playing{false};
    std::atomic<bool> skip{false};
    // The device check; empty: whether this machine can decode movies at all.
    std::function<bool(std::string& error)> check;
};

// playmciavi: the device check, then the movie in rectangle r with its sound, returning when it
// has ended, was skipped (left click, Enter, Escape) or the game is closing.
void playMovie(Runtime& rt, BytesView name, Rect r);

// The movie file a script names: a regular file of the game folder, found as resources are.
std::optional<std::filesystem::path> findMovie(Runtime& rt, BytesView name);

}  // namespace media
}  // namespace yv
