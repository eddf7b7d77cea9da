// savetmp, nonesavetmp, clrsavetmp, clrsavetmpex, systemsave, systemload; save, load, startload;
// the commands that grey and enable the save, load and third entries of the menus.
#include "save/commands.h"

#include "core/cp932.h"
#include "runtime.h"
#include "save/save_folder.h"
#include "save/save_game.h"
#include "save/slots.h"
#include "lang/args.h"

namespace yv {
namespace {

// Position 0 "ｾｰﾌﾞ", 1 "ﾛｰﾄﾞ", 2 the entry after them, in the first submenu of the menu bar
// and of the pop-up menu, by position as the original did. Nothing while the game has no menu.
int32_t greyFirstPopupItem(Runtime& rt, int pos, bool grey) {
    if (rt.app.menuOn != 1) return 0;
    rt.app.menus.setFirstPopupItemGreyed(MenuWhich::Bar, pos, grey);
    rt.app.menus.setFirstPopupItemGreyed(MenuWhich::Popup, pos, grey);
    return 1;
}

Bytes fileArgument(const Args& args) { return args.strings.given(0) ? args.strings[0] : Bytes(); }

}  // namespace

namespace save {
bool setSaveMenusEnabled(Runtime& rt, bool on) {
    const bool a = greyFirstPopupItem(rt, 0, !on) != 0;
    const bool b = greyFirstPopupItem(rt, 1, !on) != 0;
    return a && b;
}
}  // namespace save

int32_t cmdSavetmp(Runtime& rt, const Args&) {
    rt.save.log.logging = 1;
    rt.save.log.add(82);
    return 1;
}

int32_t cmdNonesavetmp(Runtime& rt, const Args&) {
    rt.save.log.logging = 0;
    return 1;
}

// Accepted for old scripts; they do nothing.
int32_t cmdClrsavetmp(Runtime& rt, const Args&) { return rt.interp.result; }
int32_t cmdClrsavetmpex(Runtime& rt, const Args&) { return rt.interp.result; }

int32_t cmdSystemsave(Runtime& rt, const Args&) {
    save::writeSystemSave(rt);
    return 1;
}

int32_t cmdSystemload(Runtime& rt, const Args&) {
    save::readSystemSave(rt);
    return 1;
}

int32_t cmdSave(Runtime& rt, const Args& args) {
    const Bytes name = fileArgument(args);
    Outside why = Outside::No;
    const auto file = save::savePath(rt, name, &why);
    if (!file) {
        // A name that would leave the folder fails as one that cannot be created.
        if (why != Outside::No) save::sayRefused(rt, "save: not saved", name, why);
        rt.messageBox("FileName is \"" + name + "\"\n" + utf8ToCp932("セーブ生成に失敗しました"), "", MsgButtons::Ok,
                      MsgIcon::Error);
        return 0;
    }
    return save::saveGame(rt, *file, name) ? 1 : 0;
}

int32_t cmdLoad(Runtime& rt, const Args& args) {
    const Bytes name = fileArgument(args);
    const Bytes caption = utf8ToCp932("読み込みエラー");
    Outside why = Outside::No;
    const auto file = save::savePath(rt, name, &why);
    if (why != Outside::No) save::sayRefused(rt, "load: not loaded", name, why);
    std::error_code ec;
    if (!file || !std::filesystem::is_regular_file(*file, ec)) {
        rt.messageBox(utf8ToCp932("ファイルが見つかりませんでした"), caption, MsgButtons::Ok, MsgIcon::Exclamation);
        return 0;
    }
    if (!save::loadGame(rt, *file, name)) {
        save::sayNotASave(rt, caption);
        return 0;
    }
    return 1;
}

int32_t cmdStartload(Runtime& rt, const Args&) { return save::startLoad(rt) ? 1 : 0; }

int32_t cmdStopsave(Runtime& rt, const Args&) { return greyFirstPopupItem(rt, 0, true); }
int32_t cmdResumesave(Runtime& rt, const Args&) { return greyFirstPopupItem(rt, 0, false); }
int32_t cmdStopload(Runtime& rt, const Args&) { return greyFirstPopupItem(rt, 1, true); }
int32_t cmdResumeload(Runtime& rt, const Args&) { return greyFirstPopupItem(rt, 1, false); }
int32_t cmdStoplog(Runtime& rt, const Args&) { return greyFirstPopupItem(rt, 2, true); }
int32_t cmdResumelog(Runtime& rt, const Args&) { return greyFirstPopupItem(rt, 2, false); }

}  // namespace yv
