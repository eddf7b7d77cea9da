// Sound and video: the wave, MIDI and CD players, the sound effects, the volumes and the volume
// fade; the movie players.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "core/bytes.h"
#include "core/in_progress.h"
#include "media/players.h"
#include "media/video.h"
#include "media/volume.h"

namespace yv {

struct Runtime;
namespace audio {
class Mixer;
}

struct Media {
    explicit Media(InProgress& p) : volumeFading(p), cdWait(p) {}

    media::FilePlayer wave{media::FilePlayer::Type::Wave};
    media::FilePlayer midi{media::FilePlayer::Type::Midi};
    media::CdPlayer cd;
    media::FramePlayer frames;  // playavi
    media::MovieDevice movie;   // playmciavi
    Volume volume;

    // The volume fade (interpreter thread).
    struct Fade {
        int32_t step = 0;
        int32_t start = -1;  // -1: from the volume as it stands
        int32_t counter = 0;
    } fade;
    ProgressFlag<bool, InProgress::kVolumeFade> volumeFading;
    // A fadevolumewait holds the halt flag: the players' ticks go on meanwhile.
    std::atomic<bool> fadeHold{false};
    ProgressFlag<bool, InProgress::kCdWait> cdWait;  // cddaready: hold statements until the drive answers
    bool started = false;
    audio::Mixer* mixer = nullptr;  // the platform's, taken at start; nullptr: no sound device
};

namespace media {
// Start-up, once the configuration is read: the device checks of the three players, the
// soundfont (loaded in the background), the CD track search and the 100 ms tick.
void start(Runtime& rt, const std::optional<std::filesystem::path>& soundfontOption);
// Shutdown: the tick stops, the players stop and close their devices, a movie stops.
void stop(Runtime& rt);
// The players' tick (window thread, or the headless clock).
void tick(Runtime& rt);
// The reset before loading: the records emptied, playing flags cleared, the fade stopped, the
// CD ready wait cleared.
void reset(Runtime& rt);
// What the players may touch of the game (the Runtime outlives the view's references).
PlayerView playerView(Runtime& rt);

// The sound effects of playwave / stopwave: one sound at a time on its own voice.
void playSound(Runtime& rt, BytesView name, int32_t wait, int32_t loop);
void stopSound(Runtime& rt);

// One increment of the volume fade; true while it is still running.
bool advanceVolumeFade(Runtime& rt);
// Starts a fade; `hold` (fadevolumewait) also sets the halt flag until the fade ends.
void startVolumeFade(Runtime& rt, int32_t step, int32_t start, bool hold);
bool cdDriveReady(Runtime& rt);

// The state records the save writer stores (records 100, 102 and 104), empty while the player
// has had no request, and the replay of each as loading restores it.
Bytes waveRecord(const Runtime& rt);
Bytes midiRecord(const Runtime& rt);
Bytes cdRecord(const Runtime& rt);
void replayWaveRecord(Runtime& rt, BytesView name, int32_t loop, int32_t kind, int32_t playing);
void replayMidiRecord(Runtime& rt, BytesView name, int32_t loop, int32_t kind, int32_t playing);
void replayCdRecord(Runtime& rt, int32_t from, int32_t to, int32_t loop, int32_t kind, int32_t playing);

// The volume dialog "ﾎﾞﾘｭｰﾑ設定" (window thread).
void showVolumeDialog(Runtime& rt);
}  // namespace media

}  // namespace yv
