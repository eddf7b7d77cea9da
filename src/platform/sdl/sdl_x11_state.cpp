// The window manager's full-screen state (_NET_WM_STATE) and the X error filter.
#include "platform/sdl/sdl_x11_state.h"

#ifdef YV_HAVE_X11
#include <SDL_syswm.h>
#include <X11/Xproto.h>

#include <atomic>
#endif

namespace yv {

int windowManagerFullScreen(SDL_Window* window) {
#if defined(YV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return -1;
    Display* display = info.info.x11.display;
    const Atom state = XInternAtom(display, "_NET_WM_STATE", True);
    const Atom full = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", True);
    if (state == None || full == None) return 0;  // nobody has ever used them
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, info.info.x11.window, state, 0, 64, False, XA_ATOM, &type, &format, &count,
                           &after, &data) != Success)
        return -1;
    int on = 0;
    if (data && type == XA_ATOM && format == 32) {
        // Format 32 properties come as longs, whatever the size of a long.
        const auto* atoms = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            if (atoms[i] == full) on = 1;
    }
    if (data) XFree(data);
    return on;
#else
    (void)window;
    return -1;
#endif
}

#if defined(YV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
namespace {

using XErrorFn = int (*)(Display*, XErrorEvent*);
std::atomic<XErrorFn> earlierHandler{nullptr};
std::atomic<bool> inHandler{false};

// SDL 2 wakes its event wait by sending a message to the window through a second connection,
// from whichever thread posts an event; a post that races the window's end reaches the server
// after the window went. Nothing is lost by dropping it: nobody waits on that window any more.
int filterXErrors(Display* display, XErrorEvent* e) {
    if (e->error_code == BadWindow && e->request_code == X_SendEvent) return 0;
    const XErrorFn earlier = earlierHandler.load();
    // SDL's own handler passes errors to the one it found, which may be this one after a restart.
    if (!earlier || inHandler.exchange(true)) return 0;
    const int r = earlier(display, e);
    inHandler = false;
    return r;
}

}  // namespace

void passStaleWakeUps() {
    const XErrorFn was = XSetErrorHandler(filterXErrors);
    if (was && was != filterXErrors) earlierHandler = was;
}
#else
void passStaleWakeUps() {}
#endif

}  // namespace yv
