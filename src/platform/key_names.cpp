// SDL keycodes to the game's keys, and key names to SDL keycodes.
#include "platform/key_names.h"

#include <SDL_keyboard.h>

#include "platform/platform.h"

namespace yv {

int gameKeyOf(int32_t k) {
    switch (k) {
    case SDLK_ESCAPE: return kKeyEscape;
    case SDLK_SPACE: return kKeySpace;
    case SDLK_RETURN: case SDLK_KP_ENTER: return kKeyEnter;
    case SDLK_LCTRL: case SDLK_RCTRL: return kKeyCtrl;
    case SDLK_UP: return kKeyUp;
    case SDLK_DOWN: return kKeyDown;
    case SDLK_PAGEDOWN: return kKeyPageDown;
    case SDLK_a: return kKeyA;
    case SDLK_v: return kKeyV;
    case SDLK_F12: return kKeyF12;
    case SDLK_F5: return kKeyF5;
    case SDLK_F9: return kKeyF9;
    case SDLK_TAB: return kKeyTab;
    case SDLK_BACKSPACE: return kKeyBackspace;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return kKeyShift;
    default: return kKeyOther;
    }
}

std::optional<int32_t> sdlKeyFromName(const std::string& name) {
    if (name.empty()) return std::nullopt;
    std::string n = name;
    // A single letter names its key in either case; SDL's keycode for a letter is the small one.
    if (n.size() == 1 && n[0] >= 'A' && n[0] <= 'Z') n[0] = static_cast<char>(n[0] - 'A' + 'a');
    const SDL_Keycode k = SDL_GetKeyFromName(n.c_str());
    if (k == SDLK_UNKNOWN) return std::nullopt;
    return static_cast<int32_t>(k);
}

bool windowOnlyKey(int32_t k) { return k == SDLK_F11; }

}  // namespace yv
