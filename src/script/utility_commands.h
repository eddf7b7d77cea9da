// System, file and utility commands: files, folders, the clock, random numbers, variable
// filling, other programs, and the message and text-entry boxes.
#pragma once

#include <cstdint>

#include "core/bytes.h"

namespace yv {

struct Runtime;

// Files and folders (file_commands.cpp).
int32_t cmdCopyfile(Runtime& rt);
int32_t cmdDeletefile(Runtime& rt);
int32_t cmdRename(Runtime& rt);
int32_t cmdFindfile(Runtime& rt);
int32_t cmdGetfiletime(Runtime& rt);
int32_t cmdGetcurrentdirectry(Runtime& rt);
int32_t cmdGetmydocdirectry(Runtime& rt);
int32_t cmdGetwindowsdirectry(Runtime& rt);
int32_t cmdGetsystemdirectry(Runtime& rt);

// Clock, random numbers, strings and variable filling (variable_commands.cpp).
int32_t cmdGetyear(Runtime& rt);
int32_t cmdGetmonth(Runtime& rt);
int32_t cmdGetday(Runtime& rt);
int32_t cmdGethour(Runtime& rt);
int32_t cmdGetminute(Runtime& rt);
int32_t cmdGetsecond(Runtime& rt);
int32_t cmdGetrand(Runtime& rt);
int32_t cmdGetstrlen(Runtime& rt);
int32_t cmdMemcmp(Runtime& rt);
int32_t cmdMemoryset(Runtime& rt);
int32_t cmdZeromemory(Runtime& rt);

// Dialogs and other programs (dialog_commands.cpp).
int32_t cmdExec(Runtime& rt);
int32_t cmdMessagebox(Runtime& rt);
int32_t cmdInputbox(Runtime& rt);
int32_t cmdInputbox2(Runtime& rt);

namespace util {
// The message box escapes (\n, \t, \\ ...), applied one after the other in their fixed order.
Bytes applyMessageEscapes(BytesView text);
// True when every second byte, from the first on, is a lead byte (full-width text only).
bool onlyDoubleByte(BytesView entry);
// The "Windows" and "system" folders of a game: folders of the game folder itself.
Bytes windowsFolder(const Runtime& rt);
Bytes systemFolder(const Runtime& rt);
// Case-insensitive match of a name against a pattern with '*' and '?' (UTF-8, folded).
bool wildcardMatch(std::string_view pattern, std::string_view name);
}  // namespace util

}  // namespace yv
