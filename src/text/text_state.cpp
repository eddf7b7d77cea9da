// Text state: construction, the start-up settings and the full reset.
#include "text/text_state.h"

#include "text/renderer.h"

#include "runtime.h"
#include "text/font.h"

namespace yv {

TextState::TextState(InProgress& p) : printing(p) {}
TextState::~TextState() = default;

namespace text {

void configure(Runtime& rt) {
    TextState& t = rt.text;
    const Config& c = rt.config;
    t.font.face = c.fontName;
    t.font.height = c.fontSize;
    t.font.weight = c.fontWeight;
    t.font.strikeOut = c.fontStrikeOut;
    t.font.italic = c.fontItalic;
    t.font.underline = c.fontUnderline;
    t.defaultSpeed = c.textSpeed;
    t.defaultWait = c.textWait;
    t.loose = TextItem{};
    t.loose.x = c.textLeft;
    t.loose.y = c.textTop;
    t.loose.wait = t.loose.savedWait = c.textSpeed;
}

void reset(Runtime& rt) {
    TextState& t = rt.text;
    t.printing = false;
    t.textBuffer = false;
    t.trapBuffer = false;
    t.items.clear();
    t.tablePresent = false;
    t.rowCount = 0;
    t.tableFile.clear();
    t.currentItem = 0;
    t.textType = -1;
    t.decoration = Rgb{};
    t.decorationMarker = 0;
    t.continueCount = 0;
    t.continueColour = Rgb{};
    t.continueMarker = 0;
    t.icon = WaitIcon{};
    rt.app.skip = 0;
    rt.app.stopAtWait = 0;
    rt.app.endSkip = 0;
    t.selectMode = false;
    t.selectCount = 0;
    t.choiceLines.clear();
    t.display = Display{};
    configure(rt);
    render(rt, -1, {}, 0, 0, 0, Rgb{});
    MutexLock lock(t.history.mutex);
    t.history.recording = true;
    t.history.displayIndex = 0;
}

}  // namespace text
}  // namespace yv
