// The 31 save slots: their files and captions, saving and loading from the menus, and the load
// dialog of startload.
#pragma once

#include <filesystem>

#include "core/bytes.h"
#include "save/save_state.h"

namespace yv {

struct Runtime;

namespace save {

std::filesystem::path slotPath(const Runtime& rt, int slot);
// The slot label and the file's time: " 7:  2024/05/01 12:00:00" (dashes for a missing file).
Bytes slotCaption(const Runtime& rt, int slot);

// The menu entries: save asks before replacing an existing file; load says when the file is
// missing or cannot be read.
void saveToSlot(Runtime& rt, int slot);
void loadFromSlot(Runtime& rt, int slot);

// A menu pick from the window thread: carried out by the interpreter thread before its next
// step, or at once when no interpreter thread runs (the script has ended).
void requestSlot(Runtime& rt, SlotRequest request);
// The interpreter thread carries out the picks waiting for it.
// Whether a request waits to be served (the halted interpreter wakes for it).
bool slotRequested(Runtime& rt);
void serveSlotRequests(Runtime& rt);

// startload: the load dialog; true when a load was requested for the end of this step.
bool startLoad(Runtime& rt);

}  // namespace save
}  // namespace yv
