// The message text renderer: two-byte units, escape codes, line-start prohibition, the five
// text types, click and timed waits, inline commands and the end of a message.
#include "text/renderer.h"

#include <algorithm>

#include "ui/app_state.h"
#include "core/cp932.h"
#include "graphics/present.h"
#include "pixels/pixel_ops.h"
#include "runtime.h"
#include "script/command_table.h"
#include "script/jumps.h"
#include "text/font.h"
#include "text/history.h"
#include "text/text_out.h"

namespace yv::text {
namespace {

struct Marks {
    Bytes exclaim = utf8ToCp932("！");
    Bytes question = utf8ToCp932("？");
    Bytes closeQuote = utf8ToCp932("”");
    std::vector<Bytes> hang = {utf8ToCp932("、"), utf8ToCp932("。"), utf8ToCp932("」"),
                               utf8ToCp932("』"), utf8ToCp932("）"), utf8ToCp932("＞"),
                               utf8ToCp932("，")};
};

const Marks& marks() {
    static const Marks m;
    return m;
}

bool isEscapeLetter(char c) {
    switch (c) {
    case 'n': case 'z': case 'm': case 'c': case 'e': case 'u': case '#': case 'p': case 'w':
        return true;
    default:
        return false;
    }
}

bool printableSingle(unsigned char c) { return c >= 0x20 && c != 0x7F && !isLeadByte(c); }

// The renderer's view of one call: the item, the text and the settings it reads.
struct Call {
    Runtime& rt;
    TextState& t;
    RenderState& rs;
    int32_t item;
    TextItem& it;
    BytesView text;
    int32_t x, y, type;
    Rgb colour;
    int32_t h;
    int32_t s;      // shadow offset
    int32_t wait;   // effective per-character wait
    bool instant;
    bool skip;
    int32_t pageItems;

