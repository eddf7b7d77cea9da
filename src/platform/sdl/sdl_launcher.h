// The launcher: a small window that offers the games played last, takes a typed or pasted
// folder, and a folder (or a file in it) dropped on it, and hands back the game to start.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace yv {

struct LauncherGame {
    std::filesystem::path folder;
    std::string name;      // UTF-8: the game's title, or its folder's name
    bool playable = true;  // a folder that has gone, or holds no game any more, is greyed
    bool resumable = false;  // it was left before its end: a 続きから button goes beside it
};

// What the player chose: a game, and whether it goes on where it was left (as --continue).
struct LauncherChoice {
    std::filesystem::path folder;
    bool resume = false;
};

struct LauncherRequest {
    std::vector<LauncherGame> recent;  // most recent first
    std::string message;               // UTF-8: why the last choice did not start
    // Why a folder cannot be played (UTF-8), or nothing when it can.
    std::function<std::optional<std::string>(const std::filesystem::path&)> problem;
    // Hands over what closes the launcher as its window's close does (SIGTERM and the like),
    // once its window is open; called with nothing before the window goes.
    std::function<void(std::function<void()>)> routeSignals;
};

// Shows the launcher until a game is chosen or the window is closed (nothing). `opened` is
// false, with `why`, when no window could be opened.
std::optional<LauncherChoice> runLauncher(const LauncherRequest& request, bool& opened, std::string& why);

// What the player typed, pasted or dropped, as a folder to try: quotes and spaces around it
// go, a file:// address is decoded, ~ is the home folder, and a file names the folder it is in.
std::filesystem::path launcherFolderFrom(const std::string& text);

}  // namespace yv
