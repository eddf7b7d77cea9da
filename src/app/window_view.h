// What the window thread may touch of a running game: the shared flags and locked hand-overs.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "core/clock.h"
#include "media/video.h"
#include "platform/platform.h"
#include "ui/app_state.h"
#include "ui/config.h"

namespace yv {

struct Runtime;

namespace app {

// Input and the window's own timers run on the window thread while a step may run on the
// interpreter's: they get this view instead of the Runtime, so that what they can reach is what
// threads.h lets that thread touch.
struct WindowView {
    AppState& app;                    // atomics; the menu model and the title lock themselves
    const Config& config;             // the settings: fixed once the game has started
    Platform& platform;               // the window itself
    Clock& clock;                     // reading it is safe from any thread
    std::atomic<int32_t>& leftClick;  // the clicks the step takes (Interp)
    std::atomic<int32_t>& rightClick;
    media::MovieDevice& movie;            // `playing` and `skip`: Escape skips a movie
    const std::filesystem::path& gameDir;  // names the pictures F12 saves
    // The slot entries of a menu, read from the save folder (its thumbnail cache locks itself).
    std::function<void(MenuWhich)> refreshSlots;
    // F5 (false) and F9 (true): a quick save or load for the interpreter thread's next pause.
    std::function<void(bool load)> requestQuick;
};

// The view of rt for its window thread.
WindowView windowView(Runtime& rt);

}  // namespace app
}  // namespace yv
