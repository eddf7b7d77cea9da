// The command line of the yorvane program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace yv {

struct Options {
    std::filesystem::path gameDir = ".";
    bool gameDirGiven = false;
    bool headless = false;
    std::optional<std::filesystem::path> answers;
    int autoClickMs = 0;
    // Headless clicks at game coordinates at a time: --click X,Y@MS[,right].
    struct Click {
        int x = 0, y = 0;
        double atMs = 0;
        int button = 1;  // 1 left, 2 right
    };
    std::vector<Click> clicks;
    // Headless menu picks: --menu ID@MS.
    struct MenuPick {
        int32_t id = 0;
        double atMs = 0;
    };
    std::vector<MenuPick> menuPicks;
    // Headless keys: --key NAME@MS[,down|up], a press (down then up), a hold or a release.
    struct KeyPress {
        int32_t sdlKey = 0;  // SDL's keycode for the name given
        double atMs = 0;
        enum class Edge { Press, Down, Up } edge = Edge::Press;
    };
    std::vector<KeyPress> keys;
    double maxSeconds = 0;  // 0 = no limit
    std::optional<std::filesystem::path> screenshot;
    bool fullscreen = false;
    int scale = 0;  // 0 = choose from the desktop size
    ScaleFilter filter = ScaleFilter::Sharp;
    bool filterGiven = false;
    std::optional<std::filesystem::path> soundfont;
    std::optional<std::filesystem::path> audioOut;  // headless: the mix as a WAVE file
    // --text-out: each message as read, one UTF-8 line appended (a file or a FIFO).
    std::optional<std::filesystem::path> textOut;
    // --speech-log: what reading aloud would say goes to stderr ("speak: TEXT") instead.
    bool speechLog = false;
    bool continueGame = false;  // --continue: start where the game was left (its resume file)
    bool debug = false;    // both debug windows, whatever [DebugWindow] says
    bool verbose = false;  // loaders' diagnostics on stderr (also YORVANE_VERBOSE=1)
    bool check = false;    // --check: read the game without running it and report what is wrong
    bool checkJson = false;  // --format json
    bool warnings = false;   // --warnings: the same findings on stderr while playing
    bool version = false;
    bool help = false;
};

// Parses argv; on a usage error returns nothing and sets `error` to a one-line reason.
std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error);

const char* usageText();

}  // namespace yv
