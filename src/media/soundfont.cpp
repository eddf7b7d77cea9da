// Soundfont discovery.
#include "media/soundfont.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace fs = std::filesystem;

namespace yv::media {
namespace {

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// The largest General MIDI sets run to a few hundred megabytes; FluidSynth holds a soundfont's
// samples in memory whole, so a game folder's file beyond this is not what it claims.
constexpr uintmax_t kMaxGameSoundfont = uintmax_t{512} << 20;

}  // namespace

std::optional<fs::path> findSoundfont(const std::optional<fs::path>& option, const fs::path& gameDir,
                                      std::string* notes) {
    auto note = [&](const std::string& s) {
        if (notes) *notes += s + "\n";
    };
    if (option) {
        if (isFile(*option)) return *option;
        note("soundfont not found: " + option->string());
    }
    if (const char* env = std::getenv("YORVANE_SOUNDFONT"); env && *env) {
        if (isFile(env)) return fs::path(env);
        note(std::string("soundfont not found: ") + env + " (YORVANE_SOUNDFONT)");
    }
    std::vector<fs::path> own;
    std::error_code ec;
    for (fs::directory_iterator it(gameDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string ext = it->path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (ext != ".sf2" || !it->is_regular_file(ec)) continue;
        if (it->file_size(ec) > kMaxGameSoundfont) {
            note("soundfont larger than 512 MB, not loaded: " + it->path().string());
            continue;
        }
        own.push_back(it->path());
    }
    if (!own.empty()) return *std::min_element(own.begin(), own.end());
    for (const char* p : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/soundfonts/default.sf2",
                          "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"})
        if (isFile(p)) return fs::path(p);
    return std::nullopt;
}

}  // namespace yv::media
