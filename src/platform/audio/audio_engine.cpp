// The mixer: voices, the command hand-over, gains and the freeing of replaced sources.
#include "platform/audio/audio_engine.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/audio/midi_synth.h"
#include "platform/audio/stream_source.h"

namespace yv::audio {
namespace {

constexpr size_t kBlock = 1024;  // frames mixed at a time; scratch buffers hold one block

}  // namespace

AudioEngine::AudioEngine()
    : scratch_(new float[kBlock * 2]()), sum_(new float[kBlock * 2]()) {}

AudioEngine::~AudioEngine() {
    {
        // A decode in progress gives up at once: the decoder thread ends without reading on.
        MutexLock lock(control_);
        for (ControlVoice& v : control)
            if (v.source) v.source->cancel();
        for (Retired& r : retired_) r.source->cancel();
    }
    {
        MutexLock lock(streamsMutex_);
        decoderStop_ = true;
    }
    streamsChanged_.notifyAll();
    if (decoder_.joinable()) decoder_.join();
    if (sfLoader_.joinable()) sfLoader_.join();
    // The device is closed by now: nothing renders any more. Every source ever started is
    // either a voice's current one or retired.
    for (Retired& r : retired_) delete r.source;
    for (ControlVoice& v : control) delete v.source;
}

// ---- Control side ----

void AudioEngine::push(const Command& c) {
    ++pushes_;
    if (devicePaused_) {
        devicePaused_ = false;
        resumeDevice_();
    }
    // The ring holds far more than the players post between two passes; should the device
    // stall, wait for it a while rather than lose the command.
    for (int tries = 0; !commands_.push(c); ++tries) {
        if (pullMode_) {
            // The mix is pulled under control_, so nothing renders now: take them up here.
            applyCommands();
            continue;
        }
        if (tries > 2000) {
            if (c.op == Op::Start) {
                // Never seen by the audio side: it can go at once.
                MutexLock lock(streamsMutex_);
                std::erase(streams_, c.source);
            }
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void AudioEngine::retire(int voice, Source* s) {
    if (!s) return;
    // Before the lock the decoder thread holds while it fills: a fill reading through a damaged
    // file ends now rather than keep this (and a close) waiting.
    s->cancel();
    {
        MutexLock lock(streamsMutex_);
        std::erase(streams_, s);
    }
    retired_.push_back({s, voice, seq_});
}

void AudioEngine::collect() {
    // A source replaced by command n is free once the audio side has applied command n for
    // that voice: it takes its commands at the start of a pass, before rendering.
    std::erase_if(retired_, [&](const Retired& r) {
        if (published_[r.voice].appliedSeq.load() < r.seq) return false;
        if (fading(r.source)) return false;
        delete r.source;
        return true;
    });
}

bool AudioEngine::fading(const Source* s) const {
    for (const auto& shown : fadingShown_)
        if (shown.load() == s) return true;
    return false;
}

void AudioEngine::start(int voice, std::unique_ptr<Source> source, bool waveGain) {
    if (voice < 0 || voice >= kVoiceCount || !source) return;
    Source* s = source.release();
    if (s->streaming()) {
        s->fill();  // the first second is there before the audio side first asks
        {
            MutexLock lock(streamsMutex_);
            streams_.push_back(s);
        }
        streamsChanged_.notifyAll();
    }
    MutexLock lock(control_);
    collect();
    ControlVoice& v = control[voice];
    Command c{voice, Op::Start, s, waveGain, ++seq_};
    Source* old = v.source;
    v.source = s;
    v.playing = true;
    v.lastSeq = v.startSeq = c.seq;
    push(c);
    retire(voice, old);
}

void AudioEngine::stop(int voice) {
    if (voice < 0 || voice >= kVoiceCount) return;
    MutexLock lock(control_);
    collect();
    ControlVoice& v = control[voice];
    Command c{voice, Op::Stop, nullptr, false, ++seq_};
    v.playing = false;
    v.lastSeq = c.seq;
    push(c);
}

void AudioEngine::clear(int voice) {
    if (voice < 0 || voice >= kVoiceCount) return;
    MutexLock lock(control_);
    collect();
    ControlVoice& v = control[voice];
    Command c{voice, Op::Clear, nullptr, false, ++seq_};
    Source* old = v.source;
    v.source = nullptr;
    v.playing = false;
    v.lastSeq = c.seq;
    push(c);
    retire(voice, old);
}

bool AudioEngine::sounding(int voice) {
    if (voice < 0 || voice >= kVoiceCount) return false;
    MutexLock lock(control_);
    const ControlVoice& v = control[voice];
    if (published_[voice].appliedSeq.load() < v.lastSeq) return v.playing;
    return published_[voice].playing.load();
}

uint32_t AudioEngine::ends(int voice) {
    if (voice < 0 || voice >= kVoiceCount) return 0;
    MutexLock lock(control_);
    if (published_[voice].appliedSeq.load() < control[voice].startSeq) return 0;
    return published_[voice].ends.load();
}

int64_t AudioEngine::position(int voice) {
    if (voice < 0 || voice >= kVoiceCount) return 0;
    MutexLock lock(control_);
    if (published_[voice].appliedSeq.load() < control[voice].startSeq) return 0;
    return published_[voice].position.load();
}

void AudioEngine::setMasterGain(float left, float right) {
    masterL_ = std::clamp(left, 0.0f, 1.0f);
    masterR_ = std::clamp(right, 0.0f, 1.0f);
}
void AudioEngine::setMute(bool on) { mute_ = on; }
void AudioEngine::setWaveGain(float gain) { waveGain_ = std::clamp(gain, 0.0f, 1.0f); }

// ---- Soundfont ----

void AudioEngine::loadSoundfont(const std::filesystem::path& file) {
    if (sfState_ != SoundfontState::None) return;
    sfState_ = SoundfontState::Loading;
    sfLoader_ = std::thread([this, file] {
        auto s = std::make_unique<MidiSynth>();
        if (!s->load(file)) {
            sfState_ = SoundfontState::Failed;
            return;
        }
        ownedSynth_ = std::move(s);
        synth_.store(ownedSynth_.get(), std::memory_order_release);
        sfState_ = SoundfontState::Ready;
    });
}

AudioEngine::SoundfontState AudioEngine::soundfontState(bool wait) {
    if (wait) {
        while (sfState_.load() == SoundfontState::Loading)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return sfState_.load();
}

// ---- Streams ----

void AudioEngine::pumpStreams() {
    MutexLock lock(streamsMutex_);
    for (Source* s : streams_) s->fill();
}

void AudioEngine::startDecoderThread() {
    if (decoder_.joinable()) return;
    decoder_ = std::thread([this] { decoderLoop(); });
}

void AudioEngine::decoderLoop() {
    // The rings hold about a second and a half; topping them up every 10 ms keeps them full.
    // With nothing streaming the thread sleeps until a stream starts: a game at rest costs
    // nothing.
    MutexLock lock(streamsMutex_);
    while (!decoderStop_) {
        if (streams_.empty()) {
            while (!decoderStop_ && streams_.empty()) streamsChanged_.wait(lock);
            continue;
        }
        for (Source* s : streams_) s->fill();
        const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(10);
        while (!decoderStop_ && streamsChanged_.waitUntil(lock, due) != std::cv_status::timeout) {}
    }
}

void AudioEngine::pull(float* out, size_t frames) {
    MutexLock lock(control_);
    pullMode_ = true;
    pumpStreams();
    mix(out, frames);
}

void AudioEngine::setDeviceRest(std::function<void()> pause, std::function<void()> resume) {
    MutexLock lock(control_);
    if (devicePaused_ && resumeDevice_) resumeDevice_();
    devicePaused_ = false;
    pauseDevice_ = std::move(pause);
    resumeDevice_ = std::move(resume);
}

void AudioEngine::restIfQuiet() {
    MutexLock lock(control_);
    if (!pauseDevice_ || !resumeDevice_ || devicePaused_) return;
    const uint64_t passes = passes_.load();
    if (!quiet_.load() || pushes_ != restPushes_ || !commands_.empty()) {
        restPushes_ = pushes_;
        restPasses_ = passes;
        restLooks_ = 0;
        return;
    }
    // A command taken up by the pass that was running at the last look shows in the quiet flag
    // once that pass is over: wait for a pass that began after it.
    if (passes < restPasses_ + 2 || ++restLooks_ < kRestLooks) return;
    devicePaused_ = true;
    pauseDevice_();
}

bool AudioEngine::resting() {
    MutexLock lock(control_);
    return devicePaused_;
}

void AudioEngine::usePull() {
    MutexLock lock(control_);
    pullMode_ = true;
}

// ---- Audio side ----

void AudioEngine::applyCommands() {
    Command c;
    while (commands_.pop(c)) {
        AudioVoice& v = voices_[c.voice];
        beginFade(c.voice);  // whatever the command, what was heard is not heard after it
        switch (c.op) {
        case Op::Start:
            v.source = c.source;
            v.playing = true;
            v.heard = false;
            v.waveGain = c.waveGain;
            published_[c.voice].position.store(0);
            published_[c.voice].ends.store(0);
            break;
        case Op::Stop: v.playing = false; break;
        case Op::Clear:
            v.source = nullptr;
            v.playing = false;
            break;
        }
        published_[c.voice].playing.store(v.playing);
        published_[c.voice].appliedSeq.store(c.seq);
    }
}

void AudioEngine::beginFade(int voice) {
    const AudioVoice& v = voices_[voice];
    if (!v.playing || !v.source || !v.heard) return;  // silent now, or not heard yet: no click
    // A free slot, else the fade nearest its end gives way.
    int slot = 0;
    for (int i = 1; i < kFades; ++i)
        if (fades_[i].left < fades_[slot].left) slot = i;
    fades_[slot] = Fade{v.source, v.waveGain, kFadeFrames};
    fadingShown_[slot].store(v.source);
}

void AudioEngine::renderFades(float* sum, size_t n) {
    float* scratch = scratch_.get();
    constexpr float kStep = 1.0f / static_cast<float>(kFadeFrames);
    for (int i = 0; i < kFades; ++i) {
        Fade& fade = fades_[i];
        if (!fade.source) continue;
        const size_t want = std::min(n, fade.left);
        const size_t got = std::min(fade.source->render(scratch, want), want);
        const float g = fade.waveGain ? appliedWave_ : 1.0f;
        for (size_t f = 0; f < got; ++f) {
            const float k = g * static_cast<float>(fade.left - f) * kStep;
            sum[2 * f] += scratch[2 * f] * k;
            sum[2 * f + 1] += scratch[2 * f + 1] * k;
        }
        fade.left -= want;
        if (got < want || fade.left == 0) {
            fade = Fade{};
            fadingShown_[i].store(nullptr);  // after its last render: it may be freed now
        }
    }
}

void AudioEngine::mix(float* out, size_t frames) {
    applyCommands();
    const bool muted = mute_.load(std::memory_order_relaxed);
    const float targetL = muted ? 0.0f : masterL_.load(std::memory_order_relaxed);
    const float targetR = muted ? 0.0f : masterR_.load(std::memory_order_relaxed);
    const float targetW = waveGain_.load(std::memory_order_relaxed);
    float* scratch = scratch_.get();
    float* sum = sum_.get();

    size_t done = 0;
    while (done < frames) {
        const size_t n = std::min(kBlock, frames - done);
        std::memset(sum, 0, n * 2 * sizeof(float));
        // A gain change glides over the first block instead of clicking.
        const float inv = 1.0f / static_cast<float>(n);
        const float dW = (targetW - appliedWave_) * inv;
        renderFades(sum, n);
        for (int i = 0; i < kVoiceCount; ++i) {
            AudioVoice& v = voices_[i];
            if (!v.playing || !v.source) continue;
            const size_t got = std::min(v.source->render(scratch, n), n);
            if (got > 0) v.heard = true;
            // Only what plays moves the position: a stopped sound fading out keeps its own.
            published_[i].position.store(v.source->position());
            if (v.waveGain) {
                float g = appliedWave_;
                for (size_t f = 0; f < got; ++f) {
                    g += dW;
                    sum[2 * f] += scratch[2 * f] * g;
                    sum[2 * f + 1] += scratch[2 * f + 1] * g;
                }
            } else {
                for (size_t k = 0; k < got * 2; ++k) sum[k] += scratch[k];
            }
            if (got < n) {
                v.playing = false;
                published_[i].playing.store(false);
                published_[i].ends.fetch_add(1);
            }
        }
        const float dL = (targetL - appliedL_) * inv, dR = (targetR - appliedR_) * inv;
        float gl = appliedL_, gr = appliedR_;
        float* o = out + done * 2;
        for (size_t f = 0; f < n; ++f) {
            gl += dL;
            gr += dR;
            o[2 * f] = std::clamp(sum[2 * f] * gl, -1.0f, 1.0f);
            o[2 * f + 1] = std::clamp(sum[2 * f + 1] * gr, -1.0f, 1.0f);
        }
        appliedL_ = targetL;
        appliedR_ = targetR;
        appliedWave_ = targetW;
        done += n;
    }
    bool busy = false;
    for (const AudioVoice& v : voices_) busy = busy || (v.playing && v.source);
    for (const Fade& f : fades_) busy = busy || f.source;
    quiet_.store(!busy, std::memory_order_relaxed);
    passes_.fetch_add(1);  // publishes quiet_ with it
}

}  // namespace yv::audio
