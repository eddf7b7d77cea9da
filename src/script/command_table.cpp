// The command table, one row per command, and the letter dispatch.
#include "script/command_table.h"

#include <array>
#include <vector>

#include "app/commands.h"
#include "runtime.h"
#include "graphics/commands.h"
#include "media/commands.h"
#include "save/commands.h"
#include "script/control_commands.h"
#include "script/utility_commands.h"
#include "text/choice_commands.h"
#include "text/commands.h"

namespace yv {
namespace {

// clang-format off
constexpr CommandRow kRows[] = {
    {"alphablt",                kStored, false, cmdAlphablt,      "alpha-blend a whole screen onto another through a mask screen"},
    {"alphabitblt",             kStored, false, cmdAlphabitblt,   "alpha-blend a rectangle through a mask screen"},
    {"blt",                     kStored, false, cmdBlt,           "copy a whole screen to a position on another"},
    {"bitblt",                  kStored, false, cmdBitblt,        "copy a rectangle between screens (optionally colour-keyed)"},
    {"breakapp",                kKept,   false, cmdBreakapp,      "halt the script and close the main window"},
    {"clr",                     kKept,   false, cmdClr,           "clear a range of screens to black"},
    {"closemcimidi",            kKept,   false, cmdClosemcimidi,   "close the MIDI device"},
    {"closemciwave",            kKept,   false, cmdClosemciwave,   "close the wave device"},
    {"closemcicdda",            kKept,   false, cmdClosemcicdda,   "close the CD audio device"},
    {"createmenu",              kStored, false, cmdCreatemenu,    "turn the main window's menu on"},
    {"cstring",                 kStored, true , cmdCstring,       "convert a number to a string"},
    {"centerwindow",            kStored, false, cmdCenterwindow,  "centre the main window"},
    {"copyfile",                kStored, false, cmdCopyfile,      "copy a file"},
    {"createimage",             kStored, false, cmdCreateimage,   "create an empty image slot"},
    {"createtextf",             kStored, false, cmdCreatetextf,   "create the text items"},
    {"clrsavetmp",              kKept,   false, cmdClrsavetmp,    "recognised; does nothing"},
    {"clrsavetmpex",            kKept,   false, cmdClrsavetmpex,  "recognised; does nothing"},
    {"cddaready",               kStored, false, cmdCddaready,      "wait until the CD drive is ready"},
    {"deletemenu",              kStored, false, cmdDeletemenu,    "turn the main window's menu off"},
    {"deletesubmenu",           kStored, false, cmdDeletesubmenu, "remember the main window's current menu"},
    {"disablebutton",           kStored, false, cmdDisablebutton, "enable or grey the window's close command"},
    {"deletefile",              kStored, false, cmdDeletefile,    "delete a file"},
    {"end",                     kStored, false, cmdEnd,           "end the script"},
    {"exec",                    kStored, false, cmdExec,          "start a program or open a document"},
    {"effect",                  kStored, false, cmdEffect,        "turn on the screen effect that the step draws every pass"},
    {"findfile",                kStored, true , cmdFindfile,      "test whether a file exists"},
    {"fadevolume",              kStored, false, cmdFadevolume,     "fade a volume in the background"},
    {"fadevolumewait",          kStored, false, cmdFadevolumewait, "fade a volume and wait for the end"},
    {"fade",                    kStored, false, cmdFade,          "fade transition"},
    {"fillclr",                 kStored, false, cmdFillclr,       "fill a screen with a colour"},
    {"goto",                    kStored, false, cmdGoto,          "jump to a label, optionally in another file"},
    {"gosub",                   kStored, false, cmdGosub,         "call a label as a subroutine"},
    {"getrand",                 kStored, false, cmdGetrand,       "random number"},
    {"getstrlen",               kStored, false, cmdGetstrlen,     "length of a string"},
    {"getvolume",               kStored, false, cmdGetvolume,      "read a volume"},
    {"getwavetime",             kStored, true , cmdGetwavetime,    "wave playing position"},
    {"getmiditime",             kStored, false, cmdGetmiditime,    "MIDI playing position"},
    {"getcddatime",             kStored, false, cmdGetcddatime,    "CD playing position"},
    {"getcddastatus",           kStored, false, cmdGetcddastatus,  "CD device status"},
    {"getcurrentdirectry",      kStored, true , cmdGetcurrentdirectry, "current folder"},
    {"getmydocdirectry",        kStored, true , cmdGetmydocdirectry, "the user's documents folder"},
    {"getwindowsdirectry",      kStored, true , cmdGetwindowsdirectry, "the system's Windows folder"},
    {"getsystemdirectry",       kStored, true , cmdGetsystemdirectry, "the system folder"},
    {"getyear",                 kStored, true , cmdGetyear,       "current year"},
    {"getmonth",                kStored, true , cmdGetmonth,      "current month"},
    {"getday",                  kStored, true , cmdGetday,        "current day"},
    {"gethour",                 kStored, true , cmdGethour,       "current hour"},
    {"getminute",               kStored, true , cmdGetminute,     "current minute"},
    {"getsecond",               kStored, true , cmdGetsecond,     "current second"},
    {"getfiletime",             kStored, true , cmdGetfiletime,   "last-write time of a file"},
    {"if",                      kStored, false, cmdIf,            "conditional block"},
    {"int",                     kStored, true , cmdInt,           "convert a string or number to a number"},
    {"inputbox",                kStored, true , cmdInputbox,      "text input dialog"},
    {"inputbox2",               kStored, false, cmdInputbox2,     "text input dialog into a string variable"},
    {"loadimage",               kStored, false, cmdLoadimage,     "load an image file into an image slot"},
    {"loadtextf",               kStored, false, cmdLoadtextf,     "load a text table file into the text items"},
    {"locatef",                 kStored, false, cmdLocatef,       "set a text item's start position"},
    {"load",                    kStored, false, nullptr,          "load a saved game"},
    {"loop",                    kStored, false, cmdLoop,          "evaluates its arguments; does nothing else"},
    {"logstop",                 kStored, false, cmdLogstop,       "stop keeping message pages in the message history"},
    {"logstart",                kStored, false, cmdLogstart,      "keep message pages in the message history again"},
    {"memoryset",               kStored, false, cmdMemoryset,     "fill a string variable"},
    {"memcmp",                  kStored, false, cmdMemcmp,        "compare strings"},
    {"movewindow",              kStored, false, cmdMovewindow,    "move the main window"},
    {"messagebox",              kStored, false, cmdMessagebox,    "message box with buttons"},
    {"mouseclickwait",          kStored, false, cmdMouseclickwait, "wait for a click"},
    {"mouseclickevent",         kStored, false, cmdMouseclickevent, "click areas as a choice"},
    {"mouseclickeventex",       kStored, false, cmdMouseclickeventex, "click areas as a choice, extended form"},
    {"mouseimageclickevent",    kStored, false, cmdMouseimageclickevent, "image click areas as a choice"},
    {"mouseimageclickeventex",  kStored, false, cmdMouseimageclickeventex, "image click areas as a choice, extended form"},
    {"mosaicblt",               kStored, false, cmdMosaicblt,     "mosaic copy"},
    {"mosaicfade",              kStored, false, cmdMosaicfade,    "mosaic transition"},
    {"monofill",                kStored, false, cmdMonofill,      "grey-tone a rectangle"},
    {"nonesavetmp",             kStored, false, cmdNonesavetmp,   "turn temporary-save recording off"},
    {"openmciwave",             kKept,   false, cmdOpenmciwave,    "open a wave file"},
    {"openmcimidi",             kKept,   false, cmdOpenmcimidi,    "open a MIDI file"},
    {"openmcicdda",             kKept,   false, cmdOpenmcicdda,    "open the CD audio device"},
    {"openplaymciwave",         kKept,   false, cmdOpenplaymciwave, "open and play a wave file"},
    {"openplaymcimidi",         kKept,   false, cmdOpenplaymcimidi, "open and play a MIDI file"},
    {"openplaymcicdda",         kKept,   false, cmdOpenplaymcicdda, "open and play a CD track"},
    {"printtext",               kKept,   false, cmdPrinttext,     "print message text"},
    {"printtextf",              kKept,   false, cmdPrinttextf,    "show a row of a text item as a message"},
    {"playmcimidi",             kKept,   false, cmdPlaymcimidi,    "play the open MIDI file"},
    {"playmciwave",             kKept,   false, cmdPlaymciwave,    "play the open wave file"},
    {"playmcicdda",             kKept,   false, cmdPlaymcicdda,    "play CD audio"},
    {"playwave",                kKept,   false, cmdPlaywave,       "play a wave file"},
    {"paint",                   kKept,   false, cmdPaint,         "copy screen 1 to screen 0 and show it"},
    {"playavi",                 kKept,   false, nullptr,          "play an AVI video"},
    {"playmciavi",              kKept,   false, nullptr,          "play an AVI video through the media control interface"},
    {"painttextbuffer",         kKept,   false, cmdPainttextbuffer, "copy screen 1 over screen 0 with the text overlay and show it"},
    {"rename",                  kKept,   false, cmdRename,        "rename a file"},
    {"return",                  kStored, false, cmdReturn,        "return from a subroutine"},
    {"releaseimage",            kStored, false, cmdReleaseimage,  "free an image slot"},
    {"releasetextf",            kStored, false, cmdReleasetextf,  "free the text items"},
    {"resumesave",              kStored, false, nullptr,          "enable the save menu item again"},
    {"resumeload",              kStored, false, nullptr,          "enable the load menu item again"},
    {"resumelog",               kStored, false, nullptr,          "enable the third item of the first menu again"},
    {"startload",               kStored, false, nullptr,          "request loading a saved game"},
    {"stretchblt",              kStored, false, cmdStretchblt,    "lay the text overlay over screen 0 and show it"},
    {"setmute",                 kStored, false, cmdSetmute,        "mute or unmute"},
    {"stopmcimidi",             kKept,   false, cmdStopmcimidi,    "stop MIDI"},
    {"stopmciwave",             kKept,   false, cmdStopmciwave,    "stop wave"},
    {"stopmcicdda",             kKept,   false, cmdStopmcicdda,    "stop CD audio"},
    {"setvolume",               kStored, false, cmdSetvolume,      "set a volume"},
    {"setfont",                 kStored, true , cmdSetfont,       "choose the text font"},
    {"setfontdialog",           kStored, false, cmdSetfontdialog, "recognised; does nothing and yields 1"},
    {"settextspeed",            kStored, false, cmdSettextspeed,  "default per-character wait for new text items"},
    {"settextspeedf",           kStored, false, cmdSettextspeedf, "per-character wait of a text item"},
    {"settextwait",             kStored, false, cmdSettextwait,   "duration of the timed pause escape"},
    {"settitle",                kStored, false, cmdSettitle,      "window title"},
    {"showwindow",              kStored, false, cmdShowwindow,    "show or hide the main window"},
    {"savetmp",                 kStored, false, cmdSavetmp,       "turn temporary-save recording on"},
    {"save",                    kStored, false, nullptr,          "save the game"},
    {"setdefaultcolor",         kStored, false, cmdSetdefaultcolor, "default text colours"},
    {"select",                  kStored, false, cmdSelect,         "choice block"},
    {"selectex",                kStored, false, cmdSelectex,       "choice block, extended form"},
    {"selectcolor",             kStored, false, cmdSelectcolor,    "choice colours"},
    {"setmessagelength",        kStored, false, cmdSetmessagelength, "message line length"},
    {"settextwaitpos",          kStored, false, cmdSettextwaitpos, "position of the click-wait icon"},
    {"settextprintf",           kStored, false, cmdSettextprintf, "automatic continuation count and its colour"},
    {"settexttype",             kStored, false, cmdSettexttype,   "text style"},
    {"showcursor",              kStored, false, cmdShowcursor,    "show or hide the mouse cursor"},
    {"stopwave",                kStored, false, cmdStopwave,       "stop wave playback"},
    {"stopsave",                kStored, false, nullptr,          "grey the save menu item"},
    {"stopload",                kStored, false, nullptr,          "grey the load menu item"},
    {"stoplog",                 kStored, false, nullptr,          "grey the third item of the first menu"},
    {"systemsave",              kStored, false, cmdSystemsave,    "write system.dat"},
    {"systemload",              kStored, false, cmdSystemload,    "read system.dat"},
    {"setrectwaiticon",         kStored, false, cmdSetrectwaiticon, "click-wait icon source"},
    {"transblt",                kStored, false, cmdTransblt,      "step-toward blend of a whole screen"},
    {"transbitblt",             kStored, false, cmdTransbitblt,   "step-toward blend of a rectangle"},
    {"transfade",               kStored, false, cmdTransfade,     "cross-fade transition"},
    {"trapmouse",               kStored, false, cmdTrapmouse,      "arm a click trap that jumps"},
    {"trapmouseoff",            kStored, false, cmdTrapmouseoff,   "disarm the click trap"},
    {"trapbuffer",              kStored, false, cmdTrapbuffer,    "set the trap flag"},
    {"trapbufferoff",           kStored, false, cmdTrapbufferoff, "clear the trap flag"},
    {"transfill",               kStored, false, cmdTransfill,     "tint a rectangle"},
    {"textBuffer",              kStored, false, cmdTextBuffer,    "set the text buffer flag"},
    {"wait",                    kStored, false, cmdWait,          "wait a number of milliseconds"},
    {"wipe",                    kStored, false, cmdWipe,          "wipe transition"},
    {"zeromemory",              kStored, false, cmdZeromemory,    "empty a string variable"},};
// clang-format on

struct LetterIndex {
    std::array<std::vector<const CommandRow*>, 26> rows;
    LetterIndex() {
        for (const CommandRow& r : kRows) {
            char c = r.name[0];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
            rows[static_cast<size_t>(c - 'a')].push_back(&r);
        }
    }
};

const LetterIndex& letters() {
    static const LetterIndex index;
    return index;
}

}  // namespace

std::span<const CommandRow> commandTable() { return kRows; }

const CommandRow* findCommand(BytesView name) {
    if (name.empty()) return nullptr;
    char c = name[0];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c < 'a' || c > 'z') return nullptr;  // a name that starts with no letter matches nothing
    for (const CommandRow* r : letters().rows[static_cast<size_t>(c - 'a')])
        if (equalsNoCaseMb(r->name, name)) return r;
    return nullptr;
}

int32_t dispatchCommand(Runtime& rt, BytesView name) {
    const CommandRow* row = findCommand(name);
    if (!row || !row->handler) return 1;
    const int32_t v = row->handler(rt);
    if (row->result == kStored) rt.interp.result = v;
    return v;
}

}  // namespace yv
