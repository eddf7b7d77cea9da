// Sound state the interpreter step consults, and what saved games keep of the players.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/bytes.h"

namespace yv {

struct Runtime;

struct Media {
    bool volumeFading = false;
    bool cdWait = false;  // cddaready: hold statements until the drive answers
    // Whether each player is playing, as its state record says (restored by loading).
    std::atomic<int32_t> wavePlaying{0}, midiPlaying{0}, cdPlaying{0};
};

namespace media {
// One increment of the volume fade; true while it is still running.
bool advanceVolumeFade(Runtime& rt);
bool cdDriveReady(Runtime& rt);

// Each player's state as its one replay record (100 wave, 102 MIDI, 104 CD audio), exactly as
// the player holds it; the save writer appends them. Empty while a player has had no request.
Bytes waveStateRecord(const Runtime& rt);
Bytes midiStateRecord(const Runtime& rt);
Bytes cdStateRecord(const Runtime& rt);

// Replaying records 100, 102 and 104: the player is closed, then given the request the record
// names (only the last request reaches the device).
void restoreWave(Runtime& rt, BytesView name, int32_t loop, int32_t kind, int32_t playing);
void restoreMidi(Runtime& rt, BytesView name, int32_t loop, int32_t kind, int32_t playing);
void restoreCd(Runtime& rt, int32_t from, int32_t to, int32_t loop, int32_t kind, int32_t playing);

// The full reset: the state records emptied and the playing flags cleared.
void resetPlayerStates(Runtime& rt);
}  // namespace media

}  // namespace yv
