// The clock, random numbers, string length and comparison, and filling variables.
#include <cstdio>
#include <ctime>

#include "runtime.h"
#include "lang/args.h"
#include "script/variable_commands.h"

namespace yv {
namespace {

int32_t timeField(Runtime& rt, int os::LocalTime::*field, const char* fmt) {
    const os::LocalTime t = rt.platform.localTime();
    const int v = t.*field;
    char buf[16];
    std::snprintf(buf, sizeof buf, fmt, v);
    rt.interp.strResult = buf;
    return v;
}

// The C library generator of the games' platform: 0 .. 32767.
int32_t nextRaw(Interp& in) {
    in.randState = in.randState * 214013u + 2531011u;
    return static_cast<int32_t>((in.randState >> 16) & 0x7FFF);
}

bool isVarLetter(const Bytes& s) {
    return s.size() == 1 && static_cast<unsigned char>(s[0]) >= 0x41 && static_cast<unsigned char>(s[0]) <= 0x7A;
}

}  // namespace

int32_t cmdGetyear(Runtime& rt, const Args&) { return timeField(rt, &os::LocalTime::year, "%04d"); }
int32_t cmdGetmonth(Runtime& rt, const Args&) { return timeField(rt, &os::LocalTime::month, "%02d"); }
int32_t cmdGetday(Runtime& rt, const Args&) { return timeField(rt, &os::LocalTime::day, "%02d"); }
int32_t cmdGethour(Runtime& rt, const Args&) { return timeField(rt, &os::LocalTime::hour, "%02d"); }
int32_t cmdGetminute(Runtime& rt, const Args&) { return timeField(rt, &os::LocalTime::minute, "%02d"); }
int32_t cmdGetsecond(Runtime& rt, const Args&) { return timeField(rt, &os::LocalTime::second, "%02d"); }

int32_t cmdGetrand(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const IntList& iv = args.ints;
    if (!in.randSeeded) {
        in.randState = static_cast<uint32_t>(std::time(nullptr));
        in.randSeeded = true;
    }
    // A number not written counts as 0.
    const int64_t low = iv.given(0) ? iv[0] : 0;
    const int64_t high = iv.given(1) ? iv[1] : 0;
    const int64_t m = std::min(low, high);
    const int64_t d = high - low;
    const int64_t raw = nextRaw(in);
    int64_t v;
    if (high == 0)
        v = m != 0 ? m + raw : raw;
    else if (d == 0)
        v = m;
    else
        v = m + raw % d;  // the remainder keeps the sign of the raw number: never negative
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

int32_t cmdGetstrlen(Runtime&, const Args& args) {
    const StringList& s = args.strings;
    return static_cast<int32_t>(s[0].size());
}

int32_t cmdMemcmp(Runtime& rt, const Args& args) {
    const IntList& iv = args.ints;
    const StringList& s = args.strings;
    rt.save.log.add(75, iv[0], iv[1], s[0], s[1]);
    if (!iv.given(0) || !iv.given(1)) return s[0] == s[1] ? 1 : 0;
    return iv[0] == iv[1] ? 1 : 0;
}

int32_t cmdMemoryset(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const IntList& iv = args.ints;
    const StringList& names = args.names;
    const StringList& s = args.strings;
    rt.save.log.add(74, iv[0], iv[1], iv[2], names[0], names[1], s[2]);
    const int64_t first = iv[0], last = iv[1];
    if (!iv.given(1)) {
        // Without a last number the integer form does nothing, so the string form may take
        // over: #memoryset(@A, @C, "text"); fills @A .. @C with the text.
        if (isVarLetter(names[0]) && isVarLetter(names[1]) && s.size() > 3) {
            const size_t a = static_cast<unsigned char>(names[0][0]) - 0x41u;
            const size_t b = static_cast<unsigned char>(names[1][0]) - 0x41u;
            for (size_t k = a; k <= b; ++k) {
                in.svar[k] = s[2];
                in.noteChange(static_cast<int32_t>(k));
            }
        }
        return 1;
    }
    if (last < first) return 1;
    for (int64_t k = std::max<int64_t>(first, 0); k <= std::min<int64_t>(last, kIntVarCount - 1); ++k)
        in.setInt(k, iv[2]);
    return 1;
}

int32_t cmdZeromemory(Runtime& rt, const Args& args) {
    Interp& in = rt.interp;
    const IntList& iv = args.ints;
    rt.save.log.add(84, iv[0], iv[1]);
    const int64_t first = iv[0], last = iv[1];
    for (int64_t k = std::max<int64_t>(first, 0); k <= std::min<int64_t>(last, kIntVarCount - 1); ++k)
        in.setInt(k, 0);
    return 1;
}

}  // namespace yv
