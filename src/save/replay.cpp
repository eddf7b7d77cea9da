// The replay table: every record id, the fields it reads, and what it does with them.
#include "save/replay.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

#include "media/media.h"
#include "runtime.h"
#include "save/replay_log.h"
#include "script/command_table.h"
#include "script/interpreter.h"

namespace yv::save {
namespace {

// |v| without the overflow of abs(INT32_MIN).
int32_t magnitude(int32_t v) { return v == INT32_MIN ? INT32_MAX : (v < 0 ? -v : v); }

// An argument text as a script writes it: "( 1, \"name\", 2 );".
class ArgText {
public:
    ArgText& n(int32_t v) {
        sep();
        s_ += decimal(v);
        return *this;
    }
    ArgText& t(BytesView v) {
        sep();
        s_ += '"';
        s_ += v;
        s_ += '"';
        return *this;
    }
    template <size_t N>
    ArgText& all(const std::array<int32_t, N>& f) {
        for (int32_t v : f) n(v);
        return *this;
    }
    Bytes done() const { return s_ + " );"; }

private:
    void sep() { s_ += first_ ? " " : ", ", first_ = false; }
    Bytes s_ = "(";
    bool first_ = true;
};

class Replayer {
public:
    Replayer(Runtime& rt, Bytes text) : rt_(rt), r_(std::move(text)) {}

    int run() {
        int count = 0;
        for (;;) {
            const int32_t id = r_.nextId();
            if (id == -1) return count;
            // An id outside the table is passed over without reading its fields: the next read
            // meets its first field, which holds no '@', and the replay ends there.
            if (replay(id)) ++count;
        }
    }

private:
    template <size_t N>
    std::array<int32_t, N> numbers() {
        std::array<int32_t, N> f{};
        for (int32_t& v : f) v = r_.number();
        return f;
    }

    void command(const char* name, const Bytes& args) {
        if (BytesView(name) != "loadimage") lastLoad_.clear();
        runCommandText(rt_, name, args);
    }

    // Loading the same picture into the same screen again (the save text lists the loaded-image
    // table and then the screen table) changes nothing: it is skipped unless something else was
    // replayed in between.
    void loadImage(int32_t screen, int32_t mask, const Bytes& name) {
        const int32_t m = mask == kEndMarker ? -1 : mask;
        auto it = lastLoad_.find(screen);
        if (it != lastLoad_.end() && it->second.first == m && it->second.second == name) return;
        runCommandText(rt_, "loadimage", ArgText().n(screen).t(name).n(mask).done());
        lastLoad_[screen] = {m, name};
    }

