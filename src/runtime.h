// The one object that owns all state of a running game; command handlers receive it.
#pragma once

#include <filesystem>
#include <memory>

#include "ui/app_state.h"
#include "ui/config.h"
#include "io/resources.h"
#include "graphics/screens.h"
#include "media/media.h"
#include "platform/platform.h"
#include "save/save_state.h"
#include "lang/alerts.h"
#include "lang/interp.h"
#include "text/choices.h"
#include "text/text_state.h"

namespace yv {

struct PlayWarnings;

struct Runtime final : Alerts {
    Runtime(Platform& platform, std::filesystem::path gameDir);
    ~Runtime();  // the players stop first: the platform's tick must not outlive them
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    Platform& platform;
    std::filesystem::path gameDir;
    Bytes startFolder;  // the game folder as scripts see it: CP932, ending in '/'

    Config config;
    Resources resources;
    Interp interp;
    // Their flags of what is in progress keep the interpreter's one mask.
    Screens screens{interp.inProgress};
    TextState text{interp.inProgress};
    Choices choices{interp.inProgress};
    SaveState save;
    Media media{interp.inProgress};
    AppState app;  // menus, display mode, menu lock and skip flags
    bool verbose = false;  // --verbose: loaders write their diagnostics to stderr
    // --warnings: what the game meets that a script author should know of (play_warnings.h);
    // null when off, so that the runtime's only cost is a test of this pointer.
    std::unique_ptr<PlayWarnings> warnings;

    Clock& clock() { return platform.clock(); }

    // The one sleep of the interpreter thread: lets ms pass on the clock unless the game is
    // closing (a close, a signal, the time limit, the thread told to stop), which ends it at
    // once. False when cut short that way; the caller then leaves whatever loop it is in.
    bool sleep(double ms);
    bool closing() const { return interp.closing != 0; }

    // A modal message box; an empty caption means the window title.
    int32_t messageBox(BytesView text, BytesView caption, MsgButtons buttons = MsgButtons::Ok,
                       MsgIcon icon = MsgIcon::None);
    // The language's complaints: a plain message box under the window title.
    void alert(BytesView text) override { messageBox(text, ""); }

    // Start values of everything (the start-up variant of the full reset): all variables
    // cleared, halt flag cleared.
    void resetForStart();
    // The reset that precedes loading a game: variables 901..2020 survive, halt stays.
    void resetForLoad();
};

}  // namespace yv
