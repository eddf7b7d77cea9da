// yorvane: plays a game folder.
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "app/cli.h"
#include "app/close_signals.h"
#include "app/game_folder.h"
#include "app/input.h"
#include "app/player_settings.h"
#include "app/recent_games.h"
#include "app/shell.h"
#include "core/i18n.h"
#include "core/mutex.h"
#include "io/file_reader.h"
#include "pixels/pixel_ops.h"
#include "save/resume_file.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_launcher.h"
#include "platform/sdl/sdl_platform.h"
#include "check/game_check.h"
#include "version.h"

using namespace yv;

namespace {

std::vector<std::string> readLines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    const auto data = io::readRegular(file, int64_t{16} << 20);
    if (!data) return lines;
    size_t at = 0;
    while (at < data->size()) {
        size_t end = data->find('\n', at);
        if (end == std::string::npos) end = data->size();
        std::string line = data->substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    return lines;
}

bool haveDisplay();

// A line of the program's own on stderr, in the player's language.
void complain(const std::string& text) { std::fprintf(stderr, "yorvane: %s\n", text.c_str()); }

// Where SIGTERM, SIGINT and SIGHUP go: to the launcher while it is open, to the game while one
// plays; either closes as its window's close does, so the program ends with status 0 either
// way. A signal that comes between the two is kept for the next.
class CloseRoute {
public:
    void fire() YV_EXCLUDES(mutex_) {
        fired_ = true;
        MutexLock lock(mutex_);
        if (target_)
            target_();
        else
            pending_ = true;
    }
    void to(std::function<void()> target) YV_EXCLUDES(mutex_) {
        MutexLock lock(mutex_);
        target_ = std::move(target);
        if (target_ && pending_) {
            pending_ = false;
            target_();
        }
    }

