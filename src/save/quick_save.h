// F5 and F9: one quick slot in the player folder, saved and loaded between steps.
#pragma once

#include <filesystem>

namespace yv {

struct Runtime;

namespace save {

// <player folder>/quick.sav: never a game slot, never in the game folder.
std::filesystem::path quickSavePath(const Runtime& rt);

enum class Quick { Save = 1, Load = 2 };
// The key (window thread): carried out by the interpreter thread between two steps. Ignored
// once the script has ended (no thread serves it) and while the game closes.
void requestQuick(Runtime& rt, Quick what);
bool quickRequested(const Runtime& rt);
// Between steps (interpreter thread): the request waits while a dialog of the menus is open.
void serveQuickRequest(Runtime& rt);

}  // namespace save
}  // namespace yv
