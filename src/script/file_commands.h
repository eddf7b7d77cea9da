// File and folder commands, and the folder and name-matching helpers they share.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/bytes.h"

namespace yv {

struct Runtime;
struct Args;

int32_t cmdCopyfile(Runtime& rt, const Args& args);
int32_t cmdDeletefile(Runtime& rt, const Args& args);
int32_t cmdRename(Runtime& rt, const Args& args);
int32_t cmdFindfile(Runtime& rt, const Args& args);
int32_t cmdGetfiletime(Runtime& rt, const Args& args);
int32_t cmdGetcurrentdirectry(Runtime& rt, const Args& args);
int32_t cmdGetmydocdirectry(Runtime& rt, const Args& args);
int32_t cmdGetwindowsdirectry(Runtime& rt, const Args& args);
int32_t cmdGetsystemdirectry(Runtime& rt, const Args& args);

namespace script {
// The "Windows" and "system" folders of a game: folders of the game folder itself.
Bytes windowsFolder(const Runtime& rt);
Bytes systemFolder(const Runtime& rt);
// Case-insensitive match of a name against a pattern with '*' and '?' (UTF-8, folded).
bool wildcardMatch(std::string_view pattern, std::string_view name);
}  // namespace script

}  // namespace yv
