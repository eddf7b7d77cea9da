// Menu entries whose work belongs to other subsystems. The message history opens its dialog;
// slot save and load and the volume dialog are placeholders until those exist: the entries are
// there and can be picked, and nothing happens yet.
#include "app/menu_hooks.h"

#include "text/history.h"

namespace yv::app {

void saveToSlot(Runtime&, int) {}
void loadFromSlot(Runtime&, int) {}
void openHistoryDialog(Runtime& rt) { history::show(rt); }
void openVolumeDialog(Runtime&) {}

}  // namespace yv::app
