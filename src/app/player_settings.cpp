// Reading and writing the player's remembered settings.
#include "app/player_settings.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "core/atomic_file.h"
#include "core/ini_lines.h"
#include "core/user_dirs.h"
#include "io/file_reader.h"
#include "platform/window_layout.h"

namespace fs = std::filesystem;

namespace yv {
namespace {

constexpr std::string_view kSection = "[Yorvane]";
constexpr int64_t kMaxFileBytes = 64 * 1024;  // a few hundred bytes are written

const char* speedName(TextSpeed s) {
    switch (s) {
    case TextSpeed::Fast: return "fast";
    case TextSpeed::Normal: return "normal";
    case TextSpeed::Slow: return "slow";
    case TextSpeed::NoWait: return "nowait";
    }
    return "normal";
}

std::optional<TextSpeed> parseSpeed(std::string_view v) {
    for (TextSpeed s : {TextSpeed::Fast, TextSpeed::Normal, TextSpeed::Slow, TextSpeed::NoWait})
        if (v == speedName(s)) return s;
    return std::nullopt;
}

std::optional<int32_t> wholeIn(std::string_view v, int32_t lo, int32_t hi) {
    int32_t n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (ec != std::errc{} || end != v.data() + v.size() || n < lo || n > hi) return std::nullopt;
    return n;
}
}  // namespace

std::string formatPlayerSettings(const PlayerSettings& s, const std::string& gameKey) {
    std::string out = "; Yorvane: what the player chose in the window for one game\n";
    out += kSection;
    out += "\nFormat=1\nGame=" + gameKey + "\n";
    auto put = [&out](const char* key, const std::string& v) { out += std::string(key) + "=" + v + "\n"; };
    if (s.windowWidth && s.windowHeight) {
        put("WindowWidth", std::to_string(*s.windowWidth));
        put("WindowHeight", std::to_string(*s.windowHeight));
    }
    if (s.fullScreen) put("FullScreen", *s.fullScreen ? "1" : "0");
    if (s.filter) put("Filter", scaleFilterName(*s.filter));
    if (s.speed) put("TextSpeed", speedName(*s.speed));
    if (s.autoAdvanceMs) put("AutoAdvance", std::to_string(*s.autoAdvanceMs));
    if (s.autoPerCharMs) put("AutoPerChar", std::to_string(*s.autoPerCharMs));
    if (s.volume) put("Volume", std::to_string(*s.volume));
    if (s.mute) put("Mute", *s.mute ? "1" : "0");
    if (s.waveVolume) put("WaveVolume", std::to_string(*s.waveVolume));
    if (s.readSkip) put("ReadSkip", *s.readSkip ? "1" : "0");
    if (s.skipUnread) put("SkipUnread", *s.skipUnread ? "1" : "0");
    if (s.copyText) put("CopyText", *s.copyText ? "1" : "0");
    if (s.speech) put("Speech", *s.speech ? "1" : "0");
    return out;
}

std::optional<PlayerSettings> parsePlayerSettings(std::string_view text, const std::string& gameKey,
                                                  std::string& why) {
    PlayerSettings s;
    bool formatSeen = false, gameSeen = false;
    int line = 0;
    const ini::Outcome read = ini::readSection(text, kSection, line, [&](const ini::Line& l) {
        const std::string_view key = l.key, v = l.value;
        bool ok = true;
        auto whole = [&](std::optional<int32_t>& out, int32_t lo, int32_t hi) {
            out = wholeIn(v, lo, hi);
            ok = out.has_value();
        };
        auto flag = [&](std::optional<bool>& out) {
            ok = v == "0" || v == "1";
            if (ok) out = v == "1";
        };
        if (key == "Format") {
            formatSeen = true;
            if (v != "1") {
                why = "written by another version (Format=" + std::string(v) + ")";
                return false;
            }
        } else if (key == "Game") {
            gameSeen = true;
            if (std::string(l.rawValue) != gameKey) {
                why = "it belongs to the game in " + std::string(l.rawValue);
                return false;
            }
        } else if (key == "WindowWidth") {
            whole(s.windowWidth, 1, 32768);
        } else if (key == "WindowHeight") {
            whole(s.windowHeight, 1, 32768);
        } else if (key == "FullScreen") {
            flag(s.fullScreen);
        } else if (key == "Filter") {
            s.filter = parseScaleFilter(v);
            ok = s.filter.has_value();
        } else if (key == "TextSpeed") {
            s.speed = parseSpeed(v);
            ok = s.speed.has_value();
        } else if (key == "AutoAdvance") {
            whole(s.autoAdvanceMs, 0, 600000);
        } else if (key == "AutoPerChar") {
            whole(s.autoPerCharMs, 0, 10000);
        } else if (key == "Volume") {
            whole(s.volume, 0, 100);
        } else if (key == "Mute") {
            flag(s.mute);
        } else if (key == "WaveVolume") {
            whole(s.waveVolume, 0, 65535);
        } else if (key == "ReadSkip") {
            flag(s.readSkip);
        } else if (key == "SkipUnread") {
            flag(s.skipUnread);
        } else if (key == "CopyText") {
            flag(s.copyText);
        } else if (key == "Speech") {
            flag(s.speech);
        }
        if (!ok) why = "bad value on line " + std::to_string(l.number) + ": " + std::string(l.text);
        return ok;
    });
    if (read == ini::Outcome::Stopped) return std::nullopt;
    if (read == ini::Outcome::NotKeyValue) {
        why = "line " + std::to_string(line) + " is not KEY=VALUE";
        return std::nullopt;
    }
    if (read == ini::Outcome::NoSection || !formatSeen || !gameSeen) {
        why = read == ini::Outcome::Read ? "Format or Game missing" : "not a Yorvane settings file";
        return std::nullopt;
    }
    // A size is remembered whole or not at all.
    if (s.windowWidth.has_value() != s.windowHeight.has_value()) s.windowWidth = s.windowHeight = std::nullopt;
    return s;
}

PlayerSettingsFile PlayerSettingsFile::open(const fs::path& gameFolder) {
    PlayerSettingsFile f;
    const fs::path base = user_dirs::configFolder();
    const std::string key = user_dirs::canonicalGameFolder(gameFolder).string();
    // A path that cannot stand on one line cannot be told apart from another game's.
    if (base.empty() || key.find_first_of("\r\n") != std::string::npos) return f;
    f.key_ = key;
    f.file_ = base / (user_dirs::gameFolderKeyName(key) + ".ini");
    io::ReadFailure failure = io::ReadFailure::None;
    const auto data = io::readRegular(f.file_, kMaxFileBytes, &failure);
    if (!data) {
        if (failure != io::ReadFailure::Missing)
            std::fprintf(stderr, "yorvane: ignoring the settings file %s: %s\n", f.file_.c_str(),
                         failure == io::ReadFailure::TooLarge    ? "too large"
                         : failure == io::ReadFailure::NotRegular ? "not a regular file"
                                                                  : "cannot be read");
        return f;
    }
    std::string why;
    if (auto s = parsePlayerSettings(*data, key, why))
        f.s_ = *s;
    else
        std::fprintf(stderr, "yorvane: ignoring the settings file %s: %s\n", f.file_.c_str(), why.c_str());
    return f;
}

void PlayerSettingsFile::flush() {
    if (!pending_) return;
    pending_ = false;
    if (file_.empty()) return;
    std::error_code ec;
    fs::create_directories(file_.parent_path(), ec);
    std::string error;
    if (!atomic_file::replace(file_, {formatPlayerSettings(s_, key_)}, error) && !warned_) {
        warned_ = true;  // once a run: the game plays on without it
        std::fprintf(stderr, "yorvane: cannot keep the settings in %s: %s\n", file_.c_str(), error.c_str());
    }
}

}  // namespace yv
