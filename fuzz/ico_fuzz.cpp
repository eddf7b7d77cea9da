// libFuzzer target: arbitrary bytes as the game's .ico or .cur file.
#include <cstddef>
#include <cstdint>

#include "ui/ico_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)yv::decodeIconFile(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
