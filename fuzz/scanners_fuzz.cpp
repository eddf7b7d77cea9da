// libFuzzer target: arbitrary bytes as the argument texts the script scanners read.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "lang/scanners.h"

using namespace yv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static HeadlessPlatform platform;
    static Runtime rt(platform, std::filesystem::temp_directory_path());
    const Bytes text(reinterpret_cast<const char*>(data), size);
    (void)scanIntList(rt.interp, text);
    (void)scanConditionList(rt.interp, rt, text);
    (void)scanStringList(rt.interp, text);
    (void)scanNameList(text);
    return 0;
}
