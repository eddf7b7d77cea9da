// Message text state: text items and table, font record, renderer state, click-wait icon,
// skip flags and the message history ring.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/bytes.h"
#include "core/in_progress.h"
#include "core/mutex.h"
#include "text/text_out.h"

namespace yv {

struct Runtime;
class FontEngine;
class ScriptSource;

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct TextRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// One numbered message window made by createtextf.
struct TextItem {
    std::vector<Bytes> rows;
    int32_t x = 0, y = 0;
    int32_t wait = 30;       // ms per character; -1 draws instantly
    int32_t savedWait = 30;  // copy kept for restoring
    Rgb colour{255, 255, 255};
    int32_t colourSet = 0;
    int32_t length = -1;     // characters per line; -1 = no limit
    TextRect rect;           // area last covered by the item's text
};

// What setfont and the FONT settings choose.
struct FontRecord {
    Bytes face;
    int32_t height = 24;
    int32_t weight = 700;
    int32_t strikeOut = 0, italic = 0, underline = 0;
};

// The click-wait icon's pictures in the system picture, and where it stands.
struct WaitIcon {
    int32_t source = 0;
    int32_t sx = 64, sy = 0, w = 32, h = 32;
    int32_t frames = 0;   // 0 = one blinking picture
    int32_t delay = 100;  // ms per frame (one byte)
    int32_t posMode = 0;  // 0 = right after the last character
    int32_t posX = 0, posY = 0, posExtra = 0;
    // Running state.
    int32_t frame = 0;
    int32_t blinkCounter = 0;
    bool blinkOn = true;
    bool shown = false;
    int32_t shownX = 0, shownY = 0;
    // What the window was last shown of the icon, and the present that showed it: a frame the
    // same as that one, with nothing presented since, is not presented again (a page waiting
    // for a click would otherwise redraw the window every step for a picture that blinks twice
    // a second).
    struct Shot {
        int32_t x = 0, y = 0, w = 0, h = 0, frame = -1;
        uint64_t present = 0;
        bool operator==(const Shot&) const = default;
    } lastShot;
};

// The message history: labels and texts in two rings of 40. The window thread reads it when the
// player opens the history, so the strings are guarded.
struct History {
    static constexpr int kSize = 40;
    mutable Mutex mutex;
    std::array<Bytes, kSize> labels YV_GUARDED_BY(mutex);
    std::array<Bytes, kSize> texts YV_GUARDED_BY(mutex);
    int32_t writeIndex YV_GUARDED_BY(mutex) = 0;
    int32_t displayIndex YV_GUARDED_BY(mutex) = 0;
    bool recording = true;  // the interpreter's alone (the dialog never reads it)
};

// The renderer's state between calls (one set for the whole renderer).
struct RenderState {
    int32_t pos = 0;               // byte position in the text
    int32_t penX = 0, penY = 0;
    int32_t lineStartX = 0;
    int32_t charsInLine = 0;
    int32_t lineCount = 0;
    int32_t rightMost = 0, lowest = 0;  // extents (the cell's right edge, the line's top)
    int32_t lowestInk = 0;              // bottom of the lowest ink (shadows reach below the cell)
    int32_t pageCounter = 0;
    bool newPage = true;
    bool clickWait = false;
    bool timedWait = false;
    int32_t timedWaitMs = 0;
    uint32_t timedWaitStart = 0;
    bool absorbLineBreak = false;
    bool continuePage = false;
    // Skipping, the item that ended left its text in the overlay for the next one's page.
    bool keepDrawn = false;
    bool colourOverride = false;
    Rgb overrideColour;
    bool savedOverride = false;  // the colour in effect before \c: an override or the caller's
    Rgb savedColour;
    bool exclamation = false;
    int32_t quoteCounter = 0;      // 0..2: 1 after an opening, 2 after a closing quote
    Bytes historyText;
    size_t historySent = 0;  // the bytes of historyText already sent out (text_out.h)
    Bytes labelText;
    bool trapWait = false;         // a click wait set by the space key (trap flag)
    bool completing = false;       // a click while typing: the rest up to the wait is drawn at once
    // Auto mode: when the click wait began, and the characters shown since the last wait (or
    // the page's start), which set how long it lasts.
    uint32_t clickWaitSinceMs = 0;
    int32_t charsSinceWait = 0;
    // Fast-forward: whether the page now shown was read before (looked up once a page), and
    // whether the page that ended at the click wait now pending was.
    bool pageLooked = false;
    bool pageWasRead = false;
    bool waitPageWasRead = false;
    // Box around everything drawn since the overlay was last cleared (for composing).
    bool drawnAny = false;
    int32_t drawnLeft = 0, drawnTop = 0, drawnRight = 0, drawnBottom = 0;
};

// A message being shown (set by printtext / printtextf).
struct Display {
    int32_t item = 0;
    int32_t row = 0;          // printtextf row (from 1); 0 for printtext
    Bytes text;
    Rgb colour{255, 255, 255};
    bool fromTable = false;   // started by printtextf (automatic continuation applies)
    int32_t continuations = 0;
    int32_t firstItem = 0, firstRow = 0;
    // An inline subroutine call suspended the message; it resumes when the call returns to
    // this depth.
    bool suspended = false;
    int32_t suspendDepth = -1;
    // Where the statement that started the message begins: every inline call returns into it,
    // also one made after an earlier call returned (the statement last run is then a #return).
    int32_t stmtStart = 0;
    // The read-text memory knows the message's pages by the script file the statement is in
    // and by the page's place among those the statement shows (its click waits and ends).
    std::shared_ptr<const ScriptSource> script;
    int32_t pageInStmt = 0;
    // The page a restore put back, shown again: its text is not sent out again (text_out.h).
    bool replayed = false;
};

// One drawn character cell, recorded when a test asks for the layout.
struct DrawnUnit {
    Bytes unit;
    int32_t x = 0, y = 0;
    bool lineStart = false;  // first character of its line
};

struct TextState {
    explicit TextState(InProgress& p);
    ~TextState();
    TextState(const TextState&) = delete;
    TextState& operator=(const TextState&) = delete;