    bool replay(int32_t id) {
        Interp& in = rt_.interp;
        switch (id) {
        case 1: {
            const auto f = numbers<2>();
            in.pos = f[0];
            in.stmtStart = f[1];
            lastLoad_.clear();
            return true;
        }
        case 51: {
            const int32_t screen = r_.number(), mask = r_.number();
            const Bytes name = r_.text();
            if (screen != 0) loadImage(screen, mask, name);
            return true;
        }
        case 52: {
            const auto f = numbers<9>();
            if (f[0] == 0) return true;
            char buf[160];
            std::snprintf(buf, sizeof buf, "( %d, %d,%d, %d,%d, %d, %d, %d, %d );", f[0], f[1], f[2], f[3], f[4],
                          f[5], f[6], f[7], f[8]);
            command("bitblt", buf);
            return true;
        }
        case 53: return skipIf0("mosaicblt", numbers<3>());
        case 54: {
            const auto f = numbers<7>();  // the seventh is read and not used
            if (f[0] == 0) return true;
            command("fade", ArgText().n(f[0]).n(f[1]).n(magnitude(f[1])).n(0).n(f[2]).n(f[3]).n(f[4]).n(f[5]).done());
            return true;
        }
        case 55: return skipIf0("alphablt", numbers<6>());
        case 56: {
            auto f = numbers<2>();
            if (f[0] == 0 && f[1] == 1) f = {1, 2};
            command("clr", ArgText().all(f).done());
            return true;
        }
        case 57: {
            // A damaged file must not make the runtime take more memory than a game could use:
            // images created by its records are held to a budget.
            const auto f = numbers<4>();
            const int64_t screens = std::clamp<int64_t>(int64_t{f[1]} - f[0] + 1, 1, kScreenCount);
            const int64_t bytes = screens * std::clamp<int64_t>(f[2], 1, 16384) * std::clamp<int64_t>(f[3], 1, 16384) * 3;
            if (f[1] != 0 && f[2] > 0 && f[3] > 0) {
                createdBytes_ += bytes;
                if (createdBytes_ > kCreateBudget) return true;
            }
            return always("createimage", f);
        }
        case 58: {
            // fillclr writes a one-field form (the screen only, no colour) and a five-field form.
            if (r_.fieldsBeforeNextRecord(5) == 1) return skipIf0("fillclr", numbers<1>());
            return skipIf0("fillclr", numbers<5>());
        }
        case 59: return always("releaseimage", numbers<1>());
        case 61: {
            const Bytes label = r_.text(), file = r_.text();
            const auto f = numbers<3>();
            in.pos = f[1];
            in.stmtStart = f[2];
            command("gosub", ArgText().t(label).t(file).all(f).done());
            return true;
        }
        case 62: {
            const Bytes label = r_.text(), file = r_.text();
            command("goto", ArgText().t(label).t(file).done());
            return true;
        }
        case 63: command("return", "();"); return true;
        case 64: command("end", "();"); return true;
        case 65: {
            const auto f = numbers<7>();
            if (f[0] == 0) return true;
            command("transfade", ArgText().n(f[0]).n(f[1]).n(magnitude(f[1])).n(0).n(f[2]).n(f[3]).n(f[4]).n(f[5]).n(f[6]).done());
            return true;
        }
        case 66: return skipIf0("alphabitblt", numbers<10>());
        case 67: {
            // transblt and transbitblt both write nine fields in transbitblt's order; a text
            // holding the five-field form of transblt is read as five.
            if (r_.fieldsBeforeNextRecord(9) == 5) return always("transblt", numbers<5>());
            return always("transbitblt", numbers<9>());
        }
        // transfill and monofill are replayed with the nine numbers they wrote, which rebuilds
        // the picture (read as a fade's arguments they would tint the wrong rectangle).
        case 68: return always("transfill", numbers<9>());
        case 69: return always("monofill", numbers<9>());
        case 70: return always("createtextf", numbers<2>());
        case 71: return always("if", numbers<4>());
        case 72: {
            const Bytes name = r_.text();
            const auto f = numbers<2>();
            command("loadtextf", ArgText().t(name).all(f).done());
            return true;
        }
        case 73: return always("locatef", numbers<3>());
        case 74: {
            const auto f = numbers<3>();
            const Bytes a = r_.text(), b = r_.text(), s = r_.text();
            // The string form names two string variables; the number form fills a range.
            auto letter = [](const Bytes& v) { return v.size() == 1 && v[0] >= 0x41 && v[0] <= 0x7A; };
            if (letter(a) && letter(b))
                command("memoryset", "( @" + a + ", @" + b + ", \"" + s + "\" );");
            else
                command("memoryset", ArgText().all(f).done());
            return true;
        }
        case 75: {
            const auto f = numbers<2>();
            const Bytes a = r_.text(), b = r_.text();
            command("memcmp", ArgText().all(f).t(a).t(b).done());
            return true;
        }
        case 76: command("nonesavetmp", "();"); return true;
        case 77: command("releasetextf", "();"); return true;
        case 78: {
            const Bytes face = r_.text();
            const auto f = numbers<5>();
            command("setfont", ArgText().t(face).all(f).done());
            return true;
        }
        case 79: return always("settextspeed", numbers<1>());
        case 80: return always("settextspeedf", numbers<2>());
        case 81: return always("setdefaultcolor", numbers<5>());
        case 82: command("savetmp", "();"); return true;
        case 83: return always("wipe", numbers<4>());
        case 84: return always("zeromemory", numbers<2>());
        case 85: return always("setmessagelength", numbers<2>());
        // Written with three fields, read with four: the fourth takes the next record's "@id"
        // (as 0), so the replay ends after it. Save texts put only the title record after it.
        case 86: return always("settextwaitpos", numbers<4>());
        case 87: return always("settextprintf", numbers<5>());
        case 89: return always("settexttype", numbers<5>());
        case 90: return always("selectcolor", numbers<4>());
        case 91: return always("showcursor", numbers<1>());
        case 92: return always("setrectwaiticon", numbers<7>());
        case 93: command("stopwave", "();"); return true;
        case 94: return always("settextwait", numbers<1>());
        case 95: in.scriptName = r_.text(); return true;
        case 96: {
            // The choice-block flag comes back with the choice statement that loading runs
            // again; the trap flag is set here.
            const auto f = numbers<2>();
            rt_.text.trapBuffer = f[1] != 0;
            return true;
        }
        case 97: rt_.resources.setArchiveMode(r_.number()); return true;
        case 99: rt_.text.textBuffer = r_.number() != 0; return true;
        case 100:
        case 102: {
            const Bytes name = r_.text();
            const auto f = numbers<3>();
            if (id == 100) media::replayWaveRecord(rt_, name, f[0], f[1], f[2]);
            else media::replayMidiRecord(rt_, name, f[0], f[1], f[2]);
            return true;
        }
        case 104: {
            const auto f = numbers<5>();
            media::replayCdRecord(rt_, f[0], f[1], f[2], f[3], f[4]);
            return true;
        }
        case 200: {
            const int32_t index = r_.number();
            Bytes text = r_.text();
            if (index >= 0 && index < kStrSlotCount) in.svar[static_cast<size_t>(index)] = std::move(text);
            return true;
        }
        case 201: {
            const int32_t index = r_.number(), value = r_.number();
            in.setInt(index, value);
            return true;
        }
        case 300:
        case 302: {
            const int32_t index = r_.number();
            Bytes file = r_.text();
            const int32_t pos = r_.number(), extra = r_.number();
            if (index < 0 || index > kStackSize) return true;
            CallStack& cs = in.calls;
            const auto i = static_cast<size_t>(index);
            cs.file[i] = file;
            cs.pos[i] = pos;
            cs.extra[i] = extra;
            if (id == 302) {
                cs.depth = index;
                // The script the game was saved in becomes the text again.
                if (ScriptPtr src = script::loadScript(rt_, file)) in.script = std::move(src);
            }
            return true;
        }
        default: return false;
        }
    }