    Rgb current() const { return rs.colourOverride ? rs.overrideColour : colour; }
    bool lastItem() const { return item == pageItems - 1; }
};

TextItem& itemRef(TextState& t, int32_t item) {
    if (item >= 0 && item < static_cast<int32_t>(t.items.size())) return t.items[static_cast<size_t>(item)];
    return t.loose;
}

int32_t cellHeight(const TextState& t) {
    const int32_t h = t.font.height < 0 ? -t.font.height : t.font.height;
    return std::min(h, 512);
}

void growDrawn(RenderState& rs, int l, int t, int r, int b) {
    if (!rs.drawnAny) {
        rs.drawnLeft = l, rs.drawnTop = t, rs.drawnRight = r, rs.drawnBottom = b;
        rs.drawnAny = true;
        return;
    }
    rs.drawnLeft = std::min(rs.drawnLeft, l);
    rs.drawnTop = std::min(rs.drawnTop, t);
    rs.drawnRight = std::max(rs.drawnRight, r);
    rs.drawnBottom = std::max(rs.drawnBottom, b);
}

void composeArea(Runtime& rt, int l, int t, int r, int b) {
    ensureOverlay(rt);
    Screens& s = rt.screens;
    pixels::compose(view(s.table[0]), view(s.overlayMask), view(s.overlayImage), l, t, r - l, b - t);
}

// Composes everything drawn since the overlay was last cleared and presents it.
void composeDrawn(Call& c, bool wholeScreen) {
    if (c.rs.drawnAny)
        composeArea(c.rt, c.rs.drawnLeft, c.rs.drawnTop, c.rs.drawnRight, c.rs.drawnBottom);
    if (wholeScreen || !c.rs.drawnAny)
        graphics::presentScreen(c.rt);
    else
        graphics::presentRect(c.rt, Rect{c.rs.drawnLeft, c.rs.drawnTop, c.rs.drawnRight - c.rs.drawnLeft,
                                         c.rs.drawnBottom - c.rs.drawnTop});
}

void restoreFromBack(Runtime& rt, int l, int t, int r, int b) {
    pixels::copyRect(view(rt.screens.table[0]), l, t, r - l, b - t, view(rt.screens.table[1]), l, t, 0, 0);
}

// A click while the message is being typed shows the rest of it up to its wait at once; the
// next click goes on. Not while choices are laid out: their text is drawn at once anyway.
void noteClickWhileTyping(Call& c) {
    if (!c.rs.clickWait && !c.instant && !c.t.selectMode && c.rt.interp.leftClick.exchange(0) != 0)
        c.rs.completing = true;
}

// --- click-wait icon -------------------------------------------------------------------------

void iconPlace(Call& c, int& px, int& py) {
    const WaitIcon& ic = c.t.icon;
    if (ic.posMode == 0) {
        px = c.rs.penX + c.h;
        py = c.rs.penY;
    } else {
        px = ic.posX;
        py = ic.posY;
    }
}

// Puts the area under the icon back: the back screen with the text laid over it.
void iconRestore(Runtime& rt, int px, int py, int w, int h) {
    restoreFromBack(rt, px, py, px + w, py + h);
    composeArea(rt, px, py, px + w, py + h);
}

// Presents the icon's area unless the window already shows this very frame there.
void iconPresent(Call& c, int px, int py, int w, int h, int32_t frame) {
    WaitIcon& ic = c.t.icon;
    const WaitIcon::Shot now{px, py, w, h, frame, c.rt.screens.presents};
    if (now == ic.lastShot) return;
    graphics::presentRect(c.rt, Rect{px, py, w, h});
    ic.lastShot = now;
    ic.lastShot.present = c.rt.screens.presents;
}

void iconFrame(Call& c) {
    WaitIcon& ic = c.t.icon;
    const Screen& sys = c.rt.screens.systemPicture;
    Screen& s0 = c.rt.screens.table[0];
    int px = 0, py = 0;
    iconPlace(c, px, py);
    const int w = std::clamp(ic.w, 0, 1024), h = std::clamp(ic.h, 0, 1024);
    if (ic.frames >= 1) {
        if (ic.frame >= ic.frames || ic.frame < 0) ic.frame = 0;
        iconRestore(c.rt, px, py, w, h);
        const int fy = ic.sy + ic.frame * h;
        pixels::maskedBlit(view(s0), px, py, w, h, view(sys), ic.sx, fy, view(sys), ic.sx + w, fy);
        iconPresent(c, px, py, w, h, ic.frame);
        ic.frame = (ic.frame + 1) % ic.frames;
        ic.shown = true;
        ic.shownX = px, ic.shownY = py;
        c.rt.sleep(std::clamp(ic.delay, 0, 255));
        return;
    }
    if (++ic.blinkCounter > 15) {
        ic.blinkCounter = 0;
        ic.blinkOn = !ic.blinkOn;
    }
    if (ic.blinkOn)
        pixels::maskedBlit(view(s0), px, py, w, h, view(sys), ic.sx, ic.sy, view(sys), ic.sx + w, ic.sy);
    else
        iconRestore(c.rt, px, py, w, h);
    iconPresent(c, px, py, w, h, ic.blinkOn ? 0 : -2);
    ic.shown = ic.blinkOn;
    ic.shownX = px, ic.shownY = py;
}

// The click ended the wait: the icon leaves the screen.
void iconRemove(Call& c) {
    WaitIcon& ic = c.t.icon;
    if (!ic.shown) return;
    const int w = std::clamp(ic.w, 0, 1024), h = std::clamp(ic.h, 0, 1024);
    iconRestore(c.rt, ic.shownX, ic.shownY, w, h);
    graphics::presentRect(c.rt, Rect{ic.shownX, ic.shownY, w, h});
    ic.shown = false;
}

// --- auto mode ---------------------------------------------------------------------------------

// A click wait that follows a message begins.
void beginClickWait(Call& c) {
    c.rs.clickWait = true;
    ++c.t.pageWaits;
    c.rs.clickWaitSinceMs = c.rt.clock().nowMs();
}

// Auto mode goes on from a page's click wait by itself once the player has had time to read
// what the page showed: a base time and a time per character shown since the last wait, from
// when the wait began or auto mode was turned on, whichever came later. A wait set by the
// player (the trap key) and the menus' dialogs hold it.
bool autoAdvanceDue(Call& c) {
    const AppState& a = c.rt.app;
    if (!a.autoMode || c.rs.trapWait || a.playerDialogs != 0) return false;
    uint32_t since = c.rs.clickWaitSinceMs;
    const uint32_t on = a.autoSinceMs;
    if (static_cast<int32_t>(on - since) > 0) since = on;
    const int64_t delay = std::max<int64_t>(a.autoBaseMs, 0) +
                          std::max<int64_t>(a.autoPerCharMs, 0) * std::max<int32_t>(c.rs.charsSinceWait, 0);
    return static_cast<int64_t>(c.rt.clock().nowMs() - since) >= delay;
}

// --- fast-forward through read text ----------------------------------------------------------

// A page ahead of its click wait (or the end of its message) passes at this pace, on the game's
// clock: twenty a second, each seen for a moment.
constexpr uint32_t kFastPageMs = 50;

// Fast-forward is wanted: Ctrl is held or the mode is on, and no dialog of the menus is open.
bool fastWanted(const Call& c) {
    const AppState& a = c.rt.app;
    return (a.fastHeld != 0 || a.fastMode != 0) && a.playerDialogs == 0 && !c.t.selectMode;
}

// Whether the page now shown was read before, looked up once, before it is noted as read.
bool pageWasRead(Call& c) {
    if (!c.rs.pageLooked) {
        c.rs.pageLooked = true;
        c.rs.pageWasRead = save::pageWasRead(c.rt);
    }
    return c.rs.pageWasRead;
}

// Fast-forward draws the page now shown at once: it was read before, or unread ones pass too.
// A page the player has not read is typed as ever.
bool fastPage(Call& c) { return fastWanted(c) && (pageWasRead(c) || c.rt.app.fastUnread); }

// The page now shown has been shown to its end (its click wait begins, or its message ends):
// from now on it counts as read.
void pageShown(Call& c) {
    text::out::pageShown(c.rt, c.item);
    if (c.t.selectMode) return;
    c.rs.waitPageWasRead = pageWasRead(c);
    save::notePageRead(c.rt);
    ++c.t.display.pageInStmt;
    c.rs.pageLooked = false;
}

// Fast-forward goes on from a page's click wait a moment after it began (or after fast-forward
// was asked for). At the wait of a page new to the player the mode ends: the page is theirs to
// read (held, Ctrl goes on at the next read page once this one is clicked). A wait set by the
// player (the trap key) is theirs too.
bool fastAdvanceDue(Call& c) {
    if (c.rs.trapWait || !fastWanted(c)) return false;
    AppState& a = c.rt.app;
    if (!c.rs.waitPageWasRead && !a.fastUnread) {
        ui::setFastMode(a, false);
        return false;
    }
    return c.rt.clock().nowMs() - c.rs.clickWaitSinceMs >= kFastPageMs;
}

// --- characters --------------------------------------------------------------------------------

void lineBreak(Call& c) {
    c.rs.penY += c.h;
    c.rs.penX = c.rs.lineStartX;
    ++c.rs.lineCount;
    c.rs.charsInLine = 0;
}

// The glyph's coverage with the cell's top-left corner at (x, y), in colour c.
void drawGlyph(Screen& s, int x, int y, const GlyphCell& g, Rgb c) {
    if (g.width <= 0 || g.height <= 0 || g.coverage.size() != static_cast<size_t>(g.width) * g.height) return;
    pixels::drawCoverage(view(s), x + g.left, y + g.top, g.coverage.data(), g.width, g.height, c.b, c.g, c.r);
}

// The glyph at (x, y) in the item's text type; returns its ink box.
void drawTyped(Call& c, BytesView unit, int x, int y, int& l, int& t, int& r, int& b) {
    FontEngine& fe = font(c.rt);
    const GlyphCell& g = fe.cell(unit);
    Screen& mask = c.rt.screens.overlayMask;
    Screen& img = c.rt.screens.overlayImage;
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    const Rgb cur = c.current(), d = c.t.decoration;
    const int s = c.s;
    l = x + g.left, t = y + g.top, r = l + g.width, b = t + g.height;
    auto mark = [&](int dx, int dy) {
        drawGlyph(mask, x + dx, y + dy, g, black);
        l = std::min(l, x + dx + g.left), t = std::min(t, y + dy + g.top);
        r = std::max(r, x + dx + g.left + g.width), b = std::max(b, y + dy + g.top + g.height);
    };
    switch (c.type) {
    case 1:
        mark(0, 0), mark(s, s);
        drawGlyph(img, x, y, g, cur);
        break;
    case 2:
        mark(0, 0), mark(s, s);
        drawGlyph(img, x + s, y + s, g, white);
        drawGlyph(img, x, y, g, cur);
        break;
    case 3:
        mark(s, s), mark(0, 0);
        drawGlyph(img, x + s, y + s, g, d);
        drawGlyph(img, x, y, g, cur);
        break;
    case 4: {
        static constexpr int kRing[8][2] = {{2, 0}, {-2, 0}, {0, 2}, {0, -2}, {2, 2}, {-2, -2}, {2, -2}, {-2, 2}};
        for (const auto& o : kRing) mark(o[0], o[1]);
        mark(0, 0);
        for (const auto& o : kRing) drawGlyph(img, x + o[0], y + o[1], g, d);
        drawGlyph(img, x, y, g, cur);
        break;
    }
    default:
        mark(0, 0);
        drawGlyph(img, x, y, g, cur);
        break;
    }
}

// Steps C1 to C4; true when the call is over (one character per call at a wait).
bool putCharacter(Call& c, BytesView unit) {
    RenderState& rs = c.rs;
    const Marks& mk = marks();
    if (unit == mk.closeQuote) rs.quoteCounter = rs.quoteCounter == 1 ? 2 : 1;
    if (c.it.length != -1 && rs.charsInLine >= c.it.length) {
        bool hung = false;
        if (unit == mk.exclaim) {
            rs.exclamation = !rs.exclamation;
            hung = true;
        } else if (unit == mk.question) {
            rs.exclamation = true;
            hung = true;
        } else if (unit == mk.closeQuote && rs.quoteCounter >= 2) {
            rs.quoteCounter = 0;
            hung = true;
        } else if (std::find(mk.hang.begin(), mk.hang.end(), unit) != mk.hang.end()) {
            hung = true;
        }
        if (!hung) {
            lineBreak(c);
            rs.exclamation = false;
        }
    }
    const bool lineStart = rs.charsInLine == 0;
    ++rs.charsInLine;
    if (!c.t.selectMode) ++rs.charsSinceWait;
    rs.penX += c.h;
    rs.historyText.append(unit);

    ensureOverlay(c.rt);
    int l = 0, t = 0, r = 0, b = 0;
    drawTyped(c, unit, rs.penX, rs.penY, l, t, r, b);
    // The cell itself always counts, so that restoring covers the whole line.
    l = std::min(l, rs.penX), t = std::min(t, rs.penY);
    r = std::max(r, rs.penX + c.h), b = std::max(b, rs.penY + c.h);
    growDrawn(rs, l, t, r, b);
    rs.rightMost = std::max(rs.rightMost, r);
    rs.lowest = std::max(rs.lowest, rs.penY);
    rs.lowestInk = std::max(rs.lowestInk, b);
    if (c.t.layoutTrace) c.t.layoutTrace->push_back({Bytes(unit), rs.penX, rs.penY, lineStart});

    if (c.instant || c.skip) return false;
    composeArea(c.rt, l, t, r, b);
    graphics::presentRect(c.rt, Rect{l, t, r - l, b - t});
    // Completed by a click: drawn as typed, without the waits, so the message ends as it would.
    if (rs.completing) return false;
    c.rt.sleep(c.wait);
    // A click made during the character's wait belongs to this message: the step forgets the
    // clicks it did not look at when it yields, and most of a typed message's time is this sleep.
    noteClickWhileTyping(c);
    return true;
}

// --- escapes -----------------------------------------------------------------------------------

// "(...)" directly at the read position: its inside, and the position after ")".
bool parenthesised(BytesView text, int32_t pos, BytesView& inside, int32_t& after) {
    if (pos < 0 || static_cast<size_t>(pos) >= text.size() || text[static_cast<size_t>(pos)] != '(') return false;
    const size_t close = text.find(')', static_cast<size_t>(pos));
    if (close == BytesView::npos || close - static_cast<size_t>(pos) > 64) return false;
    inside = text.substr(static_cast<size_t>(pos) + 1, close - static_cast<size_t>(pos) - 1);
    after = static_cast<int32_t>(close) + 1;
    return true;
}

void colourEscape(Call& c) {
    BytesView in;
    int32_t after = 0;
    if (!parenthesised(c.text, c.rs.pos, in, after)) return;
    c.rs.pos = after;
    if (in.empty()) {
        c.rs.colourOverride = c.rs.savedOverride;
        c.rs.overrideColour = c.rs.savedColour;
        return;
    }
    int32_t v[3] = {0, 0, 0};
    size_t p = 0;
    for (int k = 0; k < 3; ++k) {
        const size_t comma = in.find(',', p);
        const BytesView part = in.substr(p, comma == BytesView::npos ? BytesView::npos : comma - p);
        if (part.empty() || (k < 2 && comma == BytesView::npos)) return;
        v[k] = std::clamp(leadingInt(part), 0, 255);
        p = comma == BytesView::npos ? in.size() : comma + 1;
    }
    c.rs.savedOverride = c.rs.colourOverride;
    c.rs.savedColour = c.rs.overrideColour;
    c.rs.colourOverride = true;
    c.rs.overrideColour = Rgb{static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[1]), static_cast<uint8_t>(v[2])};
}

void timedWaitEscape(Call& c) {
    BytesView in;
    int32_t after = 0;
    int32_t ms = c.t.defaultWait;
    if (parenthesised(c.text, c.rs.pos, in, after)) {
        c.rs.pos = after;
        ms = leadingInt(in);
    }
    if (c.instant || c.skip || c.t.selectMode || c.rs.completing) return;
    c.rs.timedWait = true;
    c.rs.timedWaitMs = ms;
    c.rs.timedWaitStart = c.rt.clock().nowMs();
}

// Runs a command written inside the text; true when it ended the text display (gosub).
bool inlineCommand(Call& c) {
    Interp& in = c.rt.interp;
    const BytesView text = c.text;
    const size_t open = text.find('(', static_cast<size_t>(c.rs.pos));
    if (open == BytesView::npos || open - static_cast<size_t>(c.rs.pos) > 64) return false;
    // The argument list runs to the first ")" outside quotes.
    size_t close = open + 1;
    for (bool quoted = false; close < text.size(); ++close) {
        if (text[close] == '"') quoted = !quoted;
        else if (text[close] == ')' && !quoted) break;
        else if (isLeadByte(static_cast<unsigned char>(text[close]))) ++close;
    }
    if (close >= text.size()) return false;
    const Bytes name = lowerAscii(text.substr(static_cast<size_t>(c.rs.pos), open - static_cast<size_t>(c.rs.pos)));
    const Bytes args = Bytes(text.substr(open, close - open + 1)) + ";";
    c.rs.pos = static_cast<int32_t>(close) + 1;

    const BytesView keepName = in.cmdName;
    bool ended = false;
    if (name == "gosub") {
        // The call returns into the statement that started the message, so that the script
        // goes on after it once the message is over. Its arguments are read as #gosub's are.
        const Args a = evaluateArgs(c.rt.interp, c.rt, kInts | kStrings, args);
        const int32_t keepPos = in.pos;
        in.pos = c.t.display.stmtStart + 1;
        const int32_t depth = in.calls.depth;
        if (script::call(c.rt, a.strings[0], a.strings[1], a.ints[0], a.ints[1]) > 0) {
            c.t.display.suspended = true;
            c.t.display.suspendDepth = depth;
            c.t.printing = false;
            ended = true;
        } else {
            in.pos = keepPos;
        }
    } else if (name == "loadimage" || name == "playwave" || name == "stopwave" || name == "openplaymcicdda") {
        in.cmdName = name;
        callCommand(c.rt, name, args);
    }
    in.cmdName = keepName;
    return ended;
}

// --- end of message ------------------------------------------------------------------------------

void endMessage(Call& c, bool keepPage) {
    RenderState& rs = c.rs;
    TextState& t = c.t;
    ++rs.pageCounter;
    if (t.selectMode) {
        const int32_t i = t.selectCount++;
        TextState::ChoiceLine line;
        line.rect = TextRect{c.x + c.h, c.y + i * c.h, c.x + (rs.penX - c.x) + c.h, c.y + (i + 1) * c.h - 1};
        line.label = t.pendingLabel;
        line.file = t.pendingFile;
        line.text = rs.historyText;
        t.choiceLines.push_back(std::move(line));
    }
    // Sent before the history takes the message's text away.
    text::out::pageShown(c.rt, c.item);
    text::history::finishMessage(t, c.item);
    pageShown(c);
    t.icon.blinkCounter = 0;
    t.icon.blinkOn = true;

    if (keepPage) {
        rs.continuePage = true;
    } else if (!t.selectMode) {
        c.rt.sleep(30);
        const TextRect old = c.it.rect;
        const TextRect now{c.x, c.y, std::max(rs.rightMost, c.x), std::max(rs.lowest + c.h, rs.lowestInk)};
        c.it.rect = now;
        // A rectangle never covered (all zero at the start) takes no part in the union.
        const bool oldEmpty = old.right <= old.left || old.bottom <= old.top;
        const int l = oldEmpty ? now.left : std::min(old.left, now.left);
        const int tp = oldEmpty ? now.top : std::min(old.top, now.top);
        const int r = oldEmpty ? now.right : std::max(old.right, now.right);
        const int b = oldEmpty ? now.bottom : std::max(old.bottom, now.bottom);
        restoreFromBack(c.rt, l, tp, r, b);
        if (!t.textBuffer) graphics::presentRect(c.rt, Rect{l, tp, r - l, b - tp});
    }
    rs.newPage = true;
    rs.absorbLineBreak = false;

    if (!t.selectMode) {
        const TextItem& next = itemRef(t, c.item + 1);
        const bool nextExists = c.item + 1 < static_cast<int32_t>(t.items.size());
        const bool nextWaits = nextExists && (next.wait != -1);
        // Instant or skipped text was never laid over the screen character by character: once
        // the page is complete it is composed here, or the clearing below would leave nothing.
        // Text typed with a wait is composed when the next item will type after it. Skipping,
        // that item is drawn at once and the page composed when it ends: until then what was
        // drawn (the speaker's name) stays in the overlay, which the next item's start would
        // otherwise clear.
        const bool pageDone = (c.instant || c.skip) && rs.pageCounter > c.pageItems;
        const bool nextWouldType = rs.pageCounter + 1 > c.pageItems && !rs.clickWait && nextWaits;
        const bool nextTypes = nextWouldType && !c.skip;
        rs.keepDrawn = nextWouldType && c.skip;
        if (pageDone || nextTypes) composeDrawn(c, true);
        if (c.lastItem()) clearOverlay(c.rt);
    }
}

void startMessage(Call& c) {
    RenderState& rs = c.rs;
    rs.pos = 0;
    rs.completing = false;
    rs.penX = c.x;
    rs.penY = c.y + (c.t.selectMode ? c.t.selectCount * c.h : 0);
    rs.lineStartX = c.x;
    rs.charsInLine = 0;
    rs.lineCount = 0;
    if (!rs.continuePage) {
        rs.rightMost = c.x;
        rs.lowest = c.y;
        rs.lowestInk = 0;
    }
    rs.timedWait = false;
    rs.timedWaitStart = 0;
    rs.newPage = false;
    rs.exclamation = false;
    rs.quoteCounter = 0;
    rs.colourOverride = rs.savedOverride = false;
    if (!rs.continuePage && !c.t.selectMode) {
        rs.pageCounter = 1;
        rs.charsSinceWait = 0;
        // Skipping that ended before this item types: the kept text is laid over now, as
        // the page read without skipping had it.
        if (rs.keepDrawn && !c.skip) composeDrawn(c, true);
        if (!c.t.textBuffer && !(rs.keepDrawn && c.skip)) clearOverlay(c.rt);
    }
    rs.keepDrawn = false;
    rs.continuePage = false;
}

}  // namespace