    // A signal came: the whole program ends, not only the game the launcher started.
    bool fired() const { return fired_; }

private:
    std::atomic<bool> fired_{false};
    Mutex mutex_;
    std::function<void()> target_ YV_GUARDED_BY(mutex_);
    bool pending_ YV_GUARDED_BY(mutex_) = false;
};

// A start that fails says why on stderr; started from a desktop (stderr not a terminal) nobody
// reads that, so a window says it too.
int startFailed(const std::string& why, bool headless) {
    std::fprintf(stderr, "yorvane: %s\n", why.c_str());
    const char* box = std::getenv("YORVANE_ERROR_BOX");
    const bool wanted = box ? std::string(box) != "0" : !::isatty(STDERR_FILENO);
    if (!headless && wanted && haveDisplay()) showStartupError("Yorvane", why);
    return 1;
}

// A start that failed for a game the launcher chose: the launcher shows why and stays.
constexpr int kBackToLauncher = -1;

bool haveDisplay() {
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

// Plays one game to its end; the exit status. A start that fails returns kBackToLauncher with
// the reason in `launcherMessage` when the launcher chose the game (it shows the reason).
int play(Options opt, std::string* launcherMessage, CloseRoute& signals, TextOutFile* textOut) {
    auto failed = [&](const std::string& why, bool headless) {
        if (!launcherMessage) return startFailed(why, headless);
        std::fprintf(stderr, "yorvane: %s\n", why.c_str());
        *launcherMessage = why;
        return kBackToLauncher;
    };
    if (auto problem = app::gameFolderProblem(opt.gameDir)) return failed(*problem, opt.headless);

    // What the player chose for this game before; the command line decides for this run.
    PlayerSettingsFile remembered = PlayerSettingsFile::open(opt.gameDir);
    const PlayerSettings& mine = remembered.settings();
    if (!opt.filterGiven && mine.filter) opt.filter = *mine.filter;

    std::unique_ptr<Platform> platform;
    if (!opt.headless && !haveDisplay()) {
        complain(i18n::tr("no display found (no X11 or Wayland session); running headless"));
        opt.headless = true;
    }
    if (!opt.headless) {
        std::string why;
        SdlWindowOptions window{opt.scale, opt.filter, 0, 0};
        app::configuredScreenSize(opt.gameDir, window.gameWidth, window.gameHeight);
        if (mine.windowWidth && mine.windowHeight) {
            window.areaWidth = *mine.windowWidth;
            window.areaHeight = *mine.windowHeight;
        }
        platform = makeSdlPlatform(window, why);
        if (!platform) {
            complain(i18n::trf("cannot open a window (%s); running headless", {why}));
            opt.headless = true;
        }
    }
    if (opt.audioOut && !opt.headless)
        complain(i18n::tr("--audio-out is for headless runs; the sound goes to the sound device"));
    if (!opt.headless) {
        // What stands in for a player headless would fight the real one in a window.
        const std::pair<bool, const char*> headlessOnly[] = {{opt.autoClickMs > 0, "--auto-click"},
                                                             {!opt.clicks.empty(), "--click"},
                                                             {!opt.menuPicks.empty(), "--menu"},
                                                             {!opt.keys.empty(), "--key"},
                                                             {opt.answers.has_value(), "--answers"}};
        for (const auto& [given, name] : headlessOnly)
            if (given) complain(i18n::trf("%s is for headless runs; ignored in a window", {name}));
    }
    HeadlessPlatform* headless = nullptr;
    if (opt.headless) {
        auto h = std::make_unique<HeadlessPlatform>();
        h->setEchoDialogs(true);
        if (opt.answers) h->setAnswers(readLines(*opt.answers));
        if (opt.audioOut && !h->setAudioOut(*opt.audioOut)) {
            complain(i18n::trf("cannot write the sound file %s", {opt.audioOut->string()}));
            return 1;
        }
        headless = h.get();
        platform = std::move(h);
    }

    Shell shell(*platform, opt);
    shell.runtime().text.out.file = textOut;
    shell.rememberSettings(std::move(remembered));
    if (headless) {
        // Clicks come through the window loop as a window's would, at exact times of the clock.
        ManualClock& clock = headless->manualClock();
        if (opt.autoClickMs > 0)
            clock.schedule(opt.autoClickMs, [&shell, headless] {
                int x = 0, y = 0;
                if (app::autoClickTarget(shell.runtime(), x, y)) headless->postInput(InputEvent::move(x, y));
                headless->postInput(InputEvent::mouseButton(1, true, x, y));
            }, opt.autoClickMs);
        for (const Options::Click& c : opt.clicks) headless->scheduleClick(c.atMs, c.x, c.y, c.button);
        for (const Options::KeyPress& k : opt.keys)
            headless->scheduleKey(k.atMs, k.sdlKey, k.edge != Options::KeyPress::Edge::Up,
                                  k.edge != Options::KeyPress::Edge::Down);
        for (const Options::MenuPick& m : opt.menuPicks)
            clock.schedule(m.atMs, [&shell, m] { shell.pickMenuEntry(m.id); });
        if (opt.maxSeconds > 0)
            clock.schedule(opt.maxSeconds * 1000, [&shell] { shell.forceClose(true); });
    }
    // A signal ends the game as the window's close does: the game's variables are written.
    signals.to([&shell] { shell.requestSignalClose(); });
    struct Unroute {
        CloseRoute& r;
        ~Unroute() { r.to(nullptr); }
    } unroute{signals};
    std::string why;
    if (!shell.start(why)) return failed(why, headless != nullptr);
    // A game played in a window is offered again by the launcher.
    if (!headless) recent::remember(opt.gameDir);
    return shell.run();
}

// The recent games as the launcher shows them.
LauncherRequest launcherRequest(const std::string& message) {
    LauncherRequest r;
    r.message = message;
    r.problem = [](const std::filesystem::path& folder) { return app::gameFolderProblem(folder); };
    for (const std::filesystem::path& folder : recent::load()) {
        LauncherGame g;
        g.folder = folder;
        g.playable = !app::gameFolderProblem(folder).has_value();
        g.name = app::gameTitleUtf8(folder);
        std::error_code ec;
        g.resumable = g.playable && std::filesystem::is_regular_file(save::resumePath(folder), ec);
        r.recent.push_back(std::move(g));
    }
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    // The plain twins of the pixel loops for the whole run: slow, but a picture that differs
    // from a normal run's points at a fast loop.
    pixels::useReferenceLoops(pixels::referenceRequested(std::getenv("YORVANE_REFERENCE_PIXELS")));
    // The program's own words in the player's language, before any thread starts.
    i18n::initFromEnvironment();
    std::string error;
    auto opt = parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!opt) {
        std::fprintf(stderr, "yorvane: %s\n%s\n", error.c_str(), i18n::tr("Try 'yorvane --help' for the options."));
        return 2;
    }
    if (const char* v = std::getenv("YORVANE_VERBOSE"); v && std::string(v) == "1") opt->verbose = true;
    opt->gameDir = app::gameFolderOf(opt->gameDir);
    if (opt->help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (opt->version) {
        std::printf("yorvane %s\n%s\n", kYorvaneVersion, kYorvaneLicenceNotice);
        return 0;
    }
    if (opt->check) {
        // The game is read, never run: no window, no sound, nothing written.
        const auto findings = check::checkGame(opt->gameDir);
        if (!findings) {
            complain(i18n::trf("cannot read the game folder %s", {opt->gameDir.string()}));
            return 2;
        }
        return check::printFindings(*findings, opt->checkJson, stdout);
    }
    if (const char* w = std::getenv("YORVANE_WARNINGS"); w && std::string(w) == "1") opt->warnings = true;
    if (opt->answers && !std::filesystem::exists(*opt->answers)) {
        complain(i18n::trf("cannot read the answers file %s", {opt->answers->string()}));
        return 1;
    }

    // Opened once for the whole run (the launcher's games too); a bad path is a usage error.
    std::unique_ptr<TextOutFile> textOut;
    if (opt->textOut) {
        std::string why;
        textOut = TextOutFile::open(*opt->textOut, why);
        if (!textOut) {
            std::fprintf(stderr, "yorvane: --text-out %s: %s\n", opt->textOut->c_str(), why.c_str());
            return 2;
        }
    }

    CloseRoute route;
    CloseSignals signals([&route](int) { route.fire(); });
    // Started without a game (from a desktop menu, or in a folder that holds none): the
    // launcher lets the player choose one.
    const bool launcher = !opt->gameDirGiven && !opt->headless && haveDisplay() &&
                          app::gameFolderProblem(opt->gameDir).has_value();
    if (!launcher) return play(*opt, nullptr, route, textOut.get());
    std::string message;
    for (;;) {
        LauncherRequest request = launcherRequest(message);
        request.routeSignals = [&route](std::function<void()> close) { route.to(std::move(close)); };
        bool opened = false;
        std::string why;
        const auto choice = runLauncher(request, opened, why);
        if (!opened) {
            complain(i18n::trf("cannot open the launcher (%s)", {why}));
            return startFailed(app::gameFolderProblem(opt->gameDir).value_or(why), false);
        }
        if (!choice) return 0;  // the launcher was closed
        Options chosen = *opt;
        chosen.gameDir = choice->folder;
        chosen.gameDirGiven = true;
        chosen.continueGame = choice->resume;
        message.clear();
        const int status = play(chosen, &message, route, textOut.get());
        // A game that ended or was closed gives the launcher back; a signal ends the program,
        // and so does the time limit (it is the run's).
        if (route.fired() || (status != 0 && status != kBackToLauncher)) return status;
    }
}
