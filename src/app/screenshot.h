// F12: the picture the window shows saved as a PNG in the player's pictures folder, never over
// an earlier one; the window title says where for a few seconds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/os.h"
#include "ui/app_state.h"

namespace yv {

struct Config;
class Platform;

namespace app {
struct WindowView;
}

namespace app {

// How long the title shows where the picture went.
constexpr uint32_t kShotTitleMs = TitleNotice::kShowMs;

// Saves the picture and shows its path in the title (window thread).
void saveScreenshot(WindowView& v);
// Puts the game's title back once the path has been shown long enough (window loop).
void restoreTitleWhenDue(WindowView& v);

// The picture the window shows (screen 0 as presented, a movie frame included), 24-bit
// bottom-up BGR; black at the game's size when nothing has been presented yet.
std::vector<uint8_t> shownPicture(Platform& platform, const Config& config, int& width, int& height);

// A folder name as part of a file name: valid UTF-8 (a raw Shift-JIS name is converted), no
// separators, control characters or characters other systems refuse, at most 80 bytes; "game"
// when nothing is left.
std::string fileSafeName(std::string_view name);
// "<game>-YYYYmmdd-HHMMSS".
std::string shotStem(std::string_view game, const os::LocalTime& t);
// Writes the PNG bytes as <folder>/<stem>.png, or <stem>-2.png, -3 ... when that name is taken
// (the folder is made when missing); the file written, or nothing (`error` says why).
std::optional<std::filesystem::path> writeNewShot(const std::filesystem::path& folder, const std::string& stem,
                                                  std::string_view png, std::string& error);

}  // namespace app
}  // namespace yv
