// The wave, MIDI and CD players: their requests, ticks and the device operations on the mixer.
#include "media/players.h"

#include <algorithm>
#include <cstdio>

#include "core/record.h"
#include "io/resources.h"
#include "lang/interp.h"
#include "platform/audio/sound.h"

namespace yv::media {
namespace {

int64_t framesToMs(int64_t frames) { return frames * 1000 / audio::kRate; }

bool knownKind(int32_t kind) {
    return kind == kClose || kind == kOpenPlay || kind == kOpen || kind == kPlay || kind == kStop;
}

// The ticks stop when the script has ended (end, breakapp); a blocking volume fade also holds
// the halt flag but leaves the players running.
bool haltedForGood(const PlayerView& view) { return view.halt != 0 && !view.fadeHold; }

// What the sources need. They are dropped at shutdown, before the flag they read goes.
audio::SourceContext sourceContext(const PlayerView& view) {
    const WakeFlag* closing = &view.closing;
    return {view.mixer->synth(), [closing] { return *closing != 0; }};
}

}  // namespace

// ---- Wave and MIDI players ----

FilePlayer::FilePlayer(Type type)
    : type_(type),
      voice_(type == Type::Wave ? audio::kVoiceWave : audio::kVoiceMidi),
      recordId_(type == Type::Wave ? 100 : 102),
      defaultName_(type == Type::Wave ? "default.wav" : "default.mid") {}

void FilePlayer::post(int32_t kind, BytesView name, int32_t loop) {
    if (!enabled || !knownKind(kind)) return;
    slot_.post(kind, [&](Slot& s) {
        switch (kind) {
        case kClose: s.loop = 0; break;
        case kOpenPlay: s.name = Bytes(name), s.loop = loop; break;
        case kOpen: s.name = Bytes(name); break;
        case kPlay: s.name = Bytes(name), s.loop = loop; break;
        case kStop: s.loop = loop; break;
        default: break;
        }
        const int32_t nowPlaying = kind == kOpenPlay || kind == kPlay ? 1 : 0;
        playing = nowPlaying;
        return record::format(recordId_, name, loop, kind, nowPlaying);
    });
}

void FilePlayer::resetState() {
    slot_.clearRecord();
    playing = 0;
}

bool FilePlayer::deviceOpen() {
    MutexLock lock(deviceMutex_);
    return deviceOpen_;
}

void FilePlayer::create(const PlayerView& view, bool wanted) {
    audio::Mixer* mixer = view.mixer;
    bool on = wanted;
    // No output device, or (MIDI) no soundfont to play with: the player is disabled.
    if (!mixer) on = false;
    if (on && type_ == Type::Midi) {
        const auto s = mixer->soundfontState(false);
        on = s == audio::Mixer::SoundfontState::Loading || s == audio::Mixer::SoundfontState::Ready;
    }
    enabled = on ? 1 : 0;
    if (!on) return;
    MutexLock lock(deviceMutex_);
    deviceId_ = -1;
    opened_ = deviceOpen_ = false;
    slot_.change([](Slot& s) { s.pending = false; });
    timer_ = true;
}

bool FilePlayer::soundfontBusy(const PlayerView& view) {
    if (type_ != Type::Midi) return false;
    // Headless runs wait for the soundfont, so that they sound the same every time; a window
    // keeps the request until it has loaded (a few dozen milliseconds).
    const auto s = view.mixer->soundfontState(view.headless);
    if (s == audio::Mixer::SoundfontState::Loading) return true;
    if (s == audio::Mixer::SoundfontState::Failed) {
        enabled = 0;
        if (!soundfontReported_) std::fprintf(stderr, "yorvane: the soundfont could not be loaded; MIDI music stays silent\n");
        soundfontReported_ = true;
        return true;
    }
    return false;
}

void FilePlayer::tick(const PlayerView& view) {
    if (!enabled || !timer_) return;
    const auto taken = slot_.take();
    const Slot& s = taken.request;
    const uint64_t gen = taken.generation;
    MutexLock lock(deviceMutex_);
    if (s.pending) {
        if (soundfontBusy(view)) return;
        const Bytes name = s.name.empty() ? Bytes(defaultName_) : s.name;
        if (s.name.empty()) slot_.ifCurrent(gen, [&name](Slot& r) { r.name = name; });
        bool keep = false;  // failed open, stop and close requests are tried again
        switch (s.kind) {
        case kClose:
            playing = 0;
            slot_.ifCurrent(gen, [](Slot& r) { r.name.clear(); });
            keep = close(view) < 0;
            break;
        case kOpenPlay:
            playing = 1;
            if (open(view, name) >= 0) play(view, s.loop);
            break;
        case kOpen:
            playing = 0;
            keep = open(view, name) < 0;
            break;
        case kPlay:
            playing = 1;
            play(view, s.loop);
            break;
        case kStop:
            playing = 0;
            keep = stop(view) < 0;
            break;
        default: break;
        }
        if (keep) return;
        slot_.done(gen);
    }
    // A sound that came to its end (a looping one starts over by itself and never ends here).
    if (deviceOpen_ && view.mixer->ends(voice_) > 0) playing = 0;
    if (haltedForGood(view)) {
        playing = 0;
        timer_ = false;
    }
}

void FilePlayer::destroy(const PlayerView& view) {
    if (!enabled) return;
    timer_ = false;
    MutexLock lock(deviceMutex_);
    stop(view);
    close(view);
}

int32_t FilePlayer::deviceError() {
    // The error text is not shown; the timer runs again.
    timer_ = true;
    return -1;
}

int32_t FilePlayer::open(const PlayerView& view, const Bytes& name) {
    if (opened_) close(view);
    // Read through the resource reader: archived sounds come from memory.
    auto data = view.resources.read(name);
    if (!data) return deviceError();
    sound_.reset();
    auto opened = audio::openSound(std::move(*data), type_ == Type::Wave ? audio::SoundKind::Wave : audio::SoundKind::Midi);
    if (!opened) return deviceError();
    sound_ = std::move(opened.sound);
    deviceId_ = nextId_++;
    opened_ = deviceOpen_ = true;
    openedName_ = name;
    view.mixer->clear(voice_);
    return 0;
}

int32_t FilePlayer::play(const PlayerView& view, int32_t loop) {
    if (deviceId_ == -1) return 1;
    // The old device id of a closed device: the seek fails.
    if (!deviceOpen_) return deviceError();
    std::unique_ptr<audio::Source> src = sound_->play(loop == 1, sourceContext(view));
    if (!src) {
        deviceError();
        // A MIDI play that fails also closes the device, the opened flag left as it was.
        if (type_ == Type::Midi) {
            view.mixer->clear(voice_);
            deviceOpen_ = false;
        }
        return -1;
    }
    view.mixer->start(voice_, std::move(src), type_ == Type::Wave);
    return 0;
}

int32_t FilePlayer::stop(const PlayerView& view) {
    if (deviceId_ == -1) return 1;
    if (!deviceOpen_) return deviceError();
    view.mixer->stop(voice_);
    return 0;
}

int32_t FilePlayer::close(const PlayerView& view) {
    if (!opened_) return 1;
    view.mixer->clear(voice_);
    sound_.reset();
    opened_ = deviceOpen_ = false;
    openedName_.clear();
    return 0;
}

int32_t FilePlayer::position(const PlayerView& view, Bytes& answer) {
    answer.clear();
    if (!enabled) return 0;
    const Bytes name = slot().name;
    MutexLock lock(deviceMutex_);
    // The position is asked of the device the current file name names: a name the open device
    // was not opened with (such as "default.wav" after playmciwave) finds no device.
    if (!deviceOpen_ || !equalsNoCaseMb(name, openedName_)) return deviceError();
    const int64_t ms = framesToMs(view.mixer->position(voice_));
    const auto v = static_cast<int32_t>(std::min<int64_t>(ms, INT32_MAX));
    answer = decimal(v);
    return v;
}

// ---- CD player ----

CdPlayer::~CdPlayer() {
    finderStop_ = true;
    waitForFinder();
}

void CdPlayer::waitForFinder() {
    MutexLock lock(finderMutex_);
    if (finder_.joinable()) finder_.join();
}

void CdPlayer::post(int32_t kind, int32_t from, int32_t to, int32_t loop) {
    if (!enabled || !knownKind(kind)) return;
    slot_.post(kind, [&](Slot& s) {
        switch (kind) {
        case kClose: s.loop = 0; break;
        case kStop: s.loop = loop; break;
        default:
            s.from = from;
            s.to = to;
            s.loop = loop;
            break;
        }
        const int32_t nowPlaying = kind == kOpenPlay || kind == kPlay ? 1 : 0;
        playing = nowPlaying;
        return record::format(104, s.from, s.to, s.loop, kind, nowPlaying);
    });
}

void CdPlayer::resetState() {
    slot_.clearRecord();
    playing = 0;
}

void CdPlayer::create(const PlayerView& view, bool wanted, const std::filesystem::path& gameDir) {
    enabled = wanted && view.mixer ? 1 : 0;
    if (!enabled) return;
    slot_.change([](Slot& s) { s = Slot{}; });
    {
        MutexLock lock(deviceMutex_);
        opened_ = false;
    }
    // Looking for the tracks reads every candidate file's length: not on the window thread.
    MutexLock lock(finderMutex_);
    if (!finder_.joinable() && !found_) {
        const std::filesystem::path dir = gameDir;
        finderStop_ = false;
        // A close (or shutdown) ends the reading of a file at once: the tracks not yet measured
        // then count as unreadable, and nothing waits for the rest of a long file.
        const WakeFlag* closing = &view.closing;
        finder_ = std::thread([this, dir, closing] {
            const std::function<bool()> stop = [this, closing] { return finderStop_.load() || *closing != 0; };
            disc_ = media::cd::findDisc(dir, [&stop](const std::filesystem::path& p, bool raw) {
                return stop() ? int64_t{-1} : audio::probeFrames(p, raw, stop);
            });
            found_.store(true, std::memory_order_release);
        });
    }
    timer_ = true;
}

bool CdPlayer::searched(const PlayerView& view) {
    if (found_.load(std::memory_order_acquire)) return true;
    // Headless runs wait, so that they go the same way every time.
    if (view.headless) {
        waitForFinder();
        return found_.load();
    }
    return false;
}

const media::cd::Disc& CdPlayer::disc() {
    if (!found_.load(std::memory_order_acquire)) waitForFinder();
    return disc_;
}

bool CdPlayer::ready(const PlayerView& view) {
    // Disabled, or without any track file, the drive never becomes ready: the wait ends at once.
    if (!enabled) return true;
    return searched(view);
}

void CdPlayer::tick(const PlayerView& view) {
    if (!enabled || !timer_) return;
    const auto taken = slot_.take();
    const Slot& s = taken.request;
    MutexLock lock(deviceMutex_);
    if (s.pending) {
        if (!searched(view)) return;  // the drive is still spinning up
        bool keep = false;
        switch (s.kind) {
        case kClose:
            playing = 0;
            keep = close(view) < 0;
            break;
        case kOpenPlay:
            if (open(view) < 0) {
                keep = true;
                break;
            }
            play(view, s.from, s.to, s.loop);
            playing = 1;
            break;
        case kPlay:
            play(view, s.from, s.to, s.loop);
            playing = 1;
            break;
        case kOpen:
            playing = 0;
            keep = open(view) < 0;
            break;
        case kStop:
            playing = 0;
            keep = stop(view) < 0;
            break;
        default: break;
        }
        if (keep) return;
        slot_.done(taken.generation);
    }
    if (opened_ && view.mixer->ends(audio::kVoiceCd) > 0) playing = 0;
    if (haltedForGood(view)) {
        playing = 0;
        timer_ = false;
    }
}

void CdPlayer::destroy(const PlayerView& view) {
    finderStop_ = true;
    waitForFinder();
    if (!enabled) return;
    timer_ = false;
    MutexLock lock(deviceMutex_);
    stop(view);
    close(view);
    status = 0;
}

int32_t CdPlayer::deviceError() {
    timer_ = true;
    return -1;
}

int32_t CdPlayer::open(const PlayerView& view) {
    if (opened_) close(view);
    opened_ = true;
    status = 0;
    return 0;
}

int32_t CdPlayer::play(const PlayerView& view, int32_t from, int32_t to, int32_t loop) {
    if (!opened_) return 1;
    const media::cd::Disc& d = disc();
    // "to" names the track where playing stops, as the CD device took it; omitted, the disc's
    // end. A -1 (or any "to" not after "from") is refused, as the device refused it.
    const bool toEnd = to == kEndMarker || to > d.last();
    if (!d.track(from) || (!toEnd && to <= from)) return deviceError();
    const int stopAt = toEnd ? d.last() + 1 : to;
    std::vector<audio::Segment> segments;
    for (int n = from; n < stopAt; ++n) {
        const media::cd::Track* t = d.track(n);
        if (!t || !t->audio) continue;
        audio::Segment seg;
        seg.file = t->file;
        seg.raw = t->raw;
        seg.startFrame = t->startFrame;
        seg.frames = t->frames;
        seg.discFrame = t->discFrame;
        segments.push_back(std::move(seg));
    }
    const auto opened = audio::openTracks(std::move(segments));
    if (!opened) return deviceError();
    view.mixer->start(audio::kVoiceCd, opened.sound->play(loop == 1, sourceContext(view)), false);
    status = 1;
    return 0;
}

int32_t CdPlayer::stop(const PlayerView& view) {
    if (!opened_) return 1;
    view.mixer->stop(audio::kVoiceCd);
    status = 1;
    return 0;
}

int32_t CdPlayer::close(const PlayerView& view) {
    if (!opened_) return 1;
    view.mixer->clear(audio::kVoiceCd);
    opened_ = false;
    status = 0;
    return 0;
}

int32_t CdPlayer::time(const PlayerView& view) {
    if (!enabled) return 0;
    if (!searched(view) || !disc().playable()) return deviceError();
    const int64_t seconds = view.mixer->position(audio::kVoiceCd) / audio::kRate;
    // The device answers mm:ss:ff; the script gets minutes x 60 + seconds.
    return static_cast<int32_t>(std::min<int64_t>((seconds / 60) * 60 + seconds % 60, INT32_MAX));
}

}  // namespace yv::media
