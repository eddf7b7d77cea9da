// Placeholders until the save files, the message history and the volume dialog exist: the
// entries are there and can be picked, and nothing happens yet.
#include "app/menu_hooks.h"

namespace yv::app {

void saveToSlot(Runtime&, int) {}
void loadFromSlot(Runtime&, int) {}
void openHistoryDialog(Runtime&) {}
void openVolumeDialog(Runtime&) {}

}  // namespace yv::app
