// The real audio device: SDL2 calls the engine's mix from its audio thread.
#pragma once

#include <string>

#include "platform/audio/audio_engine.h"

namespace yv::audio {

class SdlAudioOutput {
public:
    ~SdlAudioOutput() { close(); }
    // Opens the default output at 44.1 kHz float stereo and starts pulling the mix; false
    // (with the reason) when there is no device to open.
    bool open(AudioEngine& engine, std::string& why);
    void close();

private:
    unsigned device_ = 0;
    AudioEngine* engine_ = nullptr;
    bool subsystem_ = false;
};

}  // namespace yv::audio
