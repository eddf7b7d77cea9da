// Menu entries whose work belongs to other subsystems: slot save and load, the message history
// and the volume dialog. They run on the window thread.
#pragma once

namespace yv {
struct Runtime;

namespace app {
void saveToSlot(Runtime& rt, int slot);
void loadFromSlot(Runtime& rt, int slot);
void openHistoryDialog(Runtime& rt);
void openVolumeDialog(Runtime& rt);
}  // namespace app
}  // namespace yv
