// Helpers shared by the tests: temporary folders, game folders, running the program.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/cp932.h"

namespace yv {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // Writes bytes to a file below the folder (creating folders); the name is UTF-8.
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

private:
    std::filesystem::path path_;
};

// A script given in UTF-8 stored as the Shift-JIS bytes games ship.
inline std::string sjis(const std::string& utf8) { return utf8ToCp932(utf8); }

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a program with arguments; stdout and stderr captured.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args);
// Runs the yorvane binary.
inline RunResult runYorvane(const std::vector<std::string>& args) { return runProgram(YV_BINARY, args); }

// Whether a program is on the PATH (tests that drive a real X server need xvfb-run, xdotool).
inline bool have(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The start of a shell command that runs what follows under a virtual X server: without the
// dummy drivers other tests of this process may have chosen, without leak checks (the X11
// client libraries keep a few allocations until exit), bounded in time. Each test process looks
// for a free server number from one of its own: xvfb-run -a instances started at once can pick
// the same number, and one then talks to the other's server, which goes away with the other test.
// `large` gives a desktop for a 640 x 480 game at scale 2 and the window's frame. -noreset: an X
// server resets itself when its last client leaves, and a test that starts the program again
// right after it ended could reach it mid-reset and find no display. GDK_SCALE goes: a HiDPI
// desktop's would draw the menus of every test at its scale.
inline std::string underXvfb(bool large = false) {
    return std::string("unset SDL_VIDEODRIVER SDL_AUDIODRIVER GDK_SCALE; ASAN_OPTIONS=detect_leaks=0 timeout 90 xvfb-run -a -n ") +
           std::to_string(200 + ::getpid() % 3000 * 3) + " -s '-screen 0 " + (large ? "1920x1200x24" : "1280x1024x24") +
           " -noreset' ";
}

// Plays the game in a window at scale 1 under a virtual X server: waits for the window, runs the
// shell lines `actions` (the window's id in $w; they start right after its focus is asked for),
// then waits up to `endTenths` tenths of a second for the program to end by itself. The driver's
// status: 0 as the program ended, 3 when it hung, 4 when no window came. The program's stderr is
// io/err, the driver's output io/out.
int playInWindow(const TempDir& game, const TempDir& io, const std::string& actions, int endTenths = 300);

// A screenshot read back: top-down rows of red, green, blue (empty when unreadable).
struct Picture {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* at(int x, int y) const { return rgb.data() + (static_cast<size_t>(y) * w + x) * 3; }
};
Picture readPng(const std::filesystem::path& file);

// Decodes system.dat: the integer variables it holds.
std::vector<std::pair<int, int>> readSystemDat(const std::filesystem::path& file);

}  // namespace yv
