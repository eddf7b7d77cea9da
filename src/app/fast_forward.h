// Fast-forward through read text, around the renderer: the window title that says it is on,
// and the places the mode stops at that the renderer never sees.
#pragma once

namespace yv {

struct AppState;
struct Runtime;

namespace app {

struct WindowView;

// The title says " [既読スキップ]" while fast-forward is on and is put back when it ends; F12's
// notice goes first. Window thread, from its loop.
void updateFastForwardTitle(WindowView& v);

// Between steps: the mode ends where the player must act (choices on offer, the script's own
// wait for a click). Interpreter thread.
void stopFastModeWhereThePlayerActs(Runtime& rt);

}  // namespace app
}  // namespace yv
