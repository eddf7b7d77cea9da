// The text commands: items and table, settings, printing, the overlay buffer and the history.
#include "text/commands.h"

#include <algorithm>
#include <cstdio>

#include "core/cp932.h"
#include "graphics/present.h"
#include "pixels/pixel_ops.h"
#include "runtime.h"
#include "lang/args.h"
#include "text/renderer.h"
#include "text/text_table.h"

namespace yv {

// Text positions beyond this are off every screen anyway.
constexpr int32_t kMaxTextPosition = 1 << 24;
namespace {

// Bounds that keep a script's numbers from asking for absurd amounts of memory.
constexpr int32_t kMaxItems = 256;
constexpr int32_t kMaxCells = 1 << 20;  // items x rows

// An argument counts only when it is among those written: "()" leaves a 0 item that is no
// argument, and a string argument alone leaves one too.
bool has(const Args& a, size_t i) { return static_cast<int32_t>(i) < a.written && a.ints.given(i); }
int32_t get(const Args& a, size_t i, int32_t def) { return has(a, i) ? a.ints[i] : def; }

uint8_t channel(int32_t v) { return v == kEndMarker ? 0 : static_cast<uint8_t>(std::clamp(v, 0, 255)); }

Rgb colourAt(const IntList& iv, size_t i) { return Rgb{channel(iv[i]), channel(iv[i + 1]), channel(iv[i + 2])}; }

TextItem* itemAt(Runtime& rt, int32_t i) {
    auto& items = rt.text.items;
    return i >= 0 && i < static_cast<int32_t>(items.size()) ? &items[static_cast<size_t>(i)] : nullptr;
}

TextItem freshItem(const Runtime& rt, int32_t rows) {
    TextItem it;
    it.rows.assign(static_cast<size_t>(rows), Bytes("\\e"));
    it.x = rt.config.textLeft;
    it.y = rt.config.textTop;
    it.wait = it.savedWait = rt.text.defaultSpeed;
    return it;
}

bool hasEndCode(BytesView s) {
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(s[i]))) {
            ++i;
            continue;
        }
        if (s[i] == '\\' && (s[i + 1] == 'e' || s[i + 1] == 'u')) return true;
    }
    return false;
}

void startDisplay(Runtime& rt, int32_t item, int32_t row, Bytes text, Rgb colour, bool fromTable) {
    TextState& t = rt.text;
    Display& d = t.display;
    if (d.suspended) {
        // A message interrupted by an inline call gives way to the one the subroutine shows.
        d.suspended = false;
        t.rs.newPage = true;
        t.rs.clickWait = t.rs.timedWait = false;
    }
    d.item = item;
    d.row = row;
    d.text = std::move(text);
    d.colour = colour;
    d.fromTable = fromTable;
    d.continuations = 0;
    d.firstItem = item;
    d.firstRow = row;
    d.stmtStart = rt.interp.stmtStart;
    if (d.script != rt.interp.script) d.script = rt.interp.script;
    d.pageInStmt = 0;
    d.replayed = text::out::startIsReplay(rt);
    t.rs.pageLooked = false;
    t.printing = true;
}

}  // namespace

int32_t cmdCreatetextf(Runtime& rt, const Args& args) {
    const int32_t count = std::clamp(get(args, 0, 0), 0, kMaxItems);
    const int32_t rows = std::clamp(get(args, 1, 0), 0, kMaxCells / std::max(count, 1));
    TextState& t = rt.text;
    t.items.clear();
    t.items.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) t.items.push_back(freshItem(rt, rows));
    t.rowCount = rows;
    t.tablePresent = true;
    t.tableFile.clear();
    if (t.currentItem >= count) t.currentItem = 0;
    rt.save.log.add(70, count, rows);
    return 1;
}

int32_t cmdLoadtextf(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    const Bytes name = s.given(0) ? s[0] : Bytes();
    TextState& t = rt.text;
    auto data = name.empty() ? std::nullopt : rt.resources.read(name);
    if (!data) {
        rt.messageBox("nothing file name is " + name + " one!\n", "", MsgButtons::Ok, MsgIcon::None);
        return 0;
    }
    // Items and rows: each number is lowered to the created size and may shrink the table.
    const int32_t created = static_cast<int32_t>(t.items.size());
    const bool sized = args.written >= 3;
    if (sized && has(args, 0)) {
        const int32_t c = std::clamp(args.ints[0], 0, created);
        if (c < created) t.items.resize(static_cast<size_t>(c));
    }
    if (sized && has(args, 1)) {
        const int32_t r = std::clamp(args.ints[1], 0, t.rowCount);
        if (r < t.rowCount) {
            t.rowCount = r;
            for (TextItem& it : t.items) it.rows.resize(static_cast<size_t>(r));
        }
    }
    text::texttable::fill(t.items, static_cast<int32_t>(t.items.size()), t.rowCount, *data);
    t.tableFile = name;
    rt.save.log.add(72, name, static_cast<int32_t>(t.items.size()), t.rowCount);
    return 1;
}

