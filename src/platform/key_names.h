// SDL's keys as the game knows them, one mapping for the window and for headless --key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace yv {

// The GameKey an SDL keycode reaches the game as (kKeyOther for keys the game has no use for).
int gameKeyOf(int32_t sdlKeycode);

// The SDL keycode of a key name as SDL_GetKeyFromName takes it ("F5", "Left Ctrl", "V"), in
// any letter case; nothing for a name SDL does not know.
std::optional<int32_t> sdlKeyFromName(const std::string& name);

// Keys the window keeps to itself and never hands to the game as keys (F11: full screen).
bool windowOnlyKey(int32_t sdlKeycode);

}  // namespace yv