namespace {

// Nothing drawn: image black, mask white over the rectangle.
void blankOverlay(Screens& s, int x, int y, int w, int h) {
    pixels::fill(view(s.overlayImage), x, y, w, h, 0, 0, 0);
    pixels::fill(view(s.overlayMask), x, y, w, h, 255, 255, 255);
}

}  // namespace

void ensureOverlay(Runtime& rt) {
    Screens& s = rt.screens;
    if (s.overlayImage.exists() && s.overlayMask.exists()) return;
    const int w = std::max(rt.config.width, 1), h = std::max(rt.config.height, 1);
    s.overlayImage.allocate(w, h);
    s.overlayMask.allocate(w, h);
    blankOverlay(s, 0, 0, w, h);
    rt.text.overlayClean = true;
    rt.text.rs.drawnAny = false;
}

void clearOverlay(Runtime& rt) {
    ensureOverlay(rt);
    TextState& t = rt.text;
    RenderState& rs = t.rs;
    Screens& s = rt.screens;
    // Only the renderer writes the overlay: once it is known to be clean, clearing the box of
    // what was drawn since clears all of it.
    if (!t.overlayClean) {
        blankOverlay(s, 0, 0, std::max(s.overlayImage.width, s.overlayMask.width),
                     std::max(s.overlayImage.height, s.overlayMask.height));
        t.overlayClean = true;
    } else if (rs.drawnAny) {
        blankOverlay(s, rs.drawnLeft, rs.drawnTop, rs.drawnRight - rs.drawnLeft, rs.drawnBottom - rs.drawnTop);
    }
    rs.drawnAny = false;
}

