// libFuzzer target: arbitrary bytes as system.dat, read at start-up as the game would.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "save/save_state.h"

using namespace yv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("yv-fuzz-sysdat-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    {
        std::ofstream out(dir / "system.dat", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    static HeadlessPlatform platform;
    static Runtime rt(platform, dir);
    save::readSystemSave(rt);
    return 0;
}