int32_t cmdReleasetextf(Runtime& rt, const Args&) {
    TextState& t = rt.text;
    t.items.clear();
    t.rowCount = 0;
    t.tablePresent = false;
    t.tableFile.clear();
    t.currentItem = 0;
    rt.save.log.add(77);
    return 1;
}

int32_t cmdLocatef(Runtime& rt, const Args& args) {
    const int32_t item = get(args, 0, 0);
    int32_t x = rt.config.textLeft, y = rt.config.textTop;
    if (has(args, 1)) {
        x = args.ints[1];
        y = get(args, 2, rt.config.textTop);
    }
    // Positions far off any screen all draw nothing; kept within a range where the pen's
    // arithmetic cannot overflow.
    x = std::clamp(x, -kMaxTextPosition, kMaxTextPosition);
    y = std::clamp(y, -kMaxTextPosition, kMaxTextPosition);
    if (TextItem* it = itemAt(rt, item)) {
        it->x = x;
        it->y = y;
    }
    rt.save.log.add(73, item, x, y);
    return 1;
}

int32_t cmdSettextspeed(Runtime& rt, const Args& args) {
    if (has(args, 0)) rt.text.defaultSpeed = args.ints[0];
    rt.save.log.add(79, rt.text.defaultSpeed);
    return 1;
}

int32_t cmdSettextspeedf(Runtime& rt, const Args& args) {
    const int32_t item = get(args, 0, 0);
    const int32_t n = get(args, 1, -1);
    if (TextItem* it = itemAt(rt, item)) it->wait = it->savedWait = n;
    rt.save.log.add(80, item, n);
    return 1;
}

int32_t cmdSetmessagelength(Runtime& rt, const Args& args) {
    const int32_t item = get(args, 0, 0);
    const int32_t n = get(args, 1, -1);
    if (TextItem* it = itemAt(rt, item)) it->length = n;
    rt.save.log.add(85, item, n);
    return 1;
}

int32_t cmdSettextwait(Runtime& rt, const Args& args) {
    if (has(args, 0)) rt.text.defaultWait = args.ints[0];
    rt.save.log.add(94, rt.text.defaultWait);
    return 1;
}

int32_t cmdSetdefaultcolor(Runtime& rt, const Args& args) {
    const int32_t item = get(args, 0, 0);
    const int32_t marker = args.ints[1];
    const Rgb c = colourAt(args.ints, 2);
    if (TextItem* it = itemAt(rt, item)) {
        it->colour = c;
        it->colourSet = marker;
    }
    rt.save.log.add(81, item, marker, c.r, c.g, c.b);
    return 1;
}

int32_t cmdSettexttype(Runtime& rt, const Args& args) {
    TextState& t = rt.text;
    size_t colourAtSlot = 1;
    if (args.ints[0] == kColourMarker) {
        t.textType = -1;
        colourAtSlot = 0;
    } else {
        t.textType = get(args, 0, -1);
    }
    if (args.ints[colourAtSlot] == kColourMarker) {
        t.decoration = colourAt(args.ints, colourAtSlot + 1);
        t.decorationMarker = kColourMarker;
    }
    rt.save.log.add(89, t.textType, t.decorationMarker, t.decoration.r, t.decoration.g, t.decoration.b);
    return 1;
}

int32_t cmdSetfont(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const StringList& s = args.strings;
    FontRecord& f = rt.text.font;
    if (s.given(0)) f.face = s[0];
    // The face name followed by a comma contributes no item; alone it leaves a 0 item.
    const int32_t written = args.written;
    const size_t k = 0;
    if (written >= 2) f.height = get(args, k, f.height);
    if (written >= 3) f.weight = get(args, k + 1, f.weight);
    if (written >= 4 && has(args, k + 2)) {
        f.strikeOut = args.ints[k + 2];
        f.italic = get(args, k + 3, 0);
        f.underline = get(args, k + 4, 0);
    } else {
        f.strikeOut = f.italic = f.underline = 0;
    }
    in.strResult = f.face;
    rt.save.log.add(78, f.face, f.height, f.weight, f.strikeOut, f.italic, f.underline);
    return 1;
}

int32_t cmdSetfontdialog(Runtime&, const Args&) { return 1; }