FontEngine& font(Runtime& rt) {
    TextState& t = rt.text;
    if (!t.fontEngine) t.fontEngine = std::make_unique<FontEngine>();
    t.fontEngine->select(t.font);
    return *t.fontEngine;
}

int32_t render(Runtime& rt, int32_t item, BytesView text, int32_t x, int32_t y, int32_t type, Rgb colour) {
    TextState& t = rt.text;
    if (item == -1) {
        t.rs = RenderState{};
        t.overlayClean = false;  // what the overlay holds is no longer known
        t.icon.frame = t.icon.blinkCounter = 0;
        t.icon.blinkOn = true;
        t.icon.shown = false;
        t.icon.lastShot = {};
        return 1;
    }
    if (!t.printing) return 1;
    TextItem& it = itemRef(t, item);
    const int32_t h = cellHeight(t);
    const int32_t wait = t.selectMode ? -1 : it.wait;
    Call c{rt, t, t.rs, item, it, text, x, y, type, colour, h, h == 0 ? 2 : h / 12, wait, wait == -1,
           rt.app.skip != 0, std::max<int32_t>(static_cast<int32_t>(t.items.size()), 1)};
    RenderState& rs = t.rs;
    Interp& in = rt.interp;
    if (rs.newPage) startMessage(c);
    // (At a click wait the page ahead is decided once the wait is over.)
    if (!rs.clickWait && !c.instant && fastPage(c)) c.skip = true;

    const int32_t n = static_cast<int32_t>(text.size());
    while (rs.pos < n) {
        const bool clicked = in.leftClick.exchange(0) != 0;
        if (rs.clickWait && (clicked || autoAdvanceDue(c) || fastAdvanceDue(c))) {
            if (!rs.trapWait) ++t.pageWaitsPassed;  // the trap key's wait ends no page
            rs.clickWait = false;
            rs.charsSinceWait = 0;
            iconRemove(c);
            if (rs.trapWait && !t.textBuffer) graphics::presentScreen(rt);
            rs.trapWait = false;
            if (!c.instant && !c.skip && fastPage(c)) c.skip = true;
        } else if (clicked && !c.instant && !t.selectMode) {
            rs.completing = true;  // as noteClickWhileTyping
        }
        if (t.trapBuffer && !rs.clickWait && !rs.trapWait && in.rightClick.exchange(0)) {
            rs.clickWait = true;
            rs.trapWait = true;
        }
        // The menus' skip command needs to know whether a page waits for a click.
        rt.app.textClickWait = rs.clickWait ? 1 : 0;
        if (rs.clickWait) {
            iconFrame(c);
            return 0;
        }
        if (rs.timedWait) {
            if (!c.instant && !c.skip && !rs.completing) {
                if (rt.clock().nowMs() - rs.timedWaitStart < static_cast<uint32_t>(std::max(rs.timedWaitMs, 0)))
                    return 0;
            }
            rs.timedWait = false;
        }

        const auto b0 = static_cast<unsigned char>(text[static_cast<size_t>(rs.pos)]);
        const auto b1 = rs.pos + 1 < n ? static_cast<unsigned char>(text[static_cast<size_t>(rs.pos) + 1]) : 0u;
        const bool absorbed = rs.absorbLineBreak;
        rs.absorbLineBreak = false;

        const bool breakUnit = b1 == '\n' || (b0 == '\\' && b1 == 'n');
        if (breakUnit || b0 == '\n') {
            rs.pos += breakUnit ? 2 : 1;  // a lone line feed (a file with bare LF endings) is one byte
            if (absorbed) {
                rs.penX = rs.lineStartX;
            } else {
                rs.historyText += '\n';
                lineBreak(c);
            }
            continue;
        }
        if (b0 == '\r') {  // a carriage return without its line feed
            rs.pos += 1;
            continue;
        }
        if (b0 == '\\' && isEscapeLetter(static_cast<char>(b1))) {
            rs.pos += 2;
            switch (b1) {
            case 'z': {
                const TextRect& r = it.rect;
                restoreFromBack(rt, r.left, r.top, r.right, r.bottom);
                graphics::presentRect(rt, Rect{r.left, r.top, r.right - r.left, r.bottom - r.top});
                if (c.lastItem() && !t.selectMode) clearOverlay(rt);
                break;
            }
            case 'm':
                if (c.instant || c.skip) composeDrawn(c, false);
                iconFrame(c);
                pageShown(c);
                if (!t.selectMode) beginClickWait(c);
                rs.completing = false;
                if (rt.app.skip && (rt.app.stopAtWait || rt.app.endSkip)) {
                    // Skipping asked to stop at the next wait: it ends here and the menus
                    // come back.
                    rt.app.skip = 0;
                    rt.app.stopAtWait = 0;
                    rt.app.endSkip = 0;
                    c.skip = false;
                    if (!rt.app.choiceBlock) ui::menuLock(rt.app, rt.config, kUnlockAll);
                }
                break;
            case 'c': colourEscape(c); break;
            case 'e': endMessage(c, false); return 1;
            case 'u': endMessage(c, true); return 1;
            case '#':
                if (inlineCommand(c)) return 1;
                break;
            case 'p':
                if (c.instant || c.skip) composeDrawn(c, false);
                pageShown(c);
                if (!(c.instant && c.skip) && !t.selectMode) beginClickWait(c);
                rs.completing = false;
                rs.charsInLine = 0;
                rs.absorbLineBreak = true;
                break;
            case 'w': timedWaitEscape(c); break;
            default: break;
            }
            continue;
        }
        // A character: a double-byte one, or single-byte ones two to a cell.
        int len = 2;
        if (!isLeadByte(b0) && !(printableSingle(static_cast<unsigned char>(b1)) && b1 != '\\')) len = 1;
        if (rs.pos + len > n) len = n - rs.pos;
        const BytesView unit = text.substr(static_cast<size_t>(rs.pos), static_cast<size_t>(len));
        rs.pos += len;
        if (putCharacter(c, unit)) return 0;
    }
    if (c.wait > 0) {
        rt.sleep(c.wait);
        noteClickWhileTyping(c);
    }
    return 0;
}

