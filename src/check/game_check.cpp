// The walk over a game: start.ini, the first script, every script a jump names literally, and
// the labels and files they name, found the way the runtime finds them.
#include "check/game_check.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <system_error>

#include "check/ini_check.h"
#include "check/script_scan.h"
#include "check/suggest.h"
#include "core/cp932.h"
#include "io/ini.h"
#include "io/resources.h"
#include "lang/interp.h"
#include "lang/script_source.h"
#include "ui/config.h"

namespace yv::check {
namespace {

// Scripts are told apart as the resource reader tells files apart: letter case and the
// direction of slashes do not matter.
Bytes keyOf(BytesView name) {
    Bytes k = lowerAscii(name);
    std::replace(k.begin(), k.end(), '\\', '/');
    return k;
}

std::string display(BytesView name) { return cp932ToUtf8(name); }

struct Scanned {
    Bytes name;
    std::unique_ptr<ScriptSource> source;  // the text, with the runtime's own label search
    ScriptScan scan;
    LineMap lines;
    const Bytes& text() const { return source->text(); }
};

struct Game {
    Resources res;
    Interp in;
    std::vector<Finding> out;
    std::map<Bytes, size_t> scripts;  // key -> index in `files`
    std::deque<Scanned> files;
    std::map<Bytes, bool> exists;
    bool computedSaid = false;

    explicit Game(const std::filesystem::path& dir) : res(dir) {}

    bool has(BytesView name) {
        auto [it, fresh] = exists.try_emplace(keyOf(name), false);
        if (fresh) it->second = res.exists(name);
        return it->second;
    }

    Finding at(const Scanned& s, size_t offset, const char* code, std::string text) const {
        Finding f;
        f.file = display(s.name);
        std::tie(f.line, f.column) = s.lines.at(offset);
        f.code = code;
        f.text = std::move(text);
        return f;
    }

    // Reads and scans a script once; nothing when it cannot be read.
    const Scanned* script(BytesView name) {
        const Bytes key = keyOf(name);
        if (auto it = scripts.find(key); it != scripts.end()) return &files[it->second];
        auto data = res.read(name);
        if (!data) return nullptr;
        // As the interpreter takes it: up to its first zero byte.
        if (const size_t zero = data->find('\0'); zero != Bytes::npos) data->resize(zero);
        scripts.emplace(key, files.size());
        Scanned& s = files.emplace_back(Scanned{Bytes(name), std::make_unique<ScriptSource>(std::move(*data)), {}, LineMap("")});
        s.lines = LineMap(s.text());
        s.scan = scanScript(s.text(), in);
        return &s;
    }
};

void checkLabel(Game& g, const Scanned& s, const Reference& r) {
    const Scanned* target = r.labelFile.empty() ? &s : g.script(r.labelFile);
    if (!target) return;  // said as a missing script
    if (target->source->findLabel(r.name) > 0) return;
    std::vector<std::string_view> names;
    for (const Label& l : target->scan.labels) names.emplace_back(l.name);
    std::string text = "label " + shown(r.name) + " of " + r.via + " is not in " + display(target->name) +
                       ": the jump does nothing and the script goes on";
    // Labels match case and all: a label that differs only in case is the likely one.
    std::string near = nearest(r.name, names, true);
    if (!near.empty()) text += " (did you mean " + shown(near) + "?)";
    g.out.push_back(g.at(s, r.at, "missing-label", std::move(text)));
}

void finishScript(Game& g, size_t index) {
    const Scanned& s = g.files[index];
    for (size_t i = 0; i < s.scan.findings.size(); ++i) {
        Finding f = s.scan.findings[i];
        f.file = display(s.name);
        std::tie(f.line, f.column) = s.lines.at(s.scan.offsets[i]);
        g.out.push_back(std::move(f));
    }
    std::set<Bytes> seen;
    for (const Label& l : s.scan.labels) {
        if (seen.insert(l.name).second) continue;
        // The line of the label the runtime's search takes.
        const int firstLine = s.lines.at(static_cast<size_t>(s.source->findLabel(l.name))).first;
        g.out.push_back(g.at(s, l.at, "duplicate-label",
                             "label " + shown(l.name) + " is written again: jumps reach the first, at line " +
                                 std::to_string(firstLine) + ", never this one"));
    }
    if (s.scan.computed && !g.computedSaid) {
        g.computedSaid = true;
        Finding f = g.at(s, s.scan.computedAt, "unchecked-script",
                         "this jump names its script through a variable: scripts reached that way were not checked");
        f.severity = "note";
        g.out.push_back(std::move(f));
    }
    for (const Reference& r : s.scan.refs) {
        if (r.kind == Reference::kLabel) continue;
        if (r.kind == Reference::kScript) {
            if (!g.script(r.name)) {
                g.out.push_back(g.at(s, r.at, "missing-script",
                                     "script " + shown(r.name) + " named by " + r.via + " is not in the game"));
            }
            continue;
        }
        if (!g.has(r.name)) {
            std::string text = std::string(kindWord(r.kind)) + " " + shown(r.name) + " named by " + r.via +
                               " is in no archive and not in the game folder";
            if (r.kind == Reference::kPicture) text += ": the screen stays empty";
            g.out.push_back(g.at(s, r.at, missingCode(r.kind), std::move(text)));
            continue;
        }
        if (r.kind == Reference::kTextTable) {
            // Its rows are drawn: their bytes and the commands inside them, as if in this script.
            if (auto data = g.res.read(r.name)) {
                ScriptScan table;
                scanMessageText(*data, 0, table, g.in);
                const LineMap lines(*data);
                for (size_t i = 0; i < table.findings.size(); ++i) {
                    Finding f = table.findings[i];
                    f.file = display(r.name);
                    std::tie(f.line, f.column) = lines.at(table.offsets[i]);
                    g.out.push_back(std::move(f));
                }
                for (Reference t : table.refs) {
                    t.at = r.at;  // named where the table is loaded
                    if (t.kind == Reference::kLabel) checkLabel(g, s, t);
                    else if (!g.has(t.name))
                        g.out.push_back(g.at(s, r.at, missingCode(t.kind),
                                             std::string(kindWord(t.kind)) + " " + shown(t.name) + " named by " + t.via +
                                                 " in " + display(r.name) + " is not in the game"));
                }
            }
        }
    }
    for (const Reference& r : s.scan.refs)
        if (r.kind == Reference::kLabel) checkLabel(g, s, r);
}

}  // namespace

std::optional<std::vector<Finding>> checkGame(const std::filesystem::path& gameDir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(gameDir, ec)) return std::nullopt;
    // A folder we may not list cannot be checked either.
    std::filesystem::directory_iterator probe(gameDir, ec);
    if (ec) return std::nullopt;

