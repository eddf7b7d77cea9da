// The three music players: the wave and MIDI players for files and the CD player. Commands
// post a request into a player's one-entry slot (a newer request replaces one not yet carried
// out); the player's 100 ms tick carries it out on the mixer.
//
// Threads: post(), record() and the position queries run on the interpreter thread; create(),
// tick() and destroy() on the window thread (headless: on the clock's thread). The slot is
// guarded by a short lock, the device side by another; `enabled`, `playing` and the CD status
// are atomics that either side may read. The players see the game only through a PlayerView.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <thread>

#include "core/bytes.h"
#include "core/clock.h"
#include "core/mutex.h"
#include "media/cd_tracks.h"
#include "media/request_slot.h"

namespace yv {

class Resources;

namespace audio {
class Mixer;
class Sound;
}  // namespace audio

namespace media {

enum RequestKind : int32_t { kClose = 0, kOpenPlay = 1, kOpen = 10, kPlay = 20, kStop = 30 };

// What the players may touch, from the window thread (the ticks) and the interpreter (the
// position queries) alike: the mixer and the resource reader take their own locks, the flags
// are atomics.
struct PlayerView {
    audio::Mixer* mixer;  // nullptr: no output device
    Resources& resources;
    const WakeFlag& closing;  // the game is closing: stream decoding gives up
    const WakeFlag& halt;     // with no fadeHold, the script has ended
    const std::atomic<bool>& fadeHold;
    bool headless;  // headless runs wait for the soundfont and the track search
};

// The wave player (record 100, "default.wav") and the MIDI player (record 102, "default.mid").
class FilePlayer {
public:
    enum class Type { Wave, Midi };
    explicit FilePlayer(Type type);

    std::atomic<int32_t> enabled{0};
    std::atomic<int32_t> playing{0};

    // Posts a request; does nothing while the player is disabled.
    void post(int32_t kind, BytesView name, int32_t loop);
    // The state record "@100,name,loop,kind,playing," (or 102); empty before the first request.
    Bytes record() const { return slot_.record(); }
    // The reset before loading a game: the record emptied, playing cleared.
    void resetState();
    // getwavetime / getmiditime: the position of the sound the current file name names, in
    // milliseconds; -1 when the device cannot answer; 0 while disabled. `answer` gets the text.
    int32_t position(const PlayerView& view, Bytes& answer);

    // The host window's life: device check and timer start (`wanted`: the configuration turns
    // the player on), the timer tick, shutdown.
    void create(const PlayerView& view, bool wanted);
    void tick(const PlayerView& view);
    void destroy(const PlayerView& view);

    // What tests look at.
    struct Slot {
        bool pending = false;
        int32_t kind = 0;
        Bytes name;
        int32_t loop = 0;
    };
    Slot slot() const { return slot_.current(); }
    bool timerRunning() const { return timer_; }
    bool deviceOpen();

private:
    int32_t open(const PlayerView& view, const Bytes& name) YV_REQUIRES(deviceMutex_);
    int32_t play(const PlayerView& view, int32_t loop) YV_REQUIRES(deviceMutex_);
    int32_t stop(const PlayerView& view) YV_REQUIRES(deviceMutex_);
    int32_t close(const PlayerView& view) YV_REQUIRES(deviceMutex_);
    int32_t deviceError();
    bool soundfontBusy(const PlayerView& view) YV_REQUIRES(deviceMutex_);

    const Type type_;
    const int voice_;
    const int32_t recordId_;
    const char* const defaultName_;

    RequestSlot<Slot> slot_;

    Mutex deviceMutex_;
    int32_t deviceId_ YV_GUARDED_BY(deviceMutex_) = -1;
    int32_t nextId_ YV_GUARDED_BY(deviceMutex_) = 0;
    bool opened_ YV_GUARDED_BY(deviceMutex_) = false;  // the player's flag
    // Whether the device really is open (a failed MIDI play closes it).
    bool deviceOpen_ YV_GUARDED_BY(deviceMutex_) = false;
    Bytes openedName_ YV_GUARDED_BY(deviceMutex_);
    std::shared_ptr<const audio::Sound> sound_ YV_GUARDED_BY(deviceMutex_);
    std::atomic<bool> timer_{false};
    bool soundfontReported_ YV_GUARDED_BY(deviceMutex_) = false;
};

// The CD player (record 104).
class CdPlayer {
public:
    CdPlayer() = default;
    ~CdPlayer();
    CdPlayer(const CdPlayer&) = delete;
    CdPlayer& operator=(const CdPlayer&) = delete;

    std::atomic<int32_t> enabled{0};
    std::atomic<int32_t> playing{0};
    std::atomic<int32_t> status{0};

    void post(int32_t kind, int32_t from, int32_t to, int32_t loop);
    Bytes record() const { return slot_.record(); }
    void resetState();
    // getcddatime: minutes x 60 + seconds of the position on the disc; -1 when the device
    // cannot answer; 0 while disabled.
    int32_t time(const PlayerView& view);
    // The drive check of cddaready: true once the track files have been looked for.
    bool ready(const PlayerView& view);

    // `wanted`: the configuration turns the player on; the track files are looked for in `gameDir`.
    void create(const PlayerView& view, bool wanted, const std::filesystem::path& gameDir);
    void tick(const PlayerView& view);
    void destroy(const PlayerView& view);

    struct Slot {
        bool pending = false;
        int32_t kind = 0;
        int32_t from = 0, to = 0, loop = 0;
    };
    Slot slot() const { return slot_.current(); }
    bool timerRunning() const { return timer_; }
    // The disc the track files make (waits for the search).
    const media::cd::Disc& disc();

private:
    int32_t open(const PlayerView& view) YV_REQUIRES(deviceMutex_);
    int32_t play(const PlayerView& view, int32_t from, int32_t to, int32_t loop) YV_REQUIRES(deviceMutex_);
    int32_t stop(const PlayerView& view) YV_REQUIRES(deviceMutex_);
    int32_t close(const PlayerView& view) YV_REQUIRES(deviceMutex_);
    int32_t deviceError();
    bool searched(const PlayerView& view);
    void waitForFinder();

    RequestSlot<Slot> slot_;

    Mutex deviceMutex_;
    bool opened_ YV_GUARDED_BY(deviceMutex_) = false;
    std::atomic<bool> timer_{false};

    Mutex finderMutex_;
    std::thread finder_ YV_GUARDED_BY(finderMutex_);
    std::atomic<bool> finderStop_{false};  // shutdown: the finder stops reading
    std::atomic<bool> found_{false};
    media::cd::Disc disc_;  // written by the finder before found_ is set
};

}  // namespace media
}  // namespace yv
