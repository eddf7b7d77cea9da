// Command-line parsing.
#include "app/cli.h"

#include <cerrno>
#include <cstdlib>

#include "core/i18n.h"
#include "platform/key_names.h"
#include "platform/window_layout.h"

namespace yv {

const char* usageText() {
    return i18n::tr("usage: yorvane [options] [GAME_DIR]     run the game in GAME_DIR (default: the current folder;\n"
                    "                                         without a game there, the launcher window)\n"
                    "  --continue          start where the game was left when it was last closed before its\n"
                    "                      end (at the page it waited on); refused when its scripts changed\n"
                    "  --headless          no window; runs until the script ends (end),\n"
                    "                      the window is closed (breakapp, a close), or --max-seconds\n"
                    "  --answers FILE      headless: one answer per line for the dialogs, in order\n"
                    "                      (ok, cancel, yes, no, retry for message boxes; the UTF-8 text for\n"
                    "                      input boxes, one line per field; a slot number or \"start\" for\n"
                    "                      the load dialog);\n"
                    "                      without it each dialog takes its first button / its default text\n"
                    "  --auto-click MS     headless: a left click every MS milliseconds (on the\n"
                    "                      highlighted choice while choices are offered)\n"
                    "  --click X,Y@MS[,right]\n"
                    "                      headless: a left (or right) click at game coordinates X, Y\n"
                    "                      MS milliseconds after start; may be given more than once\n"
                    "  --menu ID@MS        headless: pick the menu entry with command id ID MS milliseconds\n"
                    "                      after start (32792 saves slot 0, 32802 loads it); may be given\n"
                    "                      more than once\n"
                    "  --key NAME@MS[,down|up]\n"
                    "                      headless: press the key SDL calls NAME (F5, Return, Left Ctrl,\n"
                    "                      Escape, Space, A, Up, Down, PageDown, ... in any letter case) MS\n"
                    "                      milliseconds after start; with down or up only hold it down or let\n"
                    "                      it go; may be given more than once\n"
                    "  --max-seconds S     stop as by a window close after S seconds (exit status 124)\n"
                    "  --screenshot FILE   on exit write the picture the window shows as PNG\n"
                    "  --text-out FILE     append each message to FILE as it is read, one UTF-8 line a page\n"
                    "                      (speaker's name first, line breaks as spaces), flushed at once;\n"
                    "                      a FIFO works, and a line no reader takes is dropped\n"
                    "  --speech-log        reading aloud (the V key) writes what it would say on stderr,\n"
                    "                      \"speak: TEXT\" a page or highlighted choice, and \"speak-stop\"\n"
                    "                      when a click cuts it, instead of speaking\n"
                    "  -f, --fullscreen    start in full screen\n"
                    "  --scale N           window scale factor (lowered when the window would not fit)\n"
                    "  --filter NAME       how the picture is scaled to the window: sharp (default),\n"
                    "                      nearest or smooth\n"
                    "  --audio-out FILE    headless: write what a player would hear to FILE as WAVE\n"
                    "                      (44100 Hz, 16-bit stereo), from start to exit\n"
                    "  --soundfont FILE    General MIDI soundfont for MIDI music (else YORVANE_SOUNDFONT,\n"
                    "                      a .sf2 file in the game folder, the system's GM soundfont)\n"
                    "  --debug             open the debug windows (the variable monitor and the screen\n"
                    "                      preview) as Debug=1 and DebugPrev=1 in [DebugWindow] would\n"
                    "  --verbose           loaders' diagnostics on stderr (also YORVANE_VERBOSE=1)\n"
                    "  --check             read the game without running it and print what is wrong in\n"
                    "                      it, one finding a line (FILE:LINE:COLUMN: warning: TEXT [CODE]);\n"
                    "                      exit status 0 clean, 1 findings, 2 folder not readable\n"
                    "  --format json       with --check: one JSON object a finding\n"
                    "  --warnings          print the same findings on stderr as the game meets them, once\n"
                    "                      per place (also YORVANE_WARNINGS=1)\n"
                    "  -v, --version       print the version\n"
                    "  -h, --help          print this help\n"
                    "Headless runs keep their own clock: waits pass at once, and --auto-click and\n"
                    "--max-seconds count that clock's milliseconds.\n");
}

namespace {

// X,Y@MS with an optional fourth field "right" (or "left").
std::optional<Options::Click> parseClick(const std::string& s) {
    Options::Click c;
    char* end = nullptr;
    const char* p = s.c_str();
    auto whole = [&](long& out) {
        errno = 0;
        out = std::strtol(p, &end, 10);
        if (end == p || errno != 0 || out < -100000 || out > 100000) return false;
        p = end;
        return true;
    };
    long x = 0, y = 0;
    if (!whole(x) || *p++ != ',' || !whole(y) || *p++ != '@') return std::nullopt;
    const double ms = std::strtod(p, &end);
    if (end == p || ms < 0 || ms > 1e9) return std::nullopt;
    p = end;
    const std::string rest = p;
    if (rest == ",right") c.button = 2;
    else if (!rest.empty() && rest != ",left") return std::nullopt;
    c.x = static_cast<int>(x);
    c.y = static_cast<int>(y);
    c.atMs = ms;
    return c;
}

// ID@MS.
std::optional<Options::MenuPick> parseMenuPick(const std::string& s) {
    const size_t at = s.find('@');
    if (at == std::string::npos || at == 0) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long id = std::strtol(s.c_str(), &end, 10);
    if (end != s.c_str() + at || errno != 0 || id <= 0 || id > 65535) return std::nullopt;
    const char* p = s.c_str() + at + 1;
    const double ms = std::strtod(p, &end);
    if (end == p || *end != '\0' || ms < 0 || ms > 1e9) return std::nullopt;
    return Options::MenuPick{static_cast<int32_t>(id), ms};
}

// NAME@MS[,down|up]; the name may itself hold '@' or ',' ("Keypad @"), so the last '@' counts.
std::optional<Options::KeyPress> parseKey(const std::string& s) {
    const size_t at = s.rfind('@');
    if (at == std::string::npos || at == 0) return std::nullopt;
    auto key = sdlKeyFromName(s.substr(0, at));
    if (!key) return std::nullopt;
    Options::KeyPress k;
    k.sdlKey = *key;
    const char* p = s.c_str() + at + 1;
    char* end = nullptr;
    k.atMs = std::strtod(p, &end);
    if (end == p || k.atMs < 0 || k.atMs > 1e9) return std::nullopt;
    const std::string rest = end;
    if (rest == ",down") k.edge = Options::KeyPress::Edge::Down;
    else if (rest == ",up") k.edge = Options::KeyPress::Edge::Up;
    else if (!rest.empty()) return std::nullopt;
    return k;
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error) {
    Options o;
    bool haveDir = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* what) -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                error = i18n::trf("%s needs %s", {a, what});
                return std::nullopt;
            }
            return args[++i];
        };
        auto number = [&](const std::string& s, double& out) {
            char* end = nullptr;
            out = std::strtod(s.c_str(), &end);
            if (s.empty() || *end != '\0' || out < 0) {
                error = i18n::trf("%s: not a number: %s", {a, s});
                return false;
            }
            return true;
        };
        if (a == "--headless") {
            o.headless = true;
        } else if (a == "--answers") {
            auto v = value(i18n::tr("a file"));
            if (!v) return std::nullopt;
            o.answers = *v;
        } else if (a == "--auto-click") {
            auto v = value(i18n::tr("milliseconds"));
            double d;
            if (!v || !number(*v, d)) return std::nullopt;
            o.autoClickMs = static_cast<int>(d);
        } else if (a == "--click") {
            auto v = value(i18n::tr("X,Y@MS"));
            if (!v) return std::nullopt;
            auto c = parseClick(*v);
            if (!c) {
                error = i18n::trf("--click: expected X,Y@MS or X,Y@MS,right: %s", {*v});
                return std::nullopt;
            }
            o.clicks.push_back(*c);
        } else if (a == "--menu") {
            auto v = value(i18n::tr("ID@MS"));
            if (!v) return std::nullopt;
            auto m = parseMenuPick(*v);
            if (!m) {
                error = i18n::trf("--menu: expected ID@MS (a command id and milliseconds): %s", {*v});
                return std::nullopt;
            }
            o.menuPicks.push_back(*m);
        } else if (a == "--key") {
            auto v = value(i18n::tr("NAME@MS"));
            if (!v) return std::nullopt;
            auto k = parseKey(*v);
            if (!k) {
                error = i18n::trf("--key: expected NAME@MS, NAME@MS,down or NAME@MS,up with a key name SDL knows: %s", {*v});
                return std::nullopt;
            }
            o.keys.push_back(*k);
        } else if (a == "--max-seconds") {
            auto v = value(i18n::tr("seconds"));
            if (!v || !number(*v, o.maxSeconds)) return std::nullopt;
        } else if (a == "--screenshot") {
            auto v = value(i18n::tr("a file"));
            if (!v) return std::nullopt;
            o.screenshot = *v;
        } else if (a == "--text-out") {
            auto v = value(i18n::tr("a file"));
            if (!v) return std::nullopt;
            o.textOut = *v;
        } else if (a == "--speech-log") {
            o.speechLog = true;
        } else if (a == "-f" || a == "--fullscreen") {
            o.fullscreen = true;
        } else if (a == "--scale") {
            auto v = value(i18n::tr("a factor"));
            if (!v) return std::nullopt;
            char* end = nullptr;
            errno = 0;
            const long n = std::strtol(v->c_str(), &end, 10);
            if (v->empty() || *end != '\0' || errno != 0 || n < 1 || n > 8) {
                error = i18n::trf("--scale: expected a whole number from 1 to 8: %s", {*v});
                return std::nullopt;
            }
            o.scale = static_cast<int>(n);
        } else if (a == "--filter") {
            auto v = value(i18n::tr("sharp, nearest or smooth"));
            if (!v) return std::nullopt;
            auto f = parseScaleFilter(*v);
            if (!f) {
                error = i18n::trf("--filter: expected sharp, nearest or smooth: %s", {*v});
                return std::nullopt;
            }
            o.filter = *f;
            o.filterGiven = true;
        } else if (a == "--audio-out") {
            auto v = value(i18n::tr("a file"));
            if (!v) return std::nullopt;
            o.audioOut = *v;
        } else if (a == "--soundfont") {
            auto v = value(i18n::tr("a file"));
            if (!v) return std::nullopt;
            o.soundfont = *v;
        } else if (a == "--continue") {
            o.continueGame = true;
        } else if (a == "--verbose") {
            o.verbose = true;
        } else if (a == "--debug") {
            o.debug = true;
        } else if (a == "--check") {
            o.check = true;
        } else if (a == "--format") {
            auto v = value(i18n::tr("a format"));
            if (!v) return std::nullopt;
            if (*v != "json" && *v != "text") {
                error = i18n::trf("--format: expected json or text: %s", {*v});
                return std::nullopt;
            }
            o.checkJson = *v == "json";
        } else if (a == "--warnings") {
            o.warnings = true;
        } else if (a == "-v" || a == "--version") {
            o.version = true;
        } else if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (!a.empty() && a[0] == '-') {
            error = i18n::trf("unknown option %s", {a});
            return std::nullopt;
        } else if (!haveDir) {
            o.gameDir = a;
            o.gameDirGiven = haveDir = true;
        } else {
            error = i18n::tr("more than one game folder given");
            return std::nullopt;
        }
    }
    if (o.continueGame && o.check) {
        error = i18n::tr("--continue is for playing, not --check");
        return std::nullopt;
    }
    if (o.checkJson && !o.check) {
        error = i18n::tr("--format is for --check");
        return std::nullopt;
    }
    return o;
}

}  // namespace yv
