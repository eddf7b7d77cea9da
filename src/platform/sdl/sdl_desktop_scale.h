// The scale of the desktop the windows open on (see platform/desktop_scale.h for the rule).
#pragma once

namespace yv {

// GDK_SCALE, else the X server's Xft.dpi resource (on the X11 video driver only); 1 when
// neither says. Call after SDL's video has started.
int sdlDesktopScale();

}  // namespace yv
