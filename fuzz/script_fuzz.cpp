// libFuzzer target: arbitrary bytes as a script text, stepped headless, and as argument texts.
#include <cstddef>
#include <cstdint>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "script/interpreter.h"
#include "lang/scanners.h"

using namespace yv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / "yv-fuzz";
        std::filesystem::create_directories(d);
        return d;
    }();
    HeadlessPlatform platform;
    Runtime rt(platform, dir);
    rt.resetForStart();
    const Bytes text(reinterpret_cast<const char*>(data), size);
    (void)scanIntList(rt.interp, text);
    (void)scanConditionList(rt.interp, rt, text);
    (void)scanStringList(rt.interp, text);
    (void)scanNameList(text);
    rt.interp.setText(text);
    rt.interp.scriptName = ";";
    rt.interp.running = 1;
    rt.interp.stepsEnabled = 1;
    // A script may loop without ever waiting; stop it as closing the window would.
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock lock(m);
        if (!cv.wait_for(lock, std::chrono::milliseconds(50), [&] { return done; })) {
            rt.interp.halt = 1;
            rt.interp.running = 0;
        }
    });
    for (int i = 0; i < 50 && rt.interp.running && !rt.interp.halt; ++i) {
        script::step(rt);
        platform.manualClock().advance(50);
    }
    {
        std::lock_guard lock(m);
        done = true;
    }
    cv.notify_all();
    watchdog.join();
    return 0;
}
