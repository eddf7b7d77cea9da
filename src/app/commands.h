// Script commands of the shell: the menu bar, the window's title, place and visibility, cursor.
#pragma once

#include <cstdint>

namespace yv {
struct Runtime;
struct Args;

int32_t cmdCreatemenu(Runtime& rt, const Args& args);
int32_t cmdDeletemenu(Runtime& rt, const Args& args);
int32_t cmdDeletesubmenu(Runtime& rt, const Args& args);
int32_t cmdDisablebutton(Runtime& rt, const Args& args);
int32_t cmdSettitle(Runtime& rt, const Args& args);
int32_t cmdShowwindow(Runtime& rt, const Args& args);
int32_t cmdMovewindow(Runtime& rt, const Args& args);
int32_t cmdCenterwindow(Runtime& rt, const Args& args);
int32_t cmdShowcursor(Runtime& rt, const Args& args);

// Record ids these commands write to the replay log.
constexpr int32_t kRecordTitle = 88;
constexpr int32_t kRecordCursor = 91;
}  // namespace yv
