// Script commands of the shell: the menu bar, the window's title, place and visibility, cursor.
#pragma once

#include <cstdint>

namespace yv {
struct Runtime;

int32_t cmdCreatemenu(Runtime& rt);
int32_t cmdDeletemenu(Runtime& rt);
int32_t cmdDeletesubmenu(Runtime& rt);
int32_t cmdDisablebutton(Runtime& rt);
int32_t cmdSettitle(Runtime& rt);
int32_t cmdShowwindow(Runtime& rt);
int32_t cmdMovewindow(Runtime& rt);
int32_t cmdCenterwindow(Runtime& rt);
int32_t cmdShowcursor(Runtime& rt);

// Record ids these commands write to the replay log.
constexpr int32_t kRecordTitle = 88;
constexpr int32_t kRecordCursor = 91;
}  // namespace yv
