// Our own audio engine: a few voices, each playing one source, mixed with a gain for the wave
// sounds, a master gain per channel and a master mute, at one rate. The players feed it from
// the window thread (or the headless clock); the audio device pulls mix() from its own thread.
//
// What crosses threads:
//   control side -> audio side: commands through a lock-free single-reader ring (start a
//       source, stop, clear); the gains as atomics; the soundfont's synthesizer as an atomic
//       pointer published once it has loaded.
//   audio side -> control side: per voice, atomics for "sounding", the count of natural ends
//       and the position; a pass counter that tells when a replaced source can be freed.
//   stream decoding: sources that decode files fill their own lock-free chunk rings from the
//       decoder thread (or, headless, from the thread that pulls the mix) before they are due.
// The audio side never locks, waits or allocates: it reads commands, renders, adds and
// publishes. Sources are created, prefilled and freed on the control side only.
#pragma once

#include <atomic>
#include <functional>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "core/mutex.h"
#include "platform/audio/mixer.h"
#include "platform/audio/spsc_ring.h"

namespace yv::audio {

class AudioEngine final : public Mixer {
public:
    AudioEngine();
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // ---- Control side (any thread but the audio thread): the Mixer ----
    void start(int voice, std::unique_ptr<Source> source, bool waveGain) override;
    void stop(int voice) override;
    void clear(int voice) override;
    bool sounding(int voice) override;
    uint32_t ends(int voice) override;
    int64_t position(int voice) override;

    void setMasterGain(float left, float right) override;
    void setMute(bool on) override;
    void setWaveGain(float gain) override;

    void loadSoundfont(const std::filesystem::path& file) override;
    SoundfontState soundfontState(bool wait) override;
    MidiSynth* synth() override { return synth_.load(std::memory_order_acquire); }

    // Streaming sources are kept filled by a decoder thread (real devices), or by pumpStreams()
    // called by whoever pulls the mix just before it does (the headless device).
    void startDecoderThread();
    void pumpStreams();

    // A device without a real-time thread (headless): fills the streams and mixes, as one
    // step of the control side.
    void pull(float* out, size_t frames);
    // Declares the device pulled from the start: until its first pull nobody takes commands up,
    // and a command must never wait for an audio thread that does not exist.
    void usePull();

    // A real device rests while nothing sounds: its thread would otherwise wake some ninety
    // times a second to mix silence. `pause` and `resume` act on the device; they are called
    // under the control lock, never from the mix. Empty functions: the device never rests.
    void setDeviceRest(std::function<void()> pause, std::function<void()> resume) YV_EXCLUDES(control_);
    // The control side's periodic look (the window loop's, every 100 ms): pauses the device once
    // the mix has been quiet for kRestLooks looks in a row with no command in between. The next
    // command resumes it before it is queued.
    void restIfQuiet() YV_EXCLUDES(control_);
    bool resting() YV_EXCLUDES(control_);
    static constexpr int kRestLooks = 10;

    // ---- Audio side ----
    // Real-time safe: mixes `frames` interleaved stereo float frames into out (overwriting).
    void mix(float* out, size_t frames);

    // For tests: the mix pass counter.
    uint64_t passes() const { return passes_.load(); }

private:
    enum class Op : uint8_t { Start, Stop, Clear };
    struct Command {
        int voice = 0;
        Op op = Op::Stop;
        Source* source = nullptr;
        bool waveGain = false;
        uint64_t seq = 0;
    };
    struct AudioVoice {  // audio thread only
        Source* source = nullptr;
        bool playing = false;
        bool waveGain = false;
        bool heard = false;  // the source has rendered a frame
    };
    struct Fade {  // audio thread only: a sound stopped or replaced, fading out
        Source* source = nullptr;
        bool waveGain = false;
        size_t left = 0;
    };
    static constexpr int kFades = 4;
    struct Published {  // written by the audio thread
        std::atomic<bool> playing{false};
        std::atomic<uint32_t> ends{0};
        std::atomic<int64_t> position{0};
        std::atomic<uint64_t> appliedSeq{0};
    };
    struct ControlVoice {  // control side, under control_
        Source* source = nullptr;
        bool playing = false;
        uint64_t lastSeq = 0;
        uint64_t startSeq = 0;
    };
    struct Retired {
        Source* source;
        int voice;
        uint64_t seq;  // freed once the audio side has applied this command of the voice
    };

    void push(const Command& c) YV_REQUIRES(control_);
    void retire(int voice, Source* s) YV_REQUIRES(control_);
    void collect() YV_REQUIRES(control_);
    // The audio thread; headless, also push() under control_ (nothing renders meanwhile).
    void applyCommands();
    void beginFade(int voice);              // audio thread
    void renderFades(float* sum, size_t n);  // audio thread
    bool fading(const Source* s) const;     // control side
    void decoderLoop();

    Mutex control_;
    bool pullMode_ YV_GUARDED_BY(control_) = false;
    ControlVoice control[kVoiceCount] YV_GUARDED_BY(control_);
    uint64_t seq_ YV_GUARDED_BY(control_) = 0;
    std::vector<Retired> retired_ YV_GUARDED_BY(control_);
    SpscRing<Command, 256> commands_;
    std::function<void()> pauseDevice_ YV_GUARDED_BY(control_), resumeDevice_ YV_GUARDED_BY(control_);
    bool devicePaused_ YV_GUARDED_BY(control_) = false;
    uint64_t pushes_ YV_GUARDED_BY(control_) = 0;      // commands queued so far
    uint64_t restPushes_ YV_GUARDED_BY(control_) = 0;  // ... at the last look that was not quiet
    uint64_t restPasses_ YV_GUARDED_BY(control_) = 0;  // mix passes done at that look
    int restLooks_ YV_GUARDED_BY(control_) = 0;        // quiet looks since

    AudioVoice voices_[kVoiceCount];
    Published published_[kVoiceCount];
    Fade fades_[kFades];
    // What each fade plays, stored before the command that retired it is marked applied: a
    // retired source that the mix still fades out is not freed until its slot lets go of it.
    std::atomic<Source*> fadingShown_[kFades] = {};
    std::atomic<uint64_t> passes_{0};
    std::atomic<bool> quiet_{true};  // the last pass played no voice and faded nothing
    std::atomic<float> masterL_{1.0f}, masterR_{1.0f}, waveGain_{1.0f};
    std::atomic<bool> mute_{false};
    float appliedL_ = 1.0f, appliedR_ = 1.0f, appliedWave_ = 1.0f;  // audio thread: ramps
    std::unique_ptr<float[]> scratch_;
    std::unique_ptr<float[]> sum_;

    Mutex streamsMutex_;  // never taken by the mix
    std::vector<Source*> streams_ YV_GUARDED_BY(streamsMutex_);  // the sources the decoder keeps filled
    CondVar streamsChanged_;  // a stream started, or the engine is closing
    std::thread decoder_;
    std::atomic<bool> decoderStop_{false};

    std::unique_ptr<MidiSynth> ownedSynth_;
    std::atomic<MidiSynth*> synth_{nullptr};
    std::atomic<SoundfontState> sfState_{SoundfontState::None};
    std::thread sfLoader_;
};

}  // namespace yv::audio