    ProgressFlag<bool, InProgress::kPrinting> printing;  // a text page is being printed
    bool textBuffer = false;  // textBuffer: drawing commands lay the overlay over screen 0
    bool trapBuffer = false;  // trapbuffer: the space key sets a click wait during a message
    bool overlayClean = false;  // the overlay was cleared and only the drawn box written since

    // Items and table.
    std::vector<TextItem> items;
    bool tablePresent = false;
    int32_t rowCount = 0;
    Bytes tableFile;          // the text table file last loaded
    int32_t currentItem = 0;  // the item last used by printtextf
    TextItem loose;           // stands in for the item while no table exists (printtext)

    // Settings.
    int32_t defaultSpeed = 30;   // settextspeed
    int32_t defaultWait = 1000;  // settextwait: \w without a time
    int32_t textType = -1;
    Rgb decoration;
    int32_t decorationMarker = 0;
    int32_t continueCount = 0;   // settextprintf: -1 or 0 = off
    Rgb continueColour;
    int32_t continueMarker = 0;
    FontRecord font;
    WaitIcon icon;

    // Skip mode and the no-wait speed are written by the window thread (menus, keys).

    // Select mode (choice blocks lay their lines out through the renderer): one line per
    // choice, its rectangle recorded when its message ends.
    struct ChoiceLine {
        TextRect rect;
        Bytes label, file;
        Bytes text;  // as drawn (CP932), read aloud when highlighted
    };
    bool selectMode = false;
    int32_t selectCount = 0;
    std::vector<ChoiceLine> choiceLines;
    Bytes pendingLabel, pendingFile;  // the strings of the printtextf being laid out

    // Counts the click waits that end a page (a message's, mouseclickwait's): the step's caller
    // keeps the game's state at each one for going back a page and for resuming.
    uint32_t pageWaits = 0;
    // Those of them a click (or auto mode) ended: a page the player went past (quick load asks
    // first after one; see save::progress).
    uint32_t pageWaitsPassed = 0;

    RenderState rs;
    Display display;
    History history;
    TextOut out;

    std::unique_ptr<FontEngine> fontEngine;
    std::vector<DrawnUnit>* layoutTrace = nullptr;  // tests: every drawn cell is recorded
};

namespace text {
// The text settings take the start-up configuration's values (FONT and TEXT sections).
void configure(Runtime& rt);
// The full reset: settings back to their defaults, renderer idle with a new page, history
// recording on.
void reset(Runtime& rt);

}  // namespace text

}  // namespace yv