bool advancePrinting(Runtime& rt) {
    TextState& t = rt.text;
    Display& d = t.display;
    // Each pass shows one message; automatic continuation may chain a few in one step.
    for (int guard = 0; guard < 1024 && t.printing; ++guard) {
        const TextItem& it = itemRef(t, d.item);
        if (render(rt, d.item, d.text, it.x, it.y, t.textType, d.colour) == 0) return false;
        if (!t.printing) return true;  // an inline subroutine call took over
        const int32_t n = t.continueCount;
        if (d.fromTable && n != -1 && n != 0 && !t.selectMode && d.continuations < n) {
            ++d.continuations;
            const int32_t item = d.item + 1;
            const int32_t row = d.continuations + d.firstRow - 1;
            if (item < static_cast<int32_t>(t.items.size()) && row >= 1 && row <= t.rowCount) {
                d.item = item;
                d.row = row;
                d.text = t.items[static_cast<size_t>(item)].rows[static_cast<size_t>(row - 1)];
                d.colour = t.continueColour;
                continue;
            }
        }
        d.continuations = 0;
        t.printing = false;
    }
    t.printing = false;
    return true;
}

void onReturn(Runtime& rt, int32_t depth) {
    Display& d = rt.text.display;
    if (!d.suspended || depth != d.suspendDepth) return;
    d.suspended = false;
    rt.text.printing = true;
}

}  // namespace yv::text
