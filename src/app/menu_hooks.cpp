// Menu entries whose work belongs to other subsystems. The message history opens its dialog;
// the volume dialog its own; slot save and load are placeholders until those exist: the entries
// are there and can be picked, and nothing happens yet.
#include "app/menu_hooks.h"

#include "media/media.h"
#include "text/history.h"

namespace yv::app {

void saveToSlot(Runtime&, int) {}
void loadFromSlot(Runtime&, int) {}
void openHistoryDialog(Runtime& rt) { history::show(rt); }
void openVolumeDialog(Runtime& rt) { media::showVolumeDialog(rt); }

}  // namespace yv::app
