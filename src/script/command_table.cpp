// The command table, one row per command, and the letter dispatch.
#include "script/command_table.h"

#include <array>
#include <vector>

#include "app/commands.h"
#include "graphics/blit_commands.h"
#include "graphics/image_commands.h"
#include "graphics/transitions.h"
#include "media/commands.h"
#include "runtime.h"
#include "save/commands.h"
#include "script/control_commands.h"
#include "script/dialog_commands.h"
#include "script/file_commands.h"
#include "script/variable_commands.h"
#include "text/choice_commands.h"
#include "text/commands.h"

namespace yv {
namespace {

// clang-format off
constexpr CommandRow kRows[] = {
    {"alphablt",               kInts,                             kStored, cmdAlphablt,      "alpha-blend a whole screen onto another through a mask screen"},
    {"alphabitblt",            kInts,                             kStored, cmdAlphabitblt,   "alpha-blend a rectangle through a mask screen"},
    {"blt",                    kInts,                             kStored, cmdBlt,           "copy a whole screen to a position on another"},
    {"bitblt",                 kInts,                             kStored, cmdBitblt,        "copy a rectangle between screens (optionally colour-keyed)"},
    {"breakapp",               kNothing,                          kKept,   cmdBreakapp,      "halt the script and close the main window"},
    {"clr",                    kInts,                             kKept,   cmdClr,           "clear a range of screens to black"},
    {"closemcimidi",           kNothing,                          kKept,   cmdClosemcimidi,  "close the MIDI device"},
    {"closemciwave",           kNothing,                          kKept,   cmdClosemciwave,  "close the wave device"},
    {"closemcicdda",           kNothing,                          kKept,   cmdClosemcicdda,  "close the CD audio device"},
    {"createmenu",             kNothing,                          kStored, cmdCreatemenu,    "turn the main window's menu on"},
    {"cstring",                kInts | kStrings,                  kStored, cmdCstring,       "convert a number to a string"},
    {"centerwindow",           kNothing,                          kStored, cmdCenterwindow,  "centre the main window"},
    {"copyfile",               kInts | kStrings,                  kStored, cmdCopyfile,      "copy a file"},
    {"createimage",            kInts,                             kStored, cmdCreateimage,   "create an empty image slot"},
    {"createtextf",            kInts | kWritten,                  kStored, cmdCreatetextf,   "create the text items"},
    {"clrsavetmp",             kNothing,                          kKept,   cmdClrsavetmp,    "recognised; does nothing"},
    {"clrsavetmpex",           kNothing,                          kKept,   cmdClrsavetmpex,  "recognised; does nothing"},
    {"cddaready",              kNothing,                          kStored, cmdCddaready,     "wait until the CD drive is ready"},
    {"deletemenu",             kNothing,                          kStored, cmdDeletemenu,    "turn the main window's menu off"},
    {"deletesubmenu",          kNothing,                          kStored, cmdDeletesubmenu, "remember the main window's current menu"},
    {"disablebutton",          kInts,                             kStored, cmdDisablebutton, "enable or grey the window's close command"},
    {"deletefile",             kStrings,                          kStored, cmdDeletefile,    "delete a file"},
    {"end",                    kNothing,                          kStored, cmdEnd,           "end the script"},
    {"exec",                   kInts | kStrings,                  kStored, cmdExec,          "start a program or open a document"},
    {"effect",                 kNothing,                          kStored, cmdEffect,        "turn on the screen effect that the step draws every pass"},
    {"findfile",               kStrings,                          kStored, cmdFindfile,      "test whether a file exists"},
    {"fadevolume",             kInts,                             kStored, cmdFadevolume,    "fade a volume in the background"},
    {"fadevolumewait",         kInts,                             kStored, cmdFadevolumewait, "fade a volume and wait for the end"},
    {"fade",                   kInts,                             kStored, cmdFade,          "fade transition"},
    {"fillclr",                kInts,                             kStored, cmdFillclr,       "fill a screen with a colour"},
    {"goto",                   kStrings,                          kStored, cmdGoto,          "jump to a label, optionally in another file"},
    {"gosub",                  kInts | kStrings,                  kStored, cmdGosub,         "call a label as a subroutine"},
    {"getrand",                kInts,                             kStored, cmdGetrand,       "random number"},
    {"getstrlen",              kStrings,                          kStored, cmdGetstrlen,     "length of a string"},
    {"getvolume",              kNothing,                          kStored, cmdGetvolume,     "read a volume"},
    {"getwavetime",            kNothing,                          kStored, cmdGetwavetime,   "wave playing position"},
    {"getmiditime",            kNothing,                          kStored, cmdGetmiditime,   "MIDI playing position"},
    {"getcddatime",            kNothing,                          kStored, cmdGetcddatime,   "CD playing position"},
    {"getcddastatus",          kNothing,                          kStored, cmdGetcddastatus, "CD device status"},
    {"getcurrentdirectry",     kNothing,                          kStored, cmdGetcurrentdirectry, "current folder"},
    {"getmydocdirectry",       kNothing,                          kStored, cmdGetmydocdirectry, "the user's documents folder"},
    {"getwindowsdirectry",     kNothing,                          kStored, cmdGetwindowsdirectry, "the system's Windows folder"},
    {"getsystemdirectry",      kNothing,                          kStored, cmdGetsystemdirectry, "the system folder"},
    {"getyear",                kNothing,                          kStored, cmdGetyear,       "current year"},
    {"getmonth",               kNothing,                          kStored, cmdGetmonth,      "current month"},
    {"getday",                 kNothing,                          kStored, cmdGetday,        "current day"},
    {"gethour",                kNothing,                          kStored, cmdGethour,       "current hour"},
    {"getminute",              kNothing,                          kStored, cmdGetminute,     "current minute"},
    {"getsecond",              kNothing,                          kStored, cmdGetsecond,     "current second"},
    {"getfiletime",            kStrings,                          kStored, cmdGetfiletime,   "last-write time of a file"},
    {"if",                     kConditions,                       kStored, cmdIf,            "conditional block"},
    {"int",                    kStrings,                          kStored, cmdInt,           "convert a string or number to a number"},
    {"inputbox",               kStrings | kConditions,            kStored, cmdInputbox,      "text input dialog"},
    {"inputbox2",              kStrings | kConditions,            kStored, cmdInputbox2,     "text input dialog into a string variable"},
    {"loadimage",              kInts | kStrings,                  kStored, cmdLoadimage,     "load an image file into an image slot"},
    {"loadtextf",              kInts | kStrings | kWritten,       kStored, cmdLoadtextf,     "load a text table file into the text items"},
    {"locatef",                kInts | kWritten,                  kStored, cmdLocatef,       "set a text item's start position"},
    {"load",                   kStrings,                          kStored, cmdLoad,          "load a saved game"},
    {"loop",                   kInts,                             kStored, cmdLoop,          "evaluates its arguments; does nothing else"},
    {"logstop",                kNothing,                          kStored, cmdLogstop,       "stop keeping message pages in the message history"},
    {"logstart",               kNothing,                          kStored, cmdLogstart,      "keep message pages in the message history again"},
    {"memoryset",              kInts | kNames | kStrings,         kStored, cmdMemoryset,     "fill a string variable"},
    {"memcmp",                 kInts | kStrings,                  kStored, cmdMemcmp,        "compare strings"},
    {"movewindow",             kInts,                             kStored, cmdMovewindow,    "move the main window"},
    {"messagebox",             kInts | kStrings,                  kStored, cmdMessagebox,    "message box with buttons"},
    {"mouseclickwait",         kInts,                             kStored, cmdMouseclickwait, "wait for a click"},
    {"mouseclickevent",        kStrings,                          kStored, cmdMouseclickevent, "click areas as a choice"},
    {"mouseclickeventex",      kStrings,                          kStored, cmdMouseclickeventex, "click areas as a choice, extended form"},
    {"mouseimageclickevent",   kStrings,                          kStored, cmdMouseimageclickevent, "image click areas as a choice"},
    {"mouseimageclickeventex", kStrings,                          kStored, cmdMouseimageclickeventex, "image click areas as a choice, extended form"},
    {"mosaicblt",              kInts,                             kStored, cmdMosaicblt,     "mosaic copy"},
    {"mosaicfade",             kInts,                             kStored, cmdMosaicfade,    "mosaic transition"},
    {"monofill",               kInts,                             kStored, cmdMonofill,      "grey-tone a rectangle"},
    {"nonesavetmp",            kNothing,                          kStored, cmdNonesavetmp,   "turn temporary-save recording off"},
    {"openmciwave",            kStrings,                          kKept,   cmdOpenmciwave,   "open a wave file"},
    {"openmcimidi",            kStrings,                          kKept,   cmdOpenmcimidi,   "open a MIDI file"},
    {"openmcicdda",            kNothing,                          kKept,   cmdOpenmcicdda,   "open the CD audio device"},
    {"openplaymciwave",        kInts | kStrings,                  kKept,   cmdOpenplaymciwave, "open and play a wave file"},
    {"openplaymcimidi",        kInts | kStrings,                  kKept,   cmdOpenplaymcimidi, "open and play a MIDI file"},
    {"openplaymcicdda",        kInts,                             kKept,   cmdOpenplaymcicdda, "open and play a CD track"},
    {"printtext",              kInts | kWritten,                  kKept,   cmdPrinttext,     "print message text"},
    {"printtextf",             kInts | kStrings | kWritten,       kKept,   cmdPrinttextf,    "show a row of a text item as a message"},
    {"playmcimidi",            kInts,                             kKept,   cmdPlaymcimidi,   "play the open MIDI file"},
    {"playmciwave",            kInts,                             kKept,   cmdPlaymciwave,   "play the open wave file"},
    {"playmcicdda",            kInts,                             kKept,   cmdPlaymcicdda,   "play CD audio"},
    {"playwave",               kInts | kStrings,                  kKept,   cmdPlaywave,      "play a wave file"},
    {"paint",                  kNothing,                          kKept,   cmdPaint,         "copy screen 1 to screen 0 and show it"},
    {"playavi",                kNothing,                          kKept,   nullptr,          "play an AVI video"},
    {"playmciavi",             kNothing,                          kKept,   nullptr,          "play an AVI video through the media control interface"},
    {"painttextbuffer",        kNothing,                          kKept,   cmdPainttextbuffer, "copy screen 1 over screen 0 with the text overlay and show it"},
    {"rename",                 kStrings,                          kKept,   cmdRename,        "rename a file"},
    {"return",                 kNothing,                          kStored, cmdReturn,        "return from a subroutine"},
    {"releaseimage",           kInts | kBare,                     kStored, cmdReleaseimage,  "free an image slot"},
    {"releasetextf",           kNothing,                          kStored, cmdReleasetextf,  "free the text items"},
    {"resumesave",             kNothing,                          kStored, cmdResumesave,    "enable the save menu item again"},
    {"resumeload",             kNothing,                          kStored, cmdResumeload,    "enable the load menu item again"},
    {"resumelog",              kNothing,                          kStored, cmdResumelog,     "enable the third item of the first menu again"},
    {"startload",              kNothing,                          kStored, cmdStartload,     "request loading a saved game"},
    {"stretchblt",             kNothing,                          kStored, cmdStretchblt,    "lay the text overlay over screen 0 and show it"},
    {"setmute",                kInts,                             kStored, cmdSetmute,       "mute or unmute"},
    {"stopmcimidi",            kNothing,                          kKept,   cmdStopmcimidi,   "stop MIDI"},
    {"stopmciwave",            kNothing,                          kKept,   cmdStopmciwave,   "stop wave"},
    {"stopmcicdda",            kNothing,                          kKept,   cmdStopmcicdda,   "stop CD audio"},
    {"setvolume",              kInts,                             kStored, cmdSetvolume,     "set a volume"},
    {"setfont",                kInts | kStrings | kWritten,       kStored, cmdSetfont,       "choose the text font"},
    {"setfontdialog",          kNothing,                          kStored, cmdSetfontdialog, "recognised; does nothing and yields 1"},
    {"settextspeed",           kInts | kWritten,                  kStored, cmdSettextspeed,  "default per-character wait for new text items"},
    {"settextspeedf",          kInts | kWritten,                  kStored, cmdSettextspeedf, "per-character wait of a text item"},
    {"settextwait",            kInts | kWritten,                  kStored, cmdSettextwait,   "duration of the timed pause escape"},
    {"settitle",               kStrings,                          kStored, cmdSettitle,      "window title"},
    {"showwindow",             kInts,                             kStored, cmdShowwindow,    "show or hide the main window"},
    {"savetmp",                kNothing,                          kStored, cmdSavetmp,       "turn temporary-save recording on"},
    {"save",                   kStrings,                          kStored, cmdSave,          "save the game"},
    {"setdefaultcolor",        kInts | kWritten,                  kStored, cmdSetdefaultcolor, "default text colours"},
    {"select",                 kNothing,                          kStored, cmdSelect,        "choice block"},
    {"selectex",               kNothing,                          kStored, cmdSelectex,      "choice block, extended form"},
    {"selectcolor",            kInts,                             kStored, cmdSelectcolor,   "choice colours"},
    {"setmessagelength",       kInts | kWritten,                  kStored, cmdSetmessagelength, "message line length"},
    {"settextwaitpos",         kInts | kWritten,                  kStored, cmdSettextwaitpos, "position of the click-wait icon"},
    {"settextprintf",          kInts | kWritten,                  kStored, cmdSettextprintf, "automatic continuation count and its colour"},
    {"settexttype",            kInts | kWritten,                  kStored, cmdSettexttype,   "text style"},
    {"showcursor",             kInts,                             kStored, cmdShowcursor,    "show or hide the mouse cursor"},
    {"stopwave",               kNothing,                          kStored, cmdStopwave,      "stop wave playback"},
    {"stopsave",               kNothing,                          kStored, cmdStopsave,      "grey the save menu item"},
    {"stopload",               kNothing,                          kStored, cmdStopload,      "grey the load menu item"},
    {"stoplog",                kNothing,                          kStored, cmdStoplog,       "grey the third item of the first menu"},
    {"systemsave",             kNothing,                          kStored, cmdSystemsave,    "write system.dat"},
    {"systemload",             kNothing,                          kStored, cmdSystemload,    "read system.dat"},
    {"setrectwaiticon",        kInts | kWritten,                  kStored, cmdSetrectwaiticon, "click-wait icon source"},
    {"transblt",               kInts,                             kStored, cmdTransblt,      "step-toward blend of a whole screen"},
    {"transbitblt",            kInts,                             kStored, cmdTransbitblt,   "step-toward blend of a rectangle"},
    {"transfade",              kInts,                             kStored, cmdTransfade,     "cross-fade transition"},
    {"trapmouse",              kInts | kStrings,                  kStored, cmdTrapmouse,     "arm a click trap that jumps"},
    {"trapmouseoff",           kNothing,                          kStored, cmdTrapmouseoff,  "disarm the click trap"},
    {"trapbuffer",             kNothing,                          kStored, cmdTrapbuffer,    "set the trap flag"},
    {"trapbufferoff",          kNothing,                          kStored, cmdTrapbufferoff, "clear the trap flag"},
    {"transfill",              kInts,                             kStored, cmdTransfill,     "tint a rectangle"},
    {"textBuffer",             kInts | kWritten,                  kStored, cmdTextBuffer,    "set the text buffer flag"},
    {"wait",                   kInts,                             kStored, cmdWait,          "wait a number of milliseconds"},
    {"wipe",                   kInts,                             kStored, cmdWipe,          "wipe transition"},
    {"zeromemory",             kInts,                             kStored, cmdZeromemory,    "empty a string variable"},
};
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

int32_t callCommand(Runtime& rt, const CommandRow& row, BytesView argText) {
    if (!row.handler) return 1;
    const Args args = evaluateArgs(rt, row.takes, argText);
    const int32_t v = row.handler(rt, args);
    if (row.result == kStored) rt.interp.result = v;
    return v;
}

int32_t callCommand(Runtime& rt, BytesView name, BytesView argText) {
    const CommandRow* row = findCommand(name);
    return row ? callCommand(rt, *row, argText) : 1;
}

}  // namespace yv
