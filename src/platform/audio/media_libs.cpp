// Opening FFmpeg and FluidSynth on first use: between them they pull in some 130 shared
// libraries, which cost a game that plays no movie and no MIDI a third of its start-up.
#include "platform/audio/media_libs.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace yv::audio::libs {
namespace {

struct Loaded {
    std::once_flag once;
    bool ok = false;
    std::string error;
    std::vector<void*> handles;
};

const char* sonames(Group g) { return g == Group::Ffmpeg ? YV_FFMPEG_SONAMES : YV_FLUIDSYNTH_SONAMES; }

// The libraries are process-wide by nature (the dynamic linker keeps one copy each), and the
// forwarding functions have no Runtime to ask, so the record of what was opened is too.
Loaded& loaded(Group g) {
    static Loaded groups[2];
    return groups[g == Group::Ffmpeg ? 0 : 1];
}

void* find(const Loaded& l, const char* name) {
    for (void* h : l.handles)
        if (void* f = dlsym(h, name)) return f;
    return nullptr;
}

// Runs once, inside the group's call_once: must not ask load() or symbol() again.
void open(Group g, Loaded& l) {
    std::string_view names = sonames(g);
    while (!names.empty()) {
        const size_t colon = names.find(':');
        const std::string name(names.substr(0, colon));
        names = colon == std::string_view::npos ? std::string_view{} : names.substr(colon + 1);
        void* h = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!h) {
            const char* e = dlerror();
            l.error = "cannot open " + name + (e ? std::string(": ") + e : std::string());
            // Said once: every sound or movie that needed it then fails as an unknown codec would.
            std::fprintf(stderr, "yorvane: %s\n", l.error.c_str());
            return;
        }
        l.handles.push_back(h);
    }
    l.ok = true;
    if (g == Group::Ffmpeg) {
        // Damaged files are refused or cut without FFmpeg's own lines on stderr.
        using SetLevel = void (*)(int);
        if (auto set = reinterpret_cast<SetLevel>(find(l, "av_log_set_level"))) set(AV_LOG_FATAL);
    }
}

}  // namespace

bool load(Group group, std::string* why) {
    Loaded& l = loaded(group);
    std::call_once(l.once, [&] { open(group, l); });
    if (!l.ok && why) *why = l.error;
    return l.ok;
}

void* symbol(Group group, const char* name) {
    Loaded& l = loaded(group);
    if (!load(group)) {
        // Only reached past a missing check: say what is missing rather than jump to nowhere.
        std::fprintf(stderr, "yorvane: %s (needed for %s)\n", l.error.c_str(), name);
        std::abort();
    }
    if (void* f = find(l, name)) return f;
    std::fprintf(stderr, "yorvane: %s has no %s\n", sonames(group), name);
    std::abort();
}

}  // namespace yv::audio::libs
