// The three music players: the wave and MIDI players for files and the CD player. Commands
// post a request into a player's one-entry slot (a newer request replaces one not yet carried
// out); the player's 100 ms tick carries it out on the mixer.
//
// Threads: post(), record() and the position queries run on the interpreter thread; create(),
// tick() and destroy() on the window thread (headless: on the clock's thread). The slot is
// guarded by a short lock, the device side by another; `enabled`, `playing` and the CD status
// are atomics that either side may read.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/bytes.h"
#include "media/cd_tracks.h"

namespace yv {

struct Runtime;

namespace audio {
struct Pcm;
struct MidiSong;
}  // namespace audio

namespace media {

enum RequestKind : int32_t { kClose = 0, kOpenPlay = 1, kOpen = 10, kPlay = 20, kStop = 30 };

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
    Bytes record() const;
    // The reset before loading a game: the record emptied, playing cleared.
    void resetState();
    // getwavetime / getmiditime: the position of the sound the current file name names, in
    // milliseconds; -1 when the device cannot answer; 0 while disabled. `answer` gets the text.
    int32_t position(Runtime& rt, Bytes& answer);

    // The host window's life: device check and timer start, the timer tick, shutdown.
    void create(Runtime& rt);
    void tick(Runtime& rt);
    void destroy(Runtime& rt);

    // What tests look at.
    struct Slot {
        bool pending = false;
        int32_t kind = 0;
        Bytes name;
        int32_t loop = 0;
    };
    Slot slot() const;
    bool timerRunning() const { return timer_; }
    bool deviceOpen();

private:
    int32_t open(Runtime& rt, const Bytes& name);
    int32_t play(Runtime& rt, int32_t loop);
    int32_t stop(Runtime& rt);
    int32_t close(Runtime& rt);
    int32_t deviceError();
    bool soundfontBusy(Runtime& rt);

    const Type type_;
    const int voice_;
    const int32_t recordId_;
    const char* const defaultName_;

    mutable std::mutex slotMutex_;
    Slot slot_;
    uint64_t generation_ = 0;  // tells a request posted while the tick worked on the last one
    Bytes record_;

    std::mutex deviceMutex_;
    int32_t deviceId_ = -1;
    int32_t nextId_ = 0;
    bool opened_ = false;      // the player's flag
    bool deviceOpen_ = false;  // whether the device really is open (a failed MIDI play closes it)
    Bytes openedName_;
    std::shared_ptr<const audio::Pcm> pcm_;
    std::shared_ptr<const std::string> compressed_;
    std::shared_ptr<const audio::MidiSong> song_;
    std::atomic<bool> timer_{false};
    bool soundfontReported_ = false;
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
    Bytes record() const;
    void resetState();
    // getcddatime: minutes x 60 + seconds of the position on the disc; -1 when the device
    // cannot answer; 0 while disabled.
    int32_t time(Runtime& rt);
    // The drive check of cddaready: true once the track files have been looked for.
    bool ready(Runtime& rt);

    void create(Runtime& rt);
    void tick(Runtime& rt);
    void destroy(Runtime& rt);

    struct Slot {
        bool pending = false;
        int32_t kind = 0;
        int32_t from = 0, to = 0, loop = 0;
    };
    Slot slot() const;
    bool timerRunning() const { return timer_; }
    // The disc the track files make (waits for the search).
    const media::cd::Disc& disc();

private:
    int32_t open(Runtime& rt);
    int32_t play(Runtime& rt, int32_t from, int32_t to, int32_t loop);
    int32_t stop(Runtime& rt);
    int32_t close(Runtime& rt);
    int32_t deviceError();
    bool searched(Runtime& rt);
    void waitForFinder();

    mutable std::mutex slotMutex_;
    Slot slot_;
    uint64_t generation_ = 0;
    Bytes record_;

    std::mutex deviceMutex_;
    bool opened_ = false;
    std::atomic<bool> timer_{false};

    std::mutex finderMutex_;
    std::thread finder_;
    std::atomic<bool> finderStop_{false};  // shutdown: the finder stops reading
    std::atomic<bool> found_{false};
    media::cd::Disc disc_;  // written by the finder before found_ is set
};

// The sound effects of playwave / stopwave: one sound at a time on its own voice.
void playSound(Runtime& rt, BytesView name, int32_t wait, int32_t loop);
void stopSound(Runtime& rt);

}  // namespace media
}  // namespace yv
