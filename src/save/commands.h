// The save, load and temporary-save commands, and the system-save commands.
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;

int32_t cmdSavetmp(Runtime& rt);
int32_t cmdNonesavetmp(Runtime& rt);
int32_t cmdClrsavetmp(Runtime& rt);
int32_t cmdClrsavetmpex(Runtime& rt);
int32_t cmdSystemsave(Runtime& rt);
int32_t cmdSystemload(Runtime& rt);

int32_t cmdSave(Runtime& rt);
int32_t cmdLoad(Runtime& rt);
int32_t cmdStartload(Runtime& rt);
int32_t cmdStopsave(Runtime& rt);
int32_t cmdResumesave(Runtime& rt);
int32_t cmdStopload(Runtime& rt);
int32_t cmdResumeload(Runtime& rt);
int32_t cmdStoplog(Runtime& rt);
int32_t cmdResumelog(Runtime& rt);

namespace save {
// The "ｾｰﾌﾞ" and "ﾛｰﾄﾞ" entries of both menus greyed or enabled (as stopsave / resumesave and
// stopload / resumeload); false when the window has no menu in use.
bool setSaveMenusEnabled(Runtime& rt, bool on);
}  // namespace save

}  // namespace yv
