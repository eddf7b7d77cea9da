// libFuzzer target: arbitrary bytes as a saved game (header, picture block, scrambled state
// text replayed through the command handlers), loaded into a small headless runtime.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "graphics/present.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "save/save_file.h"
#include "save/save_game.h"
#include "text/text_state.h"

using namespace yv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / "yv-fuzz-save";
        std::filesystem::create_directories(d);
        return d;
    }();
    HeadlessPlatform platform;
    Runtime rt(platform, dir);
    rt.config.width = 16;
    rt.config.height = 8;
    rt.resetForStart();
    text::configure(rt);
    graphics::createScreens(rt);
    rt.interp.running = 1;
    rt.resetForLoad();
    const BytesView file(reinterpret_cast<const char*>(data), size);
    // The loader's check first; the restore runs whatever it says, as it must hold for any bytes.
    (void)save::notASave(file);
    save::restoreFromBytes(rt, file);
    return 0;
}
