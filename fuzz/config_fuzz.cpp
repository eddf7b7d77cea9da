// libFuzzer target: arbitrary bytes as start.ini, parsed and read into the settings.
#include <cstddef>
#include <cstdint>

#include "ui/config.h"
#include "io/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const yv::IniFile ini = yv::IniFile::parse(yv::BytesView(reinterpret_cast<const char*>(data), size));
    yv::Config c;
    c.read(ini);
    return 0;
}
