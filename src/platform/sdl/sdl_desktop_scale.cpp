// Asks the environment and the X server's resource database for the desktop's scale.
#include "platform/sdl/sdl_desktop_scale.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/desktop_scale.h"

#ifdef YV_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace yv {

namespace {

// The RESOURCE_MANAGER text of the display SDL uses (SDL 2 does not pass Xft.dpi on). A
// connection of our own, as the window may not exist yet.
std::optional<std::string> xResources() {
#ifdef YV_HAVE_X11
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return std::nullopt;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return std::nullopt;
    std::optional<std::string> text;
    if (const char* r = XResourceManagerString(d)) text = r;
    XCloseDisplay(d);
    return text;
#else
    return std::nullopt;
#endif
}

}  // namespace

int sdlDesktopScale() {
    const auto res = xResources();
    return desktopScaleFrom(std::getenv("GDK_SCALE"), res ? std::optional<std::string_view>(*res) : std::nullopt);
}

}  // namespace yv
