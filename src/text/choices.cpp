// The choice phase: collecting select blocks, highlighting the area under the pointer, jumping
// to the chosen label; mouse traps.
#include "text/choices.h"

#include <algorithm>

#include "ui/app_state.h"
#include "graphics/present.h"
#include "pixels/pixel_ops.h"
#include "platform/platform.h"
#include "runtime.h"
#include "script/jumps.h"
#include "text/renderer.h"
#include "text/text_out.h"
#include "ui/speech.h"

namespace yv::text::choices {
namespace {

constexpr int32_t kMaxBlockChoices = 20;

Rect toRect(const TextRect& a) { return Rect{a.left, a.top, a.right - a.left + 1, a.bottom - a.top + 1}; }

Rect unite(const Rect& a, const Rect& b) {
    if (a.w <= 0 || a.h <= 0) return b;
    if (b.w <= 0 || b.h <= 0) return a;
    const int l = std::min(a.x, b.x), t = std::min(a.y, b.y);
    return Rect{l, t, std::max(a.x + a.w, b.x + b.w) - l, std::max(a.y + a.h, b.y + b.h) - t};
}

Screen* screenAt(Runtime& rt, int32_t n) {
    if (n < 0 || n >= kScreenCount) return nullptr;
    Screen& s = rt.screens.table[static_cast<size_t>(n)];
    return s.exists() ? &s : nullptr;
}

TextRect areaOf(const ChoiceRecord& r) { return TextRect{r.left, r.top, r.right, r.bottom}; }

bool sameArea(const TextRect& a, const TextRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Opening brace of a block: the items' text comes off the screen and the renderer lays the
// coming messages out as choices.
void openBlock(Runtime& rt) {
    Choices& c = rt.choices;
    TextState& t = rt.text;
    Screens& s = rt.screens;
    for (const TextItem& it : t.items)
        pixels::copyRect(view(s.table[0]), it.rect.left, it.rect.top, it.rect.right - it.rect.left,
                         it.rect.bottom - it.rect.top, view(s.table[1]), it.rect.left, it.rect.top, 0, 0);
    t.selectMode = true;
    t.selectCount = 0;
    t.choiceLines.clear();
    c.savedTextType = t.textType;
    t.textType = -1;
    c.savedContinue = t.continueCount;
    t.continueCount = 0;
}

// Closing brace of the outermost level: the laid-out lines become the list on offer.
void closeBlock(Runtime& rt) {
    Choices& c = rt.choices;
    TextState& t = rt.text;
    // The last choice's message is laid out at once; let it end before the lines are taken.
    for (int guard = 0; guard < 64 && t.printing; ++guard) text::advancePrinting(rt);
    t.selectMode = false;
    rt.screens.saveUnder = rt.screens.table[0];
    Bytes list;
    std::vector<Bytes> texts;
    const int32_t n = std::min<int32_t>(static_cast<int32_t>(t.choiceLines.size()), kMaxBlockChoices);
    for (int32_t i = 0; i < n; ++i) {
        const TextState::ChoiceLine& line = t.choiceLines[static_cast<size_t>(i)];
        if (line.label.empty()) break;
        list += text::choicelist::blockRecord(line.rect, line.label, line.file, c.colour);
        texts.push_back(line.text);
    }
    list += ";";
    t.textType = c.savedTextType;
    t.continueCount = c.savedContinue;
    c.collecting = false;
    c.list = list;
    c.records = text::choicelist::parse(rt.interp, list);
    // One record a line: the texts stay beside them only while they match one to one.
    c.texts = c.records.size() == texts.size() ? std::move(texts) : std::vector<Bytes>{};
    c.imageMode = false;
    c.inBlock = true;
    c.firstPassDone = false;
    c.highlighted = false;
    c.keyboardMoved = false;
    rt.app.navSteps = 0;
    c.ready = true;
    rt.app.choiceList = 1;
}

// Reading aloud: the choice drawn highlighted, when the block gave its line's text (a click-area
// list has areas only, nothing to read).
void sayHighlighted(Runtime& rt, const ChoiceRecord& r) {
    const Choices& c = rt.choices;
    if (rt.app.speech.on == 0) return;
    for (size_t i = 0; i < c.texts.size(); ++i)
        if (sameArea(areaOf(c.records[i]), areaOf(r)))
            return ui::speak(rt.app.speech, text::out::messageText({}, c.texts[i], " "));
}

void highlight(Runtime& rt, const ChoiceRecord& r) {
    Choices& c = rt.choices;
    Screens& s = rt.screens;
    Screen& s0 = s.table[0];
    Rect changed{};
    if (c.highlighted) {
        const Rect old = toRect(c.lastArea);
        pixels::copyRect(view(s0), old.x, old.y, old.w, old.h, view(s.saveUnder), old.x, old.y, 0, 0);
        changed = old;
    }
    const Rect a = toRect(areaOf(r));
    Screen* pic = c.imageMode && r.picture && r.pictureScreen != 0 && r.pictureScreen != 1
                      ? screenAt(rt, r.pictureScreen)
                      : nullptr;
    Screen* base = r.base >= 0 ? screenAt(rt, r.base) : nullptr;
    if (pic) {
        if (r.step == 0 || r.step == -1)
            pixels::copyRect(view(s0), a.x, a.y, a.w, a.h, view(*pic), r.sx, r.sy, 0, 0);
        else
            pixels::stepToward(view(s0), a.x, a.y, a.w, a.h, view(*pic), r.sx, r.sy, r.step);
    } else if (base) {
        if (base != &s0) pixels::copyRect(view(s0), a.x, a.y, a.w, a.h, view(*base), a.x, a.y, 0, 0);
        pixels::tint(view(s0), a.x, a.y, a.w, a.h, r.colour.r, r.colour.g, r.colour.b);
    }
    changed = unite(changed, a);
    if (c.inBlock && s.overlayImage.exists() && s.overlayMask.exists()) {
        for (const ChoiceRecord& other : c.records) {
            const Rect o = toRect(areaOf(other));
            pixels::compose(view(s0), view(s.overlayMask), view(s.overlayImage), o.x, o.y, o.w, o.h);
            changed = unite(changed, o);
        }
    }
    graphics::presentRect(rt, changed);
    c.lastArea = areaOf(r);
    c.highlighted = true;
    sayHighlighted(rt, r);
    c.hotX = (r.left + r.right) / 2;
    c.hotY = (r.top + r.bottom) / 2;
}

// gosub or goto with the record's label, file and number (the gosub's mode); true when it
// jumped.
bool jump(Runtime& rt, const ChoiceRecord& r, bool useGoto) {
    Interp& in = rt.interp;
    const int32_t keepPos = in.pos, keepStmt = in.stmtStart;
    // The call returns just before the current read position, so the statement there runs next.
    in.pos = keepPos - 1;
    in.stmtStart = keepPos;
    // A goto's file not named (empty, or ';') is the current script, as #goto reads its own.
    const bool named = !r.file.empty() && r.file[0] != ';';
    const int32_t at = useGoto ? script::jump(rt, r.label, named ? r.file : Bytes(in.scriptName))
                               : script::call(rt, r.label, r.file, r.number);
    if (at > 0) return true;
    in.pos = keepPos;
    in.stmtStart = keepStmt;
    return false;
}

void clearOffer(Runtime& rt) {
    Choices& c = rt.choices;
    c.ready = false;
    c.list.clear();
    c.records.clear();
    c.texts.clear();
    c.inBlock = false;
    c.imageMode = false;
    c.firstPassDone = false;
    c.highlighted = false;
    c.keyboardMoved = false;
    rt.app.choiceList = 0;
    c.hotX = -1;
    c.hotY = -1;
}

void afterChoice(Runtime& rt) {
    Choices& c = rt.choices;
    Interp& in = rt.interp;
    ++c.taken;
    if (c.inBlock) {
        if (c.keyboardMoved) {
            rt.app.mouseX = c.pointerBeforeX;
            rt.app.mouseY = c.pointerBeforeY;
            rt.platform.warpMouse(c.pointerBeforeX, c.pointerBeforeY);
        }
        ui::menuLock(rt.app, rt.config, kUnlockSkip);
        Screens& s = rt.screens;
        if (s.saveUnder.pixels.size() == s.table[0].pixels.size()) s.table[0].pixels = s.saveUnder.pixels;
        if (s.table[1].pixels.size() == s.table[0].pixels.size()) s.table[1].pixels = s.table[0].pixels;
        text::clearOverlay(rt);
        graphics::presentScreen(rt);
        rt.app.choiceBlock = 0;
    }
    clearOffer(rt);
    in.leftClick = 0;
    in.rightClick = 0;
    rt.app.enterChoice = 0;
}

// Up and Down put the pointer on the centre of the previous or next choice.
void takeKeys(Runtime& rt) {
    Choices& c = rt.choices;
    const int32_t steps = rt.app.navSteps.exchange(0);
    if (steps == 0 || !c.inBlock || c.records.empty()) return;
    const int32_t n = static_cast<int32_t>(c.records.size());
    int32_t cur = -1;
    for (int32_t i = 0; i < n && c.highlighted; ++i)
        if (sameArea(areaOf(c.records[static_cast<size_t>(i)]), c.lastArea)) cur = i;
    const int32_t next = cur < 0 ? (steps > 0 ? 0 : n - 1) : std::clamp(cur + steps, 0, n - 1);
    if (!c.keyboardMoved) {
        c.keyboardMoved = true;
        c.pointerBeforeX = rt.app.mouseX;
        c.pointerBeforeY = rt.app.mouseY;
    }
    const ChoiceRecord& r = c.records[static_cast<size_t>(next)];
    const int32_t x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    rt.app.mouseX = x;
    rt.app.mouseY = y;
    rt.platform.warpMouse(x, y);
}

}  // namespace

void reset(Runtime& rt) {
    Choices& c = rt.choices;
    clearOffer(rt);
    c.collecting = false;
    c.useGoto = false;
    c.blockLevel = 0;
    c.lastBracePos = -1;
    c.lastBraceScript = nullptr;
    c.colour = Rgb{0, 0, 20};
    c.trapButton = 0;
    c.trapGoto = false;
    c.trapLabel.clear();
    c.trapFile.clear();
    c.trapDepth = -1;
    rt.app.navSteps = 0;
    // A block that a load (or a new start) ends gives the skip entry back as a choice taken
    // does: the menu bar kept it greyed where the pop-up menu, not greyed in a window, had it.
    if (rt.app.choiceBlock.exchange(0)) ui::menuLock(rt.app, rt.config, kUnlockSkip);
    rt.text.selectMode = false;
}

void collectAt(Runtime& rt) {
    Choices& c = rt.choices;
    Interp& in = rt.interp;
    const BytesView t = in.text();
    if (in.pos < 0 || in.pos >= static_cast<int32_t>(t.size())) return;
    const char b = t[static_cast<size_t>(in.pos)];
    if (b != '{' && b != '}') return;
    if (in.pos == c.lastBracePos && in.script.get() == c.lastBraceScript) return;
    c.lastBracePos = in.pos;
    c.lastBraceScript = in.script.get();
    if (b == '{') {
        in.blocks.push(in.pos);
        if (c.blockLevel++ == 0) openBlock(rt);
        return;
    }
    in.blocks.pop();
    if (--c.blockLevel <= 0) {
        c.blockLevel = 0;
        closeBlock(rt);
    }
}

bool post(Runtime& rt, BytesView list, bool useGoto, bool imageMode) {
    Choices& c = rt.choices;
    std::vector<ChoiceRecord> records = text::choicelist::parse(rt.interp, list);
    if (records.empty()) return false;
    clearOffer(rt);
    c.list = Bytes(list);
    c.records = std::move(records);
    c.useGoto = useGoto;
    c.imageMode = imageMode;
    rt.app.navSteps = 0;
    // Unhighlighted areas come back from this copy.
    rt.screens.saveUnder = rt.screens.table[0];
    c.ready = true;
    rt.app.choiceList = 1;
    return true;
}

void runChoicePhase(Runtime& rt) {
    Choices& c = rt.choices;
    Interp& in = rt.interp;
    takeKeys(rt);
    const int32_t x = rt.app.mouseX, y = rt.app.mouseY;
    const bool firstPass = c.inBlock && !c.firstPassDone;
    c.firstPassDone = true;
    // Enter takes the choice drawn highlighted (the first one before the pointer has moved onto
    // any): the highlight says it is the one selected.
    if (rt.app.enterChoice.exchange(0) && c.highlighted && in.leftClick != 0) {
        for (size_t i = 0; i < c.records.size(); ++i) {
            const ChoiceRecord r = c.records[i];
            if (r.button != 1 || !sameArea(c.lastArea, areaOf(r))) continue;
            if (jump(rt, r, c.useGoto)) {
                afterChoice(rt);
                return;
            }
            break;
        }
    }
    // The records are looked at by index: a jump clears the list.
    for (size_t i = 0; i < c.records.size(); ++i) {
        const ChoiceRecord r = c.records[i];
        if (!r.contains(x, y) && !(firstPass && i == 0)) continue;
        if (!c.highlighted || !sameArea(c.lastArea, areaOf(r))) highlight(rt, r);
        const bool pressed = r.button == 1 ? in.leftClick != 0 : r.button == 2 ? in.rightClick != 0 : false;
        if (pressed && jump(rt, r, c.useGoto)) {
            afterChoice(rt);
            return;
        }
    }
}

void checkTraps(Runtime& rt) {
    Choices& c = rt.choices;
    Interp& in = rt.interp;
    if (c.trapButton != 1 && c.trapButton != 2) return;
    if (c.trapDepth >= 0) return;  // its subroutine is still running
    std::atomic<int32_t>& flag = c.trapButton == 1 ? in.leftClick : in.rightClick;
    if (!flag.exchange(0)) return;
    const Bytes label = c.trapLabel, file = c.trapFile;
    const bool useGoto = c.trapGoto;
    if (c.trapButton == 2) c.trapButton = 0;
    if (useGoto) {
        script::jump(rt, label, file);
        return;
    }
    const int32_t depth = in.calls.depth;
    ChoiceRecord r;
    r.label = label;
    r.file = file;
    if (jump(rt, r, false) && c.trapButton != 0) c.trapDepth = depth;
}

void onReturn(Runtime& rt, int32_t depth) {
    if (rt.choices.trapDepth == depth) rt.choices.trapDepth = -1;
}

bool highlightedCentre(const Runtime& rt, int32_t& x, int32_t& y) {
    const int32_t hx = rt.choices.hotX, hy = rt.choices.hotY;
    if (hx < 0 || hy < 0) return false;
    x = hx;
    y = hy;
    return true;
}

}  // namespace yv::text::choices