    Game g(gameDir);
    IniFile ini;
    auto iniText = g.res.readPlainFile("start.ini");
    if (iniText) {
        ini = IniFile::parse(*iniText);
        for (Finding& f : checkIni(*iniText, "start.ini")) g.out.push_back(std::move(f));
    } else {
        Finding f;
        f.file = "start.ini";
        f.code = "missing-start-ini";
        f.text = "the game folder has no start.ini: the runtime does not start the game";
        g.out.push_back(std::move(f));
    }
    Config config;
    config.read(ini);
    g.res.openArchives(config.dat, config.datInfo, config.datInfo2);
    if (auto debugText = g.res.readPlainFile("_$debug")) {
        for (Finding& f : checkIni(*debugText, "_$debug")) g.out.push_back(std::move(f));
        const IniFile second = IniFile::parse(*debugText);
        config.read(second);
        g.res.applySecondReading(config.dat, config.datInfo, config.datInfo2);
    }

    if (!g.script(config.script)) {
        Finding f;
        f.file = "start.ini";
        // At the Script= line when there is one.
        if (iniText) {
            int line = 0;
            for (size_t p = 0; p < iniText->size();) {
                size_t e = iniText->find('\n', p);
                if (e == Bytes::npos) e = iniText->size();
                ++line;
                Bytes l = lowerAscii(BytesView(*iniText).substr(p, e - p));
                l.erase(std::remove(l.begin(), l.end(), ' '), l.end());
                if (l.rfind("script=", 0) == 0) f.line = line;
                p = e + 1;
            }
        }
        f.code = "missing-script";
        f.text = "the first script " + shown(config.script) + " is not in the game: nothing runs";
        g.out.push_back(std::move(f));
    }
    // Scripts found while checking others join the end of the list.
    for (size_t i = 0; i < g.files.size(); ++i) finishScript(g, i);
    // Within each file by place; files in the order they were reached.
    std::map<std::string, size_t> order;
    for (const Finding& f : g.out) order.try_emplace(f.file, order.size());
    std::stable_sort(g.out.begin(), g.out.end(), [&](const Finding& a, const Finding& b) {
        const size_t fa = order[a.file], fb = order[b.file];
        if (fa != fb) return fa < fb;
        return std::pair(a.line, a.column) < std::pair(b.line, b.column);
    });
    return std::move(g.out);
}

int printFindings(const std::vector<Finding>& findings, bool json, std::FILE* to) {
    bool any = false;
    for (const Finding& f : findings) {
        const std::string line = json ? formatJson(f) : formatLine(f);
        std::fprintf(to, "%s\n", line.c_str());
        any = any || f.severity != "note";
    }
    return any ? 1 : 0;
}

}  // namespace yv::check
