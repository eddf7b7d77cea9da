// Start-up and shutdown.
#include "app/shell.h"

#include <cstdio>

#include "core/cp932.h"
#include "graphics/png_write.h"
#include "graphics/present.h"
#include "script/interpreter.h"
#include "text/choices.h"

namespace fs = std::filesystem;

namespace yv {

Shell::Shell(Platform& platform, Options options)
    : platform_(platform), options_(std::move(options)),
      rt_(std::make_unique<Runtime>(platform, fs::absolute(options_.gameDir).lexically_normal())) {}

Shell::~Shell() { shutdown(); }

void Shell::readConfigFile(const fs::path& file) {
    auto ini = IniFile::load(file);
    rt_->config.read(ini ? *ini : IniFile{});
    applyConfig();
}

void Shell::applyConfig() {
    Runtime& rt = *rt_;
    rt.interp.pacingMs = rt.config.fps;
    platform_.setTitle(rt.config.title);
    rt.interp.firstScript = rt.config.script;
    rt.interp.scriptName = rt.config.script;
    text::configure(rt);
}

void Shell::startInterpreter() {
    // The thread exists from the view's first update on; its steps do nothing until start-up
    // has finished and enabled them.
    interpreter_ = std::thread([this] { interp::threadLoop(*rt_); });
    while (!rt_->interp.threadActive) std::this_thread::yield();
}

bool Shell::start(std::string& why) {
    Runtime& rt = *rt_;
    realStart_ = std::chrono::steady_clock::now();
    rt.interp.stepsEnabled = 0;

    // The view's first update: start values, the system save, the interpreter thread.
    rt.resetForStart();
    save::readSystemSave(rt);
    startInterpreter();

    const fs::path ini = rt.resources.paths().find("start.ini").value_or(rt.gameDir / "start.ini");
    std::error_code ec;
    if (!fs::is_regular_file(ini, ec)) {
        why = "no start.ini in " + rt.gameDir.string();
        return false;  // ends quietly: no window, no message
    }
    readConfigFile(ini);
    rt.resources.openArchives(rt.config.dat, rt.config.datInfo, rt.config.datInfo2);
    if (!rt.resources.archiveMode()) rt.config.dat = 0;

    ScriptPtr first = interp::loadScript(rt, rt.config.script);
    if (!first) {
        rt.messageBox("first script, not find!", "load script error", MsgButtons::Ok, MsgIcon::Error);
        why = "cannot read the first script " + cp932ToUtf8(rt.config.script);
        return false;
    }
    rt.interp.script = std::move(first);
    rt.interp.pos = 0;

    // A _$debug file beside start.ini is read over it: its missing keys take the defaults.
    // The archives stay as opened: its DAT only switches them off or blinds their indexes.
    if (auto debug = rt.resources.paths().find("_$debug"); debug && fs::is_regular_file(*debug, ec)) {
        readConfigFile(*debug);
        rt.resources.applySecondReading(rt.config.dat, rt.config.datInfo, rt.config.datInfo2);
    }

    graphics::createScreens(rt);
    graphics::presentScreen(rt);

    started_ = true;
    rt.interp.stepsEnabled = 1;
    return true;
}

void Shell::onMouseButton(int button, bool down, int x, int y) {
    if (!down) return;
    rt_->interp.mouseX = x;
    rt_->interp.mouseY = y;
    if (button == 1) rt_->interp.leftClick = 1;
    if (button == 2) rt_->interp.rightClick = 1;
}

void Shell::onMouseMove(int x, int y) {
    rt_->interp.mouseX = x;
    rt_->interp.mouseY = y;
}

void Shell::onKey(int key, bool down) {
    if (key == kKeySpace) {
        if (down) rt_->interp.rightClick = 1;
        return;
    }
    choices::onKey(*rt_, key, down);
}

void Shell::autoClick() {
    int32_t x = rt_->interp.mouseX, y = rt_->interp.mouseY;
    choices::highlightedCentre(*rt_, x, y);
    onMouseButton(1, true, x, y);
}

void Shell::beginClose() {
    Runtime& rt = *rt_;
    rt.interp.halt = 1;
    rt.interp.stepsEnabled = 0;
    rt.interp.wait.waitMs = 0;
    rt.interp.clickWaitMode = 0;
    closing_ = true;
}

bool Shell::onCloseRequest() {
    Runtime& rt = *rt_;
    if (rt.config.endMessage != 0) {
        const Bytes text = rt.config.title + utf8ToCp932(" を終了します。\n終了してよろしいですか？");
        if (platform_.messageBox(text, rt.config.title, MsgButtons::YesNo, MsgIcon::Question) != kIdYes)
            return false;
    }
    beginClose();
    return true;
}

void Shell::forceClose(bool timedOut) {
    if (timedOut) timedOut_ = true;
    beginClose();
}

bool Shell::onIdle() {
    if (closing_) return true;
    if (options_.maxSeconds > 0 &&
        std::chrono::steady_clock::now() - realStart_ >
            std::chrono::duration<double>(options_.maxSeconds)) {
        forceClose(true);
        return true;
    }
    // Without a window the game is over once the script has ended.
    if (platform_.headless() && started_ && !rt_->interp.threadActive) return true;
    return false;
}

int Shell::run() {
    platform_.run(*this);
    shutdown();
    return timedOut_ ? 124 : 0;
}

void Shell::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    Runtime& rt = *rt_;
    interp::stop(rt);
    if (interpreter_.joinable()) interpreter_.join();
    if (!started_) return;
    save::writeSystemSave(rt);
    if (options_.screenshot) {
        int w = 0, h = 0;
        std::vector<uint8_t> frame = platform_.shownFrame(w, h);
        if (frame.empty()) {
            w = rt.config.width > 0 ? rt.config.width : 640;
            h = rt.config.height > 0 ? rt.config.height : 480;
            frame.assign(static_cast<size_t>(w) * h * 3, 0);
        }
        if (writePng(*options_.screenshot, frame.data(), w, h))
            std::fprintf(stderr, "screenshot: %s\n", fs::absolute(*options_.screenshot).c_str());
        else
            std::fprintf(stderr, "yorvane: cannot write the screenshot %s\n", options_.screenshot->c_str());
    }
}

}  // namespace yv
