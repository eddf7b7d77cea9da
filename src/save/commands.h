// The save, load and temporary-save commands, and the system-save commands.
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;
struct Args;

int32_t cmdSavetmp(Runtime& rt, const Args& args);
int32_t cmdNonesavetmp(Runtime& rt, const Args& args);
int32_t cmdClrsavetmp(Runtime& rt, const Args& args);
int32_t cmdClrsavetmpex(Runtime& rt, const Args& args);
int32_t cmdSystemsave(Runtime& rt, const Args& args);
int32_t cmdSystemload(Runtime& rt, const Args& args);

int32_t cmdSave(Runtime& rt, const Args& args);
int32_t cmdLoad(Runtime& rt, const Args& args);
int32_t cmdStartload(Runtime& rt, const Args& args);
int32_t cmdStopsave(Runtime& rt, const Args& args);
int32_t cmdResumesave(Runtime& rt, const Args& args);
int32_t cmdStopload(Runtime& rt, const Args& args);
int32_t cmdResumeload(Runtime& rt, const Args& args);
int32_t cmdStoplog(Runtime& rt, const Args& args);
int32_t cmdResumelog(Runtime& rt, const Args& args);

namespace save {
// The "ｾｰﾌﾞ" and "ﾛｰﾄﾞ" entries of both menus greyed or enabled (as stopsave / resumesave and
// stopload / resumeload); false when the window has no menu in use.
bool setSaveMenusEnabled(Runtime& rt, bool on);
}  // namespace save

}  // namespace yv
