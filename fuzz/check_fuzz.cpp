// libFuzzer target: arbitrary bytes as a script and as a start.ini for the checker's scans.
#include <cstddef>
#include <cstdint>

#include "check/ini_check.h"
#include "check/script_scan.h"
#include "lang/interp.h"

using namespace yv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const BytesView raw(reinterpret_cast<const char*>(data), size);
    Interp in;
    const check::ScriptScan scan = check::scanScript(raw, in);
    // Every offset a finding names lies within the text (it becomes a line and a column).
    for (size_t at : scan.offsets)
        if (at > raw.size()) __builtin_trap();
    (void)check::checkIni(raw, "start.ini");
    return 0;
}
