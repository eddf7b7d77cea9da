// SDL2 audio device feeding the mixer.
#include "platform/audio/sdl_audio_output.h"

#include <SDL.h>

namespace yv::audio {
namespace {

void callback(void* user, Uint8* stream, int len) {
    static_cast<AudioEngine*>(user)->mix(reinterpret_cast<float*>(stream),
                                         static_cast<size_t>(len) / (2 * sizeof(float)));
}

}  // namespace

bool SdlAudioOutput::open(AudioEngine& engine, std::string& why) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        why = SDL_GetError();
        return false;
    }
    subsystem_ = true;
    SDL_AudioSpec want{}, have{};
    want.freq = kRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 512;  // about 12 ms
    want.callback = callback;
    want.userdata = &engine;
    // No changes allowed: SDL converts to whatever the hardware takes.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        why = SDL_GetError();
        close();
        return false;
    }
    engine.startDecoderThread();
    const SDL_AudioDeviceID device = device_;
    engine.setDeviceRest([device] { SDL_PauseAudioDevice(device, 1); }, [device] { SDL_PauseAudioDevice(device, 0); });
    engine_ = &engine;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void SdlAudioOutput::close() {
    if (engine_) engine_->setDeviceRest({}, {});
    engine_ = nullptr;
    if (device_) SDL_CloseAudioDevice(device_);
    device_ = 0;
    if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystem_ = false;
}

}  // namespace yv::audio
