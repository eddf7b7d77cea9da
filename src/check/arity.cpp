// The argument counts of the commands whose handlers read a fixed set of numbers and strings.
#include "check/arity.h"

#include <iterator>

namespace yv::check {
namespace {

constexpr uint32_t n(int a) { return 1u << a; }
constexpr uint32_t n(int a, int b) { return n(a) | n(b); }
constexpr uint32_t n(int a, int b, int c) { return n(a) | n(b) | n(c); }
constexpr uint32_t range(int lo, int hi) { return lo > hi ? 0 : n(lo) | range(lo + 1, hi); }

// clang-format off
constexpr Arity kArity[] = {
    {"alphabitblt",    n(9, 10),      0, 0, "alpha omitted = -1, the mask as it is"},
    {"alphablt",       range(4, 6),   0, 0, "with 4 numbers the destination is screen 1; alpha omitted = -1"},
    {"bitblt",         n(8, 9),       0, 0, "mode omitted = 0, a plain copy"},
    {"blt",            range(3, 5),   0, 0, "with 3 numbers the destination is screen 1; mode omitted = 0"},
    {"clr",            n(2),          0, 0, ""},
    {"copyfile",       n(0, 1),       2, 2, "fail-if-exists omitted = 0"},
    {"createimage",    n(1, 3, 4),    0, 0, ""},
    {"createtextf",    n(2),          0, 0, ""},
    {"deletefile",     n(0),          1, 1, ""},
    {"disablebutton",  n(2),          0, 0, ""},
    {"exec",           n(0, 1),       1, 1, "mode omitted = 0"},
    {"fade",           n(3, 4) | n(8, 9), 0, 0, "click omitted = 0, the rectangle omitted = the whole screen, source omitted = screen 1"},
    {"fadevolume",     n(1, 2),       0, 0, "start volume omitted = the volume now"},
    {"fadevolumewait", n(1, 2),       0, 0, "start volume omitted = the volume now"},
    {"fillclr",        n(2),          0, 0, ""},
    {"getrand",        n(2),          0, 0, ""},
    {"goto",           n(0),          1, 2, "file omitted = the current script"},
    {"gosub",          range(0, 3),   1, 2, "file omitted = the text already loaded"},
    {"loadimage",      n(1, 2),       1, 1, "mask omitted = none"},
    {"loadtextf",      n(0, 2),       1, 1, ""},
    {"locatef",        n(3),          0, 0, ""},
    {"monofill",       n(6),          0, 0, ""},
    {"mosaicblt",      n(4),          0, 0, ""},
    {"movewindow",     n(2),          0, 0, ""},
    {"openmcimidi",    n(0),          1, 1, ""},
    {"openmciwave",    n(0),          1, 1, ""},
    {"openplaymcimidi", n(0, 1),      1, 1, "loop omitted = 0"},
    {"openplaymciwave", n(0, 1),      1, 1, "loop omitted = 0"},
    {"playavi",        range(4, 6) | n(0), 1, 1, "no rectangle = the whole screen"},
    {"playmciavi",     n(0, 4),       1, 1, "no rectangle = the whole screen"},
    {"playwave",       range(0, 2),   1, 1, "wait and loop omitted = 0"},
    {"printtext",      n(1, 2),       0, 0, "colour omitted = the item's colour"},
    {"printtextf",     n(2, 3),       0, 2, "colour omitted = the item's colour"},
    {"rename",         n(0),          2, 2, ""},
    {"setdefaultcolor", n(2),         0, 0, ""},
    {"setmessagelength", n(2),        0, 0, ""},
    {"settextspeedf",  n(2),          0, 0, ""},
    {"settextwaitpos", n(3),          0, 0, ""},
    {"settitle",       n(0),          1, 1, ""},
    {"transbitblt",    n(9),          0, 0, ""},
    {"transblt",       n(4, 5),       0, 0, "with 4 numbers the destination is screen 1"},
    {"transfade",      n(3, 4) | n(8, 9), 0, 0, "click omitted = 0, the rectangle omitted = the whole screen, source omitted = screen 1"},
    {"transfill",      n(6),          0, 0, ""},
    {"trapmouse",      n(1, 2),       1, 2, "kind omitted = gosub; file omitted = the current script"},
    {"wait",           n(1),          0, 0, ""},
    {"wipe",           n(3, 4),       0, 0, "with 3 numbers the screen is -1, black"},
    {"zeromemory",     n(2),          0, 0, ""},
};
// clang-format on

bool sameFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace

const Arity* arityOf(std::string_view name) {
    for (const Arity& a : kArity)
        if (sameFolded(a.name, name)) return &a;
    return nullptr;
}

const Arity* arityBegin() { return std::begin(kArity); }
const Arity* arityEnd() { return std::end(kArity); }

}  // namespace yv::check
