// The wave, MIDI and CD players: request slots, ticks and the device operations on the mixer.
#include "media/players.h"

#include <cstdio>

#include "platform/audio/audio_engine.h"
#include "platform/audio/midi_synth.h"
#include "platform/audio/pcm_source.h"
#include "platform/audio/stream_source.h"
#include "runtime.h"
#include "core/record.h"

namespace yv::media {
namespace {

int64_t framesToMs(int64_t frames) { return frames * 1000 / audio::kRate; }

// The ticks stop when the script has ended (end, breakapp); a blocking volume fade also holds
// the halt flag but leaves the players running.
bool haltedForGood(Runtime& rt) { return rt.interp.halt != 0 && !rt.media.fadeHold; }

}  // namespace

// ---- Wave and MIDI players ----

FilePlayer::FilePlayer(Type type)
    : type_(type),
      voice_(type == Type::Wave ? audio::kVoiceWave : audio::kVoiceMidi),
      recordId_(type == Type::Wave ? 100 : 102),
      defaultName_(type == Type::Wave ? "default.wav" : "default.mid") {}

void FilePlayer::post(int32_t kind, BytesView name, int32_t loop) {
    if (!enabled) return;
    if (kind != kClose && kind != kOpenPlay && kind != kOpen && kind != kPlay && kind != kStop) return;
    std::lock_guard lock(slotMutex_);
    slot_.pending = true;
    slot_.kind = kind;
    switch (kind) {
    case kClose: slot_.loop = 0; break;
    case kOpenPlay: slot_.name = Bytes(name), slot_.loop = loop; break;
    case kOpen: slot_.name = Bytes(name); break;
    case kPlay: slot_.name = Bytes(name), slot_.loop = loop; break;
    case kStop: slot_.loop = loop; break;
    default: break;
    }
    const int32_t nowPlaying = kind == kOpenPlay || kind == kPlay ? 1 : 0;
    playing = nowPlaying;
    ++generation_;
    record_ = record::format(recordId_, name, loop, kind, nowPlaying);
}

Bytes FilePlayer::record() const {
    std::lock_guard lock(slotMutex_);
    return record_;
}

void FilePlayer::resetState() {
    std::lock_guard lock(slotMutex_);
    record_.clear();
    playing = 0;
}

FilePlayer::Slot FilePlayer::slot() const {
    std::lock_guard lock(slotMutex_);
    return slot_;
}

bool FilePlayer::deviceOpen() {
    std::lock_guard lock(deviceMutex_);
    return deviceOpen_;
}

void FilePlayer::create(Runtime& rt) {
    audio::AudioEngine* engine = rt.platform.audio();
    bool on = (type_ == Type::Wave ? rt.config.wave : rt.config.midi) == 1;
    // No output device, or (MIDI) no soundfont to play with: the player is disabled.
    if (!engine) on = false;
    if (on && type_ == Type::Midi) {
        const auto s = engine->soundfontState(false);
        on = s == audio::AudioEngine::SoundfontState::Loading || s == audio::AudioEngine::SoundfontState::Ready;
    }
    enabled = on ? 1 : 0;
    if (!on) return;
    std::lock_guard lock(deviceMutex_);
    deviceId_ = -1;
    opened_ = deviceOpen_ = false;
    {
        std::lock_guard slotLock(slotMutex_);
        slot_.pending = false;
    }
    timer_ = true;
}

bool FilePlayer::soundfontBusy(Runtime& rt) {
    if (type_ != Type::Midi) return false;
    audio::AudioEngine* engine = rt.platform.audio();
    // Headless runs wait for the soundfont, so that they sound the same every time; a window
    // keeps the request until it has loaded (a few dozen milliseconds).
    const auto s = engine->soundfontState(rt.platform.headless());
    if (s == audio::AudioEngine::SoundfontState::Loading) return true;
    if (s == audio::AudioEngine::SoundfontState::Failed) {
        enabled = 0;
        if (!soundfontReported_) std::fprintf(stderr, "yorvane: the soundfont could not be loaded; MIDI music stays silent\n");
        soundfontReported_ = true;
        return true;
    }
    return false;
}

void FilePlayer::tick(Runtime& rt) {
    if (!enabled || !timer_) return;
    Slot s;
    uint64_t gen;
    {
        std::lock_guard lock(slotMutex_);
        s = slot_;
        gen = generation_;
    }
    std::lock_guard lock(deviceMutex_);
    if (s.pending) {
        if (soundfontBusy(rt)) return;
        Bytes name = s.name.empty() ? Bytes(defaultName_) : s.name;
        if (s.name.empty()) {
            std::lock_guard slotLock(slotMutex_);
            if (generation_ == gen) slot_.name = name;
        }
        bool keep = false;  // failed open, stop and close requests are tried again
        switch (s.kind) {
        case kClose:
            playing = 0;
            {
                std::lock_guard slotLock(slotMutex_);
                if (generation_ == gen) slot_.name.clear();
            }
            keep = close(rt) < 0;
            break;
        case kOpenPlay:
            playing = 1;
            if (open(rt, name) >= 0) play(rt, s.loop);
            break;
        case kOpen:
            playing = 0;
            keep = open(rt, name) < 0;
            break;
        case kPlay:
            playing = 1;
            play(rt, s.loop);
            break;
        case kStop:
            playing = 0;
            keep = stop(rt) < 0;
            break;
        default: break;
        }
        if (keep) return;
        std::lock_guard slotLock(slotMutex_);
        if (generation_ == gen) slot_.pending = false;
    }
    // A sound that came to its end (a looping one starts over by itself and never ends here).
    if (deviceOpen_ && rt.platform.audio()->ends(voice_) > 0) playing = 0;
    if (haltedForGood(rt)) {
        playing = 0;
        timer_ = false;
    }
}

void FilePlayer::destroy(Runtime& rt) {
    if (!enabled) return;
    timer_ = false;
    std::lock_guard lock(deviceMutex_);
    stop(rt);
    close(rt);
}

int32_t FilePlayer::deviceError() {
    // The error text is not shown; the timer runs again.
    timer_ = true;
    return -1;
}

int32_t FilePlayer::open(Runtime& rt, const Bytes& name) {
    if (opened_) close(rt);
    // Read through the resource reader: archived sounds come from memory.
    auto data = rt.resources.read(name);
    if (!data) return deviceError();
    pcm_.reset();
    compressed_.reset();
    song_.reset();
    if (type_ == Type::Wave) {
        pcm_ = audio::decodeWave(*data);
        if (!pcm_) {
            auto bytes = std::make_shared<const std::string>(std::move(*data));
            if (!audio::decodable(bytes)) return deviceError();
            compressed_ = std::move(bytes);
        }
    } else {
        song_ = audio::parseMidi(*data, audio::kRate);
        if (!song_) return deviceError();
    }
    deviceId_ = nextId_++;
    opened_ = deviceOpen_ = true;
    openedName_ = name;
    rt.platform.audio()->clear(voice_);
    return 0;
}

int32_t FilePlayer::play(Runtime& rt, int32_t loop) {
    if (deviceId_ == -1) return 1;
    // The old device id of a closed device: the seek fails.
    if (!deviceOpen_) return deviceError();
    audio::AudioEngine* engine = rt.platform.audio();
    const bool repeat = loop == 1;
    std::unique_ptr<audio::Source> src;
    if (pcm_) {
        src = audio::makePcmSource(pcm_, repeat);
    } else if (compressed_) {
        audio::Segment seg;
        seg.memory = compressed_;
        // The source is dropped at shutdown, before the Runtime goes.
        src = audio::makeStreamSource({seg}, repeat, [&rt] { return rt.closing(); });
    } else if (song_ && engine->synth()) {
        src = audio::makeMidiSource(*engine->synth(), song_, repeat);
    }
    if (!src) {
        deviceError();
        // A MIDI play that fails also closes the device, the opened flag left as it was.
        if (type_ == Type::Midi) {
            engine->clear(voice_);
            deviceOpen_ = false;
        }
        return -1;
    }
    engine->start(voice_, std::move(src), type_ == Type::Wave);
    return 0;
}

int32_t FilePlayer::stop(Runtime& rt) {
    if (deviceId_ == -1) return 1;
    if (!deviceOpen_) return deviceError();
    rt.platform.audio()->stop(voice_);
    return 0;
}

int32_t FilePlayer::close(Runtime& rt) {
    if (!opened_) return 1;
    rt.platform.audio()->clear(voice_);
    pcm_.reset();
    compressed_.reset();
    song_.reset();
    opened_ = deviceOpen_ = false;
    openedName_.clear();
    return 0;
}

int32_t FilePlayer::position(Runtime& rt, Bytes& answer) {
    answer.clear();
    if (!enabled) return 0;
    const Bytes name = slot().name;
    std::lock_guard lock(deviceMutex_);
    // The position is asked of the device the current file name names: a name the open device
    // was not opened with (such as "default.wav" after playmciwave) finds no device.
    if (!deviceOpen_ || !equalsNoCaseMb(name, openedName_)) return deviceError();
    const int64_t ms = framesToMs(rt.platform.audio()->position(voice_));
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
    std::lock_guard lock(finderMutex_);
    if (finder_.joinable()) finder_.join();
}

void CdPlayer::post(int32_t kind, int32_t from, int32_t to, int32_t loop) {
    if (!enabled) return;
    if (kind != kClose && kind != kOpenPlay && kind != kOpen && kind != kPlay && kind != kStop) return;
    std::lock_guard lock(slotMutex_);
    switch (kind) {
    case kClose: slot_.loop = 0; break;
    case kStop: slot_.loop = loop; break;
    default:
        slot_.from = from;
        slot_.to = to;
        slot_.loop = loop;
        break;
    }
    const int32_t nowPlaying = kind == kOpenPlay || kind == kPlay ? 1 : 0;
    playing = nowPlaying;
    slot_.pending = true;
    slot_.kind = kind;
    ++generation_;
    record_ = record::format(104, slot_.from, slot_.to, slot_.loop, kind, nowPlaying);
}

Bytes CdPlayer::record() const {
    std::lock_guard lock(slotMutex_);
    return record_;
}

void CdPlayer::resetState() {
    std::lock_guard lock(slotMutex_);
    record_.clear();
    playing = 0;
}

CdPlayer::Slot CdPlayer::slot() const {
    std::lock_guard lock(slotMutex_);
    return slot_;
}

void CdPlayer::create(Runtime& rt) {
    enabled = rt.config.cdda == 1 && rt.platform.audio() ? 1 : 0;
    if (!enabled) return;
    {
        std::lock_guard lock(slotMutex_);
        slot_ = Slot{};
    }
    opened_ = false;
    // Looking for the tracks reads every candidate file's length: not on the window thread.
    std::lock_guard lock(finderMutex_);
    if (!finder_.joinable() && !found_) {
        const std::filesystem::path dir = rt.gameDir;
        finderStop_ = false;
        // A close (or shutdown) ends the reading of a file at once: the tracks not yet measured
        // then count as unreadable, and nothing waits for the rest of a long file.
        const Interp* in = &rt.interp;
        finder_ = std::thread([this, dir, in] {
            const std::function<bool()> stop = [this, in] { return finderStop_.load() || in->closing != 0; };
            disc_ = media::cd::findDisc(dir, [&stop](const std::filesystem::path& p, bool raw) {
                return stop() ? int64_t{-1} : audio::probeFrames(p, raw, stop);
            });
            found_.store(true, std::memory_order_release);
        });
    }
    timer_ = true;
}

bool CdPlayer::searched(Runtime& rt) {
    if (found_.load(std::memory_order_acquire)) return true;
    // Headless runs wait, so that they go the same way every time.
    if (rt.platform.headless()) {
        waitForFinder();
        return found_.load();
    }
    return false;
}

const media::cd::Disc& CdPlayer::disc() {
    if (!found_.load(std::memory_order_acquire)) waitForFinder();
    return disc_;
}

bool CdPlayer::ready(Runtime& rt) {
    // Disabled, or without any track file, the drive never becomes ready: the wait ends at once.
    if (!enabled) return true;
    return searched(rt);
}

void CdPlayer::tick(Runtime& rt) {
    if (!enabled || !timer_) return;
    Slot s;
    uint64_t gen;
    {
        std::lock_guard lock(slotMutex_);
        s = slot_;
        gen = generation_;
    }
    std::lock_guard lock(deviceMutex_);
    if (s.pending) {
        if (!searched(rt)) return;  // the drive is still spinning up
        bool keep = false;
        switch (s.kind) {
        case kClose:
            playing = 0;
            keep = close(rt) < 0;
            break;
        case kOpenPlay:
            if (open(rt) < 0) {
                keep = true;
                break;
            }
            play(rt, s.from, s.to, s.loop);
            playing = 1;
            break;
        case kPlay:
            play(rt, s.from, s.to, s.loop);
            playing = 1;
            break;
        case kOpen:
            playing = 0;
            keep = open(rt) < 0;
            break;
        case kStop:
            playing = 0;
            keep = stop(rt) < 0;
            break;
        default: break;
        }
        if (keep) return;
        std::lock_guard slotLock(slotMutex_);
        if (generation_ == gen) slot_.pending = false;
    }
    if (opened_ && rt.platform.audio()->ends(audio::kVoiceCd) > 0) playing = 0;
    if (haltedForGood(rt)) {
        playing = 0;
        timer_ = false;
    }
}

void CdPlayer::destroy(Runtime& rt) {
    finderStop_ = true;
    waitForFinder();
    if (!enabled) return;
    timer_ = false;
    std::lock_guard lock(deviceMutex_);
    stop(rt);
    close(rt);
    status = 0;
}

int32_t CdPlayer::deviceError() {
    timer_ = true;
    return -1;
}

int32_t CdPlayer::open(Runtime& rt) {
    if (opened_) close(rt);
    opened_ = true;
    status = 0;
    return 0;
}

int32_t CdPlayer::play(Runtime& rt, int32_t from, int32_t to, int32_t loop) {
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
    if (segments.empty()) return deviceError();
    // The source is dropped at shutdown, before the Runtime goes.
    rt.platform.audio()->start(audio::kVoiceCd,
                               audio::makeStreamSource(std::move(segments), loop == 1, [&rt] { return rt.closing(); }),
                               false);
    status = 1;
    return 0;
}

int32_t CdPlayer::stop(Runtime& rt) {
    if (!opened_) return 1;
    rt.platform.audio()->stop(audio::kVoiceCd);
    status = 1;
    return 0;
}

int32_t CdPlayer::close(Runtime& rt) {
    if (!opened_) return 1;
    rt.platform.audio()->clear(audio::kVoiceCd);
    opened_ = false;
    status = 0;
    return 0;
}

int32_t CdPlayer::time(Runtime& rt) {
    if (!enabled) return 0;
    if (!searched(rt) || !disc().playable()) return deviceError();
    const int64_t seconds = rt.platform.audio()->position(audio::kVoiceCd) / audio::kRate;
    // The device answers mm:ss:ff; the script gets minutes x 60 + seconds.
    return static_cast<int32_t>(std::min<int64_t>((seconds / 60) * 60 + seconds % 60, INT32_MAX));
}

// ---- Sound effects ----

void playSound(Runtime& rt, BytesView name, int32_t wait, int32_t loop) {
    audio::AudioEngine* engine = rt.platform.audio();
    if (!engine) return;
    engine->clear(audio::kVoiceSound);
    auto data = rt.resources.read(name);
    if (!data) return;
    auto pcm = audio::decodeWave(*data);
    if (!pcm) return;  // nothing plays in place of a sound that cannot be read
    const int64_t ms = framesToMs(pcm->frames());
    engine->start(audio::kVoiceSound, audio::makePcmSource(pcm, loop != 0), true);
    if (wait == 0) return;
    // The script is held for the sound's length (one pass of a looping sound, which then goes on
    // looping); a close of the window ends the wait.
    double left = static_cast<double>(ms);
    while (left > 0 && rt.interp.running && !rt.interp.halt) {
        const double slice = std::min(left, 50.0);
        if (!rt.sleep(slice)) break;
        left -= slice;
    }
}

void stopSound(Runtime& rt) {
    if (audio::AudioEngine* engine = rt.platform.audio()) engine->clear(audio::kVoiceSound);
}

}  // namespace yv::media