    template <size_t N>
    bool always(const char* name, const std::array<int32_t, N>& f) {
        command(name, ArgText().all(f).done());
        return true;
    }
    // Screen 0 is restored from the file's picture: drawing records aimed at it are passed over.
    template <size_t N>
    bool skipIf0(const char* name, const std::array<int32_t, N>& f) {
        if (f[0] != 0) command(name, ArgText().all(f).done());
        return true;
    }

    static constexpr int64_t kCreateBudget = int64_t{1} << 30;
    Runtime& rt_;
    RecordReader r_;
    int64_t createdBytes_ = 0;
    std::map<int32_t, std::pair<int32_t, Bytes>> lastLoad_;
};

}  // namespace

int32_t runCommandText(Runtime& rt, BytesView name, BytesView argText) {
    Interp& in = rt.interp;
    // The views stay valid: the caller's text outlives the call, and the saved ones view the
    // held text, which only the reader replaces.
    const BytesView savedName = in.cmdName, savedArgs = in.argText;
    in.cmdName = name;
    in.argText = argText;
    const int32_t v = callCommand(rt, name, argText);
    in.cmdName = savedName;
    in.argText = savedArgs;
    return v;
}

int replayRecords(Runtime& rt, Bytes text) { return Replayer(rt, std::move(text)).run(); }

}  // namespace yv::save
