// select, selectex, selectcolor, the click-area commands, mouseclickwait and the mouse trap.
#include "text/choice_commands.h"

#include <algorithm>

#include "ui/app_state.h"
#include "runtime.h"
#include "lang/args.h"
#include "lang/script_source.h"
#include "text/choices.h"

namespace yv {
namespace {

int32_t startBlock(Runtime& rt, bool useGoto) {
    Choices& c = rt.choices;
    Interp& in = rt.interp;
    c.collecting = true;
    c.useGoto = useGoto;
    c.blockLevel = 0;
    c.lastBracePos = -1;
    c.lastBraceScript = nullptr;
    c.blockPos = in.stmtStart;
    const BytesView t = in.text();
    const auto upTo = static_cast<size_t>(std::clamp<int32_t>(in.stmtStart, 0, static_cast<int32_t>(t.size())));
    c.blockLine = static_cast<int32_t>(std::count(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(upTo), '\n'));
    rt.app.skip = 0;
    rt.app.stopAtWait = 0;
    rt.text.selectCount = 0;
    rt.app.choiceBlock = 1;
    ui::menuLock(rt.app, rt.config, kUnlockAllButSkip);
    return 1;
}

// The { ... } block after the statement (nested blocks included): its inside, with the read
// position left on its closing brace. False when no block follows or it is not closed.
bool takeFollowingBlock(Interp& in, Bytes& out) {
    const BytesView t = in.text();
    const auto n = static_cast<int32_t>(t.size());
    int32_t p = std::max(in.pos, 0);
    while (p < n && t[static_cast<size_t>(p)] != ';' && t[static_cast<size_t>(p)] != '\n') ++p;
    for (++p; p < n;) {
        const int32_t q = skipComment(t, p);
        if (q != p) {
            p = q + 1;
            continue;
        }
        const char ch = t[static_cast<size_t>(p)];
        if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n') {
            ++p;
            continue;
        }
        break;
    }
    if (p >= n || t[static_cast<size_t>(p)] != '{') return false;
    int depth = 0;
    bool quoted = false;
    for (int32_t q = p; q < n; ++q) {
        const char ch = t[static_cast<size_t>(q)];
        if (ch == '"') quoted = !quoted;
        if (quoted) continue;
        if (ch == '{') ++depth;
        if (ch == '}' && --depth == 0) {
            out.assign(t.substr(static_cast<size_t>(p) + 1, static_cast<size_t>(q - p - 1)));
            in.pos = q;
            return true;
        }
    }
    return false;
}

int32_t clickEvent(Runtime& rt, const Args& args, bool useGoto, bool imageMode) {
    Interp& in = rt.interp;
    const StringList& s = args.strings;
    Bytes list;
    if (s.given(0)) {
        auto data = rt.resources.read(s[0]);
        if (!data || data->empty()) return 0;
        list = std::move(*data);
    } else if (!takeFollowingBlock(in, list)) {
        return 0;
    }
    return text::choices::post(rt, list, useGoto, imageMode) ? 1 : 0;
}

}  // namespace

int32_t cmdSelect(Runtime& rt, const Args&) { return startBlock(rt, false); }
int32_t cmdSelectex(Runtime& rt, const Args&) { return startBlock(rt, true); }

int32_t cmdSelectcolor(Runtime& rt, const Args& args) {
    const IntList& iv = args.ints;
    Rgb c{0, 0, 20};
    if (iv[0] == kColourMarker) {
        auto ch = [&](size_t i) { return static_cast<uint8_t>(std::clamp(iv.given(i) ? iv[i] : 0, 0, 255)); };
        c = Rgb{ch(1), ch(2), ch(3)};
    }
    rt.choices.colour = c;
    rt.save.log.add(90, kColourMarker, c.r, c.g, c.b);
    return 1;
}

int32_t cmdMouseclickevent(Runtime& rt, const Args& args) { return clickEvent(rt, args, false, false); }
int32_t cmdMouseclickeventex(Runtime& rt, const Args& args) { return clickEvent(rt, args, true, false); }
int32_t cmdMouseimageclickevent(Runtime& rt, const Args& args) { return clickEvent(rt, args, false, true); }
int32_t cmdMouseimageclickeventex(Runtime& rt, const Args& args) { return clickEvent(rt, args, true, true); }

int32_t cmdMouseclickwait(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const IntList& iv = args.ints;
    const int32_t mode = iv.given(0) ? iv[0] : 0;
    // Any mode but 1 and 2 waits on, whatever is clicked.
    in.clickWaitMode = (mode == 1 || mode == 2) ? mode : 3;
    ++rt.text.pageWaits;
    return 1;
}

int32_t cmdTrapmouse(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const IntList& iv = args.ints;
    const StringList& s = args.strings;
    Choices& c = rt.choices;
    c.trapButton = iv[0] == 1 || iv[0] == 2 ? iv[0] : 0;
    c.trapGoto = iv.given(1) && iv[1] != 0;
    c.trapLabel = s[0];
    c.trapFile = s.given(1) ? s[1] : in.scriptName;
    c.trapDepth = -1;
    return 1;
}

int32_t cmdTrapmouseoff(Runtime& rt, const Args&) {
    rt.choices.trapButton = 0;
    rt.choices.trapDepth = -1;
    return 1;
}

}  // namespace yv
