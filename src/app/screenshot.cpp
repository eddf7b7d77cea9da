// The F12 picture: where it goes, its name, writing it without replacing anything.
#include "app/screenshot.h"

#include <cstdio>

#include "app/menu_logic.h"
#include "core/i18n.h"

#include "core/atomic_file.h"
#include "core/cp932.h"
#include "core/paths.h"
#include "graphics/png_write.h"
#include "app/window_view.h"

namespace fs = std::filesystem;

namespace yv::app {
namespace {

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not a valid one.
size_t utf8Length(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

bool validUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const size_t n = utf8Length(s, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string folderName(const fs::path& gameDir) {
    fs::path dir = gameDir;
    if (dir.filename().empty()) dir = dir.parent_path();
    return dir.filename().string();
}

}  // namespace

std::string fileSafeName(std::string_view name) {
    const std::string text = validUtf8(name) ? std::string(name) : cp932ToUtf8(name);
    constexpr size_t kMaxBytes = 80;
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t n = std::max<size_t>(utf8Length(text, i), 1);
        if (out.size() + n > kMaxBytes) break;
        const auto c = static_cast<unsigned char>(text[i]);
        if (n == 1 && (c < 0x20 || c == 0x7F || std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) !=
                                                        std::string_view::npos))
            out += '_';
        else
            out.append(text, i, n);
        i += n;
    }
    // A name must not hide the file (a leading dot) or end in what some systems drop.
    const size_t first = out.find_first_not_of(". ");
    out.erase(0, first == std::string::npos ? out.size() : first);
    while (!out.empty() && (out.back() == ' ' || out.back() == '.')) out.pop_back();
    return out.empty() ? "game" : out;
}

std::string shotStem(std::string_view game, const os::LocalTime& t) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "-%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return std::string(game) + stamp;
}

std::optional<fs::path> writeNewShot(const fs::path& folder, const std::string& stem, std::string_view png,
                                     std::string& error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder)) {
        error = "cannot make the folder " + folder.string() + (ec ? ": " + ec.message() : std::string());
        return std::nullopt;
    }
    for (int n = 1; n <= 9999; ++n) {
        const fs::path file = folder / (n == 1 ? stem + ".png" : stem + "-" + std::to_string(n) + ".png");
        switch (atomic_file::create(file, png, error)) {
        case atomic_file::Created::Yes: return file;
        case atomic_file::Created::Exists: continue;
        case atomic_file::Created::Failed: error = file.string() + ": " + error; return std::nullopt;
        }
    }
    error = "every name for " + stem + " is taken";
    return std::nullopt;
}

std::vector<uint8_t> shownPicture(Platform& platform, const Config& config, int& w, int& h) {
    std::vector<uint8_t> frame = platform.shownFrame(w, h);
    if (frame.empty()) {
        w = config.width > 0 ? config.width : 640;
        h = config.height > 0 ? config.height : 480;
        frame.assign(static_cast<size_t>(w) * h * 3, 0);
    }
    return frame;
}

void saveScreenshot(WindowView& v) {
    int w = 0, h = 0;
    const std::vector<uint8_t> frame = shownPicture(v.platform, v.config, w, h);
    const std::string png = encodePng(frame.data(), w, h);
    const fs::path folder = fs::path(os::userPicturesFolder()) / "Yorvane";
    std::string error = "the picture cannot be encoded";
    std::optional<fs::path> file;
    if (!png.empty())
        file = writeNewShot(folder, shotStem(fileSafeName(folderName(v.gameDir)), v.platform.localTime()), png, error);
    std::string title;
    if (file) {
        std::fprintf(stderr, "window picture: %s\n", file->c_str());
        title = file->string();
    } else {
        std::fprintf(stderr, "yorvane: %s\n", i18n::trf("cannot save the window picture: %s", {error}).c_str());
        title = std::string("Yorvane: ") + i18n::tr("the picture could not be saved");
    }
    v.app.titleNotice.show(v.platform, utf8ToCp932(title), v.clock.nowMs() + kShotTitleMs);
}

void restoreTitleWhenDue(WindowView& v) {
    // The title the window had (a game without a Title of its own is named by its folder).
    v.app.titleNotice.restoreWhenDue(v.platform, shownTitle(v.app.title(), v.gameDir), v.clock.nowMs());
}

}  // namespace yv::app