int32_t cmdSetrectwaiticon(Runtime& rt, const Args& args) {
    WaitIcon& ic = rt.text.icon;
    const int32_t screen = get(args, 0, 0);
    ic.source = screen;
    if (screen == 0) {
        ic.sx = 64, ic.sy = 0, ic.w = 32, ic.h = 32, ic.frames = 0, ic.delay = 100;
    } else if (!has(args, 1)) {
        ic.sx = 64, ic.sy = 0, ic.w = 32, ic.h = 32, ic.frames = 0, ic.delay = 255;
    } else {
        ic.sx = args.ints[1];
        ic.sy = get(args, 2, 0);
        ic.w = get(args, 3, 32);
        ic.h = get(args, 4, 32);
        ic.frames = std::max(get(args, 5, 0), 0);
        ic.delay = has(args, 5) ? std::clamp(get(args, 6, 255), 0, 255) : 255;
    }
    ic.frame = ic.blinkCounter = 0;
    ic.blinkOn = true;
    rt.save.log.add(92, ic.source, ic.sx, ic.sy, ic.w, ic.h, ic.frames, ic.delay);
    return 1;
}

int32_t cmdSettextwaitpos(Runtime& rt, const Args& args) {
    WaitIcon& ic = rt.text.icon;
    ic.posMode = get(args, 0, 0);
    ic.posX = get(args, 1, 0);
    ic.posY = get(args, 2, 0);
    rt.save.log.add(86, ic.posMode, ic.posX, ic.posY);
    return 1;
}

int32_t cmdSettextprintf(Runtime& rt, const Args& args) {
    TextState& t = rt.text;
    t.continueCount = get(args, 0, 0);
    t.continueMarker = args.ints[1] == kColourMarker ? kColourMarker : 0;
    t.continueColour = t.continueMarker ? colourAt(args.ints, 2) : Rgb{0, 0, 0};
    rt.save.log.add(87, t.continueCount, t.continueMarker, t.continueColour.r, t.continueColour.g,
                    t.continueColour.b);
    return 1;
}

int32_t cmdTextBuffer(Runtime& rt, const Args& args) {
    rt.text.textBuffer = get(args, 0, 0) != 0;
    return 1;
}

int32_t cmdTrapbuffer(Runtime& rt, const Args&) {
    rt.text.trapBuffer = true;
    return 1;
}

int32_t cmdTrapbufferoff(Runtime& rt, const Args&) {
    rt.text.trapBuffer = false;
    return 1;
}

int32_t cmdPrinttext(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    int32_t n = 0;
    Rgb colour{255, 255, 255};
    if (has(args, 0) && args.ints[0] != kColourMarker) {
        n = args.ints[0];
        if (args.ints[1] == kColourMarker) colour = colourAt(args.ints, 2);
    }
    if (n < 0 || n >= kStrVarCount) return 1;
    Bytes text = in.svar[static_cast<size_t>(n)];
    if (text.empty()) return 1;
    // A variable is shown as a whole message: one without an end code is ended for it.
    if (!hasEndCode(text)) text += "\\e";
    TextState& t = rt.text;
    const int32_t item = t.currentItem < static_cast<int32_t>(t.items.size()) ? t.currentItem : 0;
    text::ensureOverlay(rt);
    startDisplay(rt, item, 0, std::move(text), colour, false);
    return 1;
}

int32_t cmdPrinttextf(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    TextState& t = rt.text;
    const int32_t item = get(args, 0, 0);
    const int32_t row = get(args, 1, 1);
    TextItem* it = itemAt(rt, item);
    if (!it || row < 1 || row > static_cast<int32_t>(it->rows.size())) return 1;
    const Bytes& text = it->rows[static_cast<size_t>(row - 1)];
    if (text.empty() || text == "\\e") return 1;
    const Rgb colour = args.ints[2] == kColourMarker ? colourAt(args.ints, 3) : it->colour;
    if (t.selectMode) {
        const bool labelled = s.given(0);
        t.pendingLabel = labelled ? s[0] : Bytes();
        t.pendingFile = labelled && s.given(1) ? s[1] : Bytes();
    }
    if (rt.app.noWait && !rt.choices.ready && !t.selectMode) rt.app.skip = 1;
    t.currentItem = item;
    text::ensureOverlay(rt);
    startDisplay(rt, item, row, text, colour, true);
    return 1;
}

int32_t cmdPainttextbuffer(Runtime& rt, const Args&) {
    Screens& s = rt.screens;
    pixels::copyRect(view(s.table[0]), 0, 0, s.table[0].width, s.table[0].height, view(s.table[1]), 0, 0, 0, 0);
    graphics::layOverlay(rt);
    if (!rt.text.textBuffer) graphics::presentScreen(rt);
    return 1;
}

int32_t cmdLogstart(Runtime& rt, const Args&) {
    rt.text.history.recording = true;
    return 1;
}

int32_t cmdLogstop(Runtime& rt, const Args&) {
    rt.text.history.recording = false;
    return 1;
}

}  // namespace yv
