// Runtime construction and the full reset.
#include "runtime.h"

#include "core/cp932.h"
#include "play_warnings.h"
#include "text/renderer.h"

namespace yv {

Runtime::Runtime(Platform& p, std::filesystem::path dir)
    : platform(p), gameDir(std::move(dir)), resources(gameDir) {
    std::string s = gameDir.string();
    if (s.empty() || s.back() != '/') s += '/';
    startFolder = utf8ToCp932(s);
    interp.onReturn = [](Runtime& rt, int32_t depth) {
        text::choices::onReturn(rt, depth);
        text::onReturn(rt, depth);
    };
}

Runtime::~Runtime() { media::stop(*this); }

int32_t Runtime::messageBox(BytesView text, BytesView caption, MsgButtons buttons, MsgIcon icon) {
    // The title may change on the other thread meanwhile (settitle): take a copy.
    const Bytes title = caption.empty() ? app.title() : Bytes(caption);
    return platform.messageBox(text, title, buttons, icon);
}

bool Runtime::sleep(double ms) {
    if (closing()) return false;
    return !clock().waitFor(ms, interp.wake, [this] { return closing(); });
}

void Runtime::resetForLoad() {
    Interp& in = interp;
    in.pos = 0;
    in.stmtStart = 0;
    in.calls.depth = 0;
    in.scriptName = in.firstScript;
    for (int i = 0; i <= 900; ++i) in.ivar[static_cast<size_t>(i)] = 0;
    for (Bytes& s : in.svar) s.clear();
    in.wait.reset();
    in.wait.waitMs = 0;
    in.clickWaitMode = 0;
    // Blocks opened before the load belong to a text position that no longer applies.
    in.blocks.depth = 0;
    in.blocks.opened = 0;
    save.log.text.clear();
    save.log.logging = 0;
    media::reset(*this);
    for (Screen& s : screens.table) {
        s.fileName.clear();
        s.mask = 0;
    }
    text::reset(*this);
    text::choices::reset(*this);
    screens.effectOn = screens.fadeOn = screens.wipeOn = screens.transfadeOn =
        screens.mosaicfadeOn = false;
}

void Runtime::resetForStart() {
    resetForLoad();
    interp.ivar.fill(0);
    interp.halt = 0;
}

}  // namespace yv
