// What the menus do to the game: the title, the menu lock, check marks, slot entries, skipping.
#pragma once

#include <cstdint>
#include <filesystem>

#include "core/bytes.h"
#include "ui/menus.h"

namespace yv {

class Clock;
struct AppState;
struct Runtime;

namespace app {
// The window title and the Title setting, read and changed from either thread.
Bytes windowTitle(const Runtime& rt);
void setWindowTitle(Runtime& rt, BytesView title);
// What the player knows the game by (CP932): its Title, or, while that is the default, the name
// of its folder.
Bytes gameName(const Runtime& rt);
// What the title bar shows for the title `title` (CP932): the default one names the game's
// folder, as start-up shows it.
Bytes shownTitle(BytesView title, const std::filesystem::path& gameDir);
// Marks of the speed items from the pacing interval and the no-wait setting.
void markSpeed(Runtime& rt, int32_t chosenBarId);
// Marks of the display-mode items for the current mode.
void markDisplayMode(Runtime& rt, MenuWhich which, bool full);
// Rewrites the slot entries of the menu (captions, ids, greying) from the slot files.
void refreshSlots(Runtime& rt, MenuWhich which);
// Skip to the next choice (menu bar and pop-up).
void skipToNextChoice(Runtime& rt);
// Auto mode on or off, its check mark with it (any thread).
void setAutoMode(AppState& app, Clock& clock, bool on);
// A speed item; returns false when the id is not one.
bool speedItem(Runtime& rt, int32_t id);
}  // namespace app

}  // namespace yv
