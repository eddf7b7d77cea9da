// The message box, the two text-entry boxes and starting other programs.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unistd.h>

#include "core/cp932.h"
#include "runtime.h"
#include "lang/args.h"
#include "script/dialog_commands.h"

namespace fs = std::filesystem;

namespace yv {
namespace {

const Bytes& halfWidthMessage() {
    static const Bytes m = utf8ToCp932("半角文字が使われました。\n全角で入力してください。");
    return m;
}

// Replaces every occurrence of a two-byte escape that starts a character (a 0x5C that is the
// second byte of a double-byte character is not an escape).
Bytes replaceEscape(BytesView text, char second, char by) {
    Bytes out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (isLeadByte(c) && i + 1 < text.size()) {
            out += text[i];
            out += text[++i];
            continue;
        }
        if (c == '\\' && i + 1 < text.size() && text[i + 1] == second) {
            out += by;
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

// At most n bytes, not ending inside a double-byte character.
Bytes cutBytes(BytesView s, size_t n) {
    size_t cut = 0;
    while (cut < s.size()) {
        const size_t len = (isLeadByte(static_cast<unsigned char>(s[cut])) && cut + 1 < s.size()) ? 2 : 1;
        if (cut + len > n) break;
        cut += len;
    }
    return Bytes(s.substr(0, cut));
}

// Web addresses exec may open; "www." is taken as an http address.
std::optional<std::string> webAddress(BytesView s) {
    const Bytes lower = lowerAscii(s);
    for (const char* scheme : {"http://", "https://", "mailto:"})
        if (BytesView(lower).rfind(scheme, 0) == 0) return cp932ToUtf8(s);
    if (BytesView(lower).rfind("www.", 0) == 0) return "http://" + cp932ToUtf8(s);
    return std::nullopt;
}

bool inSearchPath(const std::string& program) {
    if (program.empty() || program.find('/') != std::string::npos) return false;
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = dirs.substr(start, end - start);
        if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// Whether `p` is a document or folder of the game folder the desktop may open: inside the
// game folder once links are followed, and nothing the opener could run (no execute bit, no
// desktop entry).
bool openableDocument(const fs::path& gameDir, const fs::path& p) {
    std::error_code ec;
    const fs::path real = fs::canonical(p, ec);
    if (ec) return false;
    const fs::path root = fs::canonical(gameDir, ec);
    if (ec) return false;
    auto q = real.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++q)
        if (q == real.end() || *q != *r) return false;
    const fs::file_status st = fs::status(real, ec);
    if (ec) return false;
    if (fs::is_directory(st)) return true;
    if (!fs::is_regular_file(st)) return false;
    using fs::perms;
    if ((st.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) != perms::none)
        return false;
    return lowerAscii(real.extension().string()) != ".desktop";
}

void sayRefused(BytesView target) {
    std::fprintf(stderr,
                 "exec: not opened: %s (only web addresses and the game's own documents and folders are "
                 "opened; no program is started)\n",
                 cp932ToUtf8(target).c_str());
}

// The shell's number for opening the target as a double-click would, restricted for safety:
// a web address, or a document or folder of the game folder, each through the desktop's
// opener after the player agrees; never a program. 5 (access denied) when refused or
// declined, which exec reports as a failure without a message.
int shellOpen(Runtime& rt, BytesView target) {
    std::string what;
    if (auto address = webAddress(target)) {
        what = *address;
    } else if (Outside why = Outside::No; auto p = rt.resources.paths().find(target, &why)) {
        if (!openableDocument(rt.gameDir, *p)) {
            sayRefused(target);
            return 5;
        }
        what = p->string();
    } else if (why != Outside::No) {
        sayRefused(target);  // out of the game folder
        return 5;
    } else {
        const std::vector<Bytes> parts = PathResolver::split(target);
        if (parts.size() == 1 && inSearchPath(cp932ToUtf8(parts[0]))) {
            sayRefused(target);  // a program by name
            return 5;
        }
        if (parts.size() > 1) {
            Bytes dir = (!target.empty() && target[0] == '/') ? "/" : "";
            for (size_t i = 0; i + 1 < parts.size(); ++i) dir += parts[i] + "/";
            if (!rt.resources.paths().find(dir, &why)) {
                if (why == Outside::No) return 3;  // the path is not found
                sayRefused(target);
                return 5;
            }
        }
        return 2;  // the file is not found
    }
    // A headless run only logs what it would open (the platform's opener does).
    if (!rt.platform.headless()) {
        const Bytes question = utf8ToCp932("次を開きます。よろしいですか？\n\n" + what);
        if (rt.messageBox(question, "", MsgButtons::YesNo, MsgIcon::Question) != kIdYes) return 5;
    }
    return rt.platform.openWithShell(what, rt.gameDir);
}

}  // namespace

namespace script {

Bytes applyMessageEscapes(BytesView text) {
    static constexpr std::pair<char, char> kTable[] = {
        {'a', '\x07'}, {'b', '\x08'}, {'f', '\x0C'}, {'n', '\n'},  {'r', '\r'},
        {'t', '\t'},   {'v', '\x0B'}, {'\'', '\''},  {'\\', '\\'}, {'?', '?'},
    };
    Bytes out(text);
    for (const auto& [second, by] : kTable) out = replaceEscape(out, second, by);
    return out;
}

bool onlyDoubleByte(BytesView e) {
    for (size_t i = 0; i < e.size(); i += 2)
        if (!isLeadByte(static_cast<unsigned char>(e[i]))) return false;
    return true;
}

}  // namespace script

int32_t cmdMessagebox(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    const IntList& iv = args.ints;
    const Bytes caption = (!s[1].empty() && s[1][0] == ';') ? Bytes() : s[1];
    const int32_t set = iv.given(0) ? iv[0] : 1;
    MsgButtons buttons = MsgButtons::Ok;  // also for button sets outside 0..5
    if (set >= 2 && set <= 5) buttons = static_cast<MsgButtons>(set);
    return rt.messageBox(script::applyMessageEscapes(s[0]), caption, buttons, MsgIcon::None);
}

int32_t cmdInputbox(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const StringList& s = args.strings;
    const IntList& c = args.conditions;
    auto missing = [&](size_t i) { return !s[i].empty() && s[i][0] == ';'; };
    InputBoxRequest r;
    r.prompt = s[0];
    r.title = s[1];
    r.defaultText = s[2];
    if (missing(2)) r.defaultText.clear();
    if (missing(1)) {
        r.title = utf8ToCp932("入力ボックス");
        r.defaultText.clear();
    }
    if (missing(0)) {
        r.prompt = utf8ToCp932("入力してください");
        r.title = utf8ToCp932("入力ボックス");
        r.defaultText.clear();
    }
    r.maxLength = c.given(3) ? std::max<int32_t>(c[3], 0) : 49;
    r.initial = r.defaultText;
    bool refused = false;
    Bytes entry = r.initial;
    for (;;) {
        auto answer = rt.platform.inputBox(r);
        if (!answer) break;  // nobody can answer any more: keep what there is
        entry = answer->empty() ? r.defaultText : *answer;
        if (!script::onlyDoubleByte(entry)) {
            rt.messageBox(halfWidthMessage(), "", MsgButtons::Ok, MsgIcon::None);
        } else if (!(entry.empty() && refused)) {
            break;
        }
        refused = true;
        r.initial = entry;
        r.retry = true;
    }
    in.strResult = entry;
    return 1;
}

int32_t cmdInputbox2(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const StringList& s = args.strings;
    const IntList& c = args.conditions;
    InputBox2Request r;
    r.title = s[0];
    for (size_t k = 0; k < 4; ++k) {
        r.labels[k] = s[1 + 2 * k];
        r.defaults[k] = s[2 + 2 * k];
        const int32_t len = c[3 + 3 * k];
        r.maxLengths[k] = !c.given(9) ? 10 : (c.given(3 + 3 * k) && len > 0 ? len : 0);
    }
    r.initial = r.defaults;
    std::array<Bytes, 4> entries = r.initial;
    for (;;) {
        auto answer = rt.platform.inputBox2(r);
        if (!answer) break;
        bool good = true;
        for (size_t k = 0; k < 4; ++k) {
            entries[k] = (*answer)[k].empty() ? r.defaults[k] : (*answer)[k];
            if (good && !script::onlyDoubleByte(entries[k])) good = false;
        }
        if (good) break;
        rt.messageBox(halfWidthMessage(), "", MsgButtons::Ok, MsgIcon::None);
        r.initial = entries;
        r.retry = true;
    }
    static constexpr char kVars[4] = {'s', 'm', 'n', 'k'};
    for (size_t k = 0; k < 4; ++k) {
        const size_t index = static_cast<size_t>(kVars[k] - 0x41);
        in.svar[index] = entries[k];
        in.noteChange(static_cast<int32_t>(index));
    }
    return 1;
}

int32_t cmdExec(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const StringList& s = args.strings;
    const IntList& iv = args.ints;
    const int32_t mode = iv.given(0) ? iv[0] : 0;
    if (mode == 2 || mode == 3) rt.platform.minimizeWindow();
    {
        // Modes 1 and 3 once started command lines; for safety every mode now opens, as mode 0
        // does, only addresses and the game's documents (and so does not wait).
        const int number = shellOpen(rt, mode == 1 || mode == 3 ? cutBytes(s[0], 259) : Bytes(s[0]));
        int code = number;
        const char* message = nullptr;
        switch (number) {
        case 0: code = 1; message = "システムにメモリ又はリソースが足りません"; break;
        case 2: code = 2; message = "指定されたファイルが見つかりません"; break;
        case 3: code = 3; message = "指定されたパスが見つかりません"; break;
        case 11: code = 4; message = "exeファイルの起動に失敗"; break;
        default: break;
        }
        if (message) {
            in.strResult = utf8ToCp932(message);
            rt.messageBox(in.strResult, "", MsgButtons::Ok, MsgIcon::None);
        }
        return code > 5 ? 1 : 0;
    }
}

}  // namespace yv
