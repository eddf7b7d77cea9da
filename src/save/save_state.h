// Replay log, audio state records, the save folder, load requests and the system save.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>

#include "core/atomic_file.h"
#include "core/bytes.h"
#include "core/mutex.h"
#include "save/pages.h"
#include "save/read_memory.h"
#include "save/replay_log.h"
#include "save/thumbnails.h"

namespace yv {

struct Runtime;

// system.dat is XORed with this byte; files written with another key cannot be read.
constexpr unsigned char kSystemSaveKey = 'Y';

// A slot entry the player picked in a menu, carried out by the interpreter thread between
// steps (so a save never reads state that a step is changing).
struct SlotRequest {
    bool load = false;
    int slot = 0;
};

struct SaveState {
    ReplayLog log;
    // The audio state records (100, 102, 104) are kept by the players: media::waveRecord() ...
    std::atomic<int32_t> loadRequested{0};
    Bytes loadFile;
    // Set by a load; the statement that loaded leaves the read position where the load put it.
    std::atomic<int32_t> justLoaded{0};

    // Slot files and system.dat: the game folder, or the per-user folder when the game folder
    // cannot be written (chosen at start-up).
    std::filesystem::path folder;
    bool inGameFolder = true;
    // Every file write goes through these calls (tests make them fail).
    atomic_file::FileOps* fileOps = &atomic_file::systemOps();

    Mutex requestMutex;
    std::deque<SlotRequest> slotRequests YV_GUARDED_BY(requestMutex);

    ThumbnailCache thumbnails;

    // The state at the last page ends; pagesSeen: the text's page-wait count it was last taken at.
    Pages pages;
    uint32_t pagesSeen = 0;

    // F5 and F9 (window thread) for the interpreter thread: 0 nothing, 1 quick save, 2 quick load.
    std::atomic<int32_t> quickRequest{0};
    // save::progress() at the last save, load or start (interpreter thread).
    uint32_t progressMark = 0;
    // The pages the player has seen (fast-forward's memory): never saved, never rolled back.
    ReadMemory readText;
    // Whether the menu entry that goes back a page was last left enabled.
    bool backOffered = false;
};

namespace save {
// The integer variables system.dat holds: they outlive a game, and a going back a page.
constexpr int kSystemVarFirst = 901;
constexpr int kSystemVarLast = 2000;

// Runs a load requested by startload; false when it failed.
bool performRequestedLoad(Runtime& rt);
// system.dat: integer variables 901..2000 that are not 0.
Bytes systemSaveText(const Runtime& rt);
bool writeSystemSave(Runtime& rt);
void readSystemSave(Runtime& rt);
}  // namespace save

}  // namespace yv
