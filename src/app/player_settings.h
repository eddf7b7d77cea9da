// What the player chose in the window for one game (window size, full screen, filter, speeds,
// volumes, fast-forward, reading aloud), remembered between runs in $XDG_CONFIG_HOME/yorvane/<folder>-<hash>.ini.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace yv {

enum class TextSpeed { Fast, Normal, Slow, NoWait };

// A setting the player never changed is absent: the game's own start value (or the command
// line's) applies.
struct PlayerSettings {
    std::optional<int32_t> windowWidth, windowHeight;  // the picture area in window mode
    std::optional<bool> fullScreen;
    std::optional<ScaleFilter> filter;
    std::optional<TextSpeed> speed;
    std::optional<int32_t> autoAdvanceMs;  // auto mode's pause at a page end
    std::optional<int32_t> autoPerCharMs;  // and what each character shown adds to it
    std::optional<int32_t> volume;         // master volume, percent
    std::optional<bool> mute;
    std::optional<int32_t> waveVolume;     // 0..65535
    // Fast-forward through read text: the mode as the player last turned it (Tab, 既読スキップ),
    // and whether it passes unread text too (未読もスキップ).
    std::optional<bool> readSkip;
    std::optional<bool> skipUnread;
    // Each page's text to the clipboard once read (テキストをコピー).
    std::optional<bool> copyText;
    // Pages and choices read aloud (読み上げ, V).
    std::optional<bool> speech;

    bool operator==(const PlayerSettings&) const = default;
};

// The file's text for the game known by `gameKey` (its canonical folder path).
std::string formatPlayerSettings(const PlayerSettings& s, const std::string& gameKey);
// Nothing for a file that another program wrote, that belongs to another game or is damaged;
// `why` then says so in a few words. Keys this version does not know are passed over.
std::optional<PlayerSettings> parsePlayerSettings(std::string_view text, const std::string& gameKey,
                                                  std::string& why);

// The remembered settings of one game and their file. Used on the window thread only.
class PlayerSettingsFile {
public:
    PlayerSettingsFile() = default;  // remembers nothing (no place to keep it)
    // Reads the game's file; a broken or foreign one is passed over with one line on stderr.
    static PlayerSettingsFile open(const std::filesystem::path& gameFolder);

    const std::filesystem::path& file() const { return file_; }
    const PlayerSettings& settings() const { return s_; }
    // The player changed something: written at once, or, with `settleMs`, once no change has
    // come for that long (a window being dragged to a new size) or at flush().
    template <class F>
    void change(F&& edit, uint32_t nowMs, uint32_t settleMs = 0) {
        PlayerSettings before = s_;
        edit(s_);
        if (s_ == before) return;
        pending_ = true;
        dueMs_ = nowMs + settleMs;
        if (settleMs == 0) flush();
    }
    // Writes a change whose time has come.
    void tick(uint32_t nowMs) {
        if (pending_ && static_cast<int32_t>(nowMs - dueMs_) >= 0) flush();
    }
    void flush();

private:
    std::filesystem::path file_;
    std::string key_;
    PlayerSettings s_;
    bool pending_ = false;
    uint32_t dueMs_ = 0;
    bool warned_ = false;
};

}  // namespace yv
