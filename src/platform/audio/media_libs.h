// FFmpeg and FluidSynth, opened on first use instead of at start-up.
#pragma once

#include <string>

namespace yv::audio::libs {

enum class Group { Ffmpeg, FluidSynth };

// Opens the group's libraries once (later calls only read the outcome); false with the reason
// when one cannot be opened. Every path into FFmpeg or FluidSynth asks this first.
bool load(Group group, std::string* why = nullptr);

// The address of one of the group's functions, for the forwarding definitions; the group must
// have loaded.
void* symbol(Group group, const char* name);

}  // namespace yv::audio::libs
