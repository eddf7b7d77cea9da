// The window commands: they run on the interpreter thread and ask the platform, which carries
// the change out on the window thread.
#include "app/commands.h"

#include "app/menu_logic.h"
#include "runtime.h"
#include "lang/args.h"

namespace yv {

int32_t cmdCreatemenu(Runtime& rt, const Args&) {
    AppState& a = rt.app;
    a.menuOn = 1;
    rt.config.menu = 1;
    if (a.fullScreen) return 1;
    // Put back the bar kept aside; with none kept a bar that is on the window stays there.
    if (a.barKept) {
        a.barAttached = 1;
        a.barKept = 0;
    }
    rt.platform.setMenuBarShown(a.barAttached != 0);
    return 1;
}

int32_t cmdDeletemenu(Runtime& rt, const Args&) {
    AppState& a = rt.app;
    a.menuOn = 0;
    rt.config.menu = 0;
    // The bar that is on the window is kept aside; when none is on it, nothing is kept any more.
    a.barKept = a.barAttached ? 1 : 0;
    a.barAttached = 0;
    rt.platform.setMenuBarShown(false);
    return 1;
}

int32_t cmdDeletesubmenu(Runtime& rt, const Args&) {
    AppState& a = rt.app;
    if (a.barKept) return 0;
    a.barKept = a.barAttached ? 1 : 0;
    return 1;
}

int32_t cmdDisablebutton(Runtime& rt, const Args& args) {
    const IntList& v = args.ints;
    if (v[1] == 0) rt.platform.setCloseEnabled(v[0] != 0);
    return 1;
}

int32_t cmdSettitle(Runtime& rt, const Args& args) {
    const StringList& s = args.strings;
    const Bytes title = s.given(0) ? s[0] : Bytes();
    app::setWindowTitle(rt, title);
    rt.save.log.add(kRecordTitle, title);
    return 1;
}

int32_t cmdShowwindow(Runtime& rt, const Args& args) {
    const IntList& v = args.ints;
    if (v[0] < 0 || v[0] > 6) return 0;
    return rt.platform.showWindow(v[0]) ? 1 : 0;
}

int32_t cmdMovewindow(Runtime& rt, const Args& args) {
    if (rt.app.fullScreen) return 0;
    const IntList& v = args.ints;
    const int32_t x = v.given(0) ? v[0] : 0;
    const int32_t y = v.given(1) ? v[1] : 0;
    return rt.platform.moveWindow(x, y) ? 1 : 0;
}

int32_t cmdCenterwindow(Runtime& rt, const Args&) {
    if (rt.app.fullScreen) return 0;
    rt.platform.centerWindow();
    return 1;
}

int32_t cmdShowcursor(Runtime& rt, const Args& args) {
    const IntList& v = args.ints;
    const int32_t n = v.given(0) ? v[0] : 0;
    rt.platform.showCursor(n != 0);
    rt.save.log.add(kRecordCursor, n);
    return n;
}

}  // namespace yv
