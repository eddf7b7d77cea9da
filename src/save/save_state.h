// Replay log, audio state records, load requests and the system save.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/bytes.h"
#include "save/replay_log.h"

namespace yv {

struct Runtime;

// system.dat is XORed with this byte; files written with another key cannot be read.
constexpr unsigned char kSystemSaveKey = 'Y';

struct SaveState {
    ReplayLog log;
    // The audio state records (100, 102, 104) are kept by the players: media::waveRecord() ...
    std::atomic<int32_t> loadRequested{0};
    Bytes loadFile;
};

namespace save {
// Runs a load requested by startload; false when it failed.
bool performRequestedLoad(Runtime& rt);
// system.dat: integer variables 901..2000 that are not 0.
Bytes systemSaveText(const Runtime& rt);
bool writeSystemSave(Runtime& rt);
void readSystemSave(Runtime& rt);
}  // namespace save

}  // namespace yv
