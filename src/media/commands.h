// The sound commands: wave, MIDI and CD players, sound effects, volumes.
#pragma once

#include <cstdint>

namespace yv {

struct Runtime;

int32_t cmdPlaywave(Runtime& rt);
int32_t cmdStopwave(Runtime& rt);

int32_t cmdOpenmciwave(Runtime& rt);
int32_t cmdOpenplaymciwave(Runtime& rt);
int32_t cmdPlaymciwave(Runtime& rt);
int32_t cmdStopmciwave(Runtime& rt);
int32_t cmdClosemciwave(Runtime& rt);
int32_t cmdGetwavetime(Runtime& rt);

int32_t cmdOpenmcimidi(Runtime& rt);
int32_t cmdOpenplaymcimidi(Runtime& rt);
int32_t cmdPlaymcimidi(Runtime& rt);
int32_t cmdStopmcimidi(Runtime& rt);
int32_t cmdClosemcimidi(Runtime& rt);
int32_t cmdGetmiditime(Runtime& rt);

int32_t cmdOpenmcicdda(Runtime& rt);
int32_t cmdOpenplaymcicdda(Runtime& rt);
int32_t cmdPlaymcicdda(Runtime& rt);
int32_t cmdStopmcicdda(Runtime& rt);
int32_t cmdClosemcicdda(Runtime& rt);
int32_t cmdGetcddatime(Runtime& rt);
int32_t cmdGetcddastatus(Runtime& rt);
int32_t cmdCddaready(Runtime& rt);

int32_t cmdSetvolume(Runtime& rt);
int32_t cmdGetvolume(Runtime& rt);
int32_t cmdSetmute(Runtime& rt);
int32_t cmdFadevolume(Runtime& rt);
int32_t cmdFadevolumewait(Runtime& rt);

}  // namespace yv
