// The sound commands: wave, MIDI and CD players, sound effects, volumes.
#pragma once

#include <cstdint>

#include "lang/args.h"

namespace yv {

struct Runtime;

int32_t cmdPlaywave(Runtime& rt, const Args& args);
int32_t cmdStopwave(Runtime& rt, const Args& args);

int32_t cmdOpenmciwave(Runtime& rt, const Args& args);
int32_t cmdOpenplaymciwave(Runtime& rt, const Args& args);
int32_t cmdPlaymciwave(Runtime& rt, const Args& args);
int32_t cmdStopmciwave(Runtime& rt, const Args& args);
int32_t cmdClosemciwave(Runtime& rt, const Args& args);
int32_t cmdGetwavetime(Runtime& rt, const Args& args);

int32_t cmdOpenmcimidi(Runtime& rt, const Args& args);
int32_t cmdOpenplaymcimidi(Runtime& rt, const Args& args);
int32_t cmdPlaymcimidi(Runtime& rt, const Args& args);
int32_t cmdStopmcimidi(Runtime& rt, const Args& args);
int32_t cmdClosemcimidi(Runtime& rt, const Args& args);
int32_t cmdGetmiditime(Runtime& rt, const Args& args);

int32_t cmdOpenmcicdda(Runtime& rt, const Args& args);
int32_t cmdOpenplaymcicdda(Runtime& rt, const Args& args);
int32_t cmdPlaymcicdda(Runtime& rt, const Args& args);
int32_t cmdStopmcicdda(Runtime& rt, const Args& args);
int32_t cmdClosemcicdda(Runtime& rt, const Args& args);
int32_t cmdGetcddatime(Runtime& rt, const Args& args);
int32_t cmdGetcddastatus(Runtime& rt, const Args& args);
int32_t cmdCddaready(Runtime& rt, const Args& args);

int32_t cmdSetvolume(Runtime& rt, const Args& args);
int32_t cmdGetvolume(Runtime& rt, const Args& args);
int32_t cmdSetmute(Runtime& rt, const Args& args);
int32_t cmdFadevolume(Runtime& rt, const Args& args);
int32_t cmdFadevolumewait(Runtime& rt, const Args& args);

}  // namespace yv
