// Menu entries whose work belongs to other subsystems: slot saves and loads go to the save
// subsystem, the history and the volume dialog open their dialogs.
#include "app/menu_hooks.h"

#include "media/media.h"
#include "runtime.h"
#include "save/slots.h"
#include "text/history.h"

namespace yv::app {

void saveToSlot(Runtime& rt, int slot) { save::requestSlot(rt, {false, slot}); }
void loadFromSlot(Runtime& rt, int slot) { save::requestSlot(rt, {true, slot}); }
void openHistoryDialog(Runtime& rt) { text::history::show(rt); }
void openVolumeDialog(Runtime& rt) { media::showVolumeDialog(rt); }

}  // namespace yv::app
