// The desktop's scale (2 on a HiDPI screen set up for it): from GDK_SCALE or the X resource Xft.dpi.
#pragma once

#include <optional>
#include <string_view>

namespace yv {

// The Xft.dpi value of an X resource database's text ("Xft.dpi:\t192" lines), if it has one.
std::optional<double> xftDpiOf(std::string_view resources);

// The whole scale the desktop draws at. GDK_SCALE wins when it is a whole number of at least 1
// (the toolkits take it as the scale). Otherwise Xft.dpi: floor(dpi / 96 + 0.25), so that 192
// and 168 (1.75) give 2 and 144 (1.5) stays at 1, where doubled menus would crowd the screen.
// Nothing known: 1. At most 4. The DPI SDL reports is not asked: X servers without a real
// monitor (Xvfb) make one up, and the menus would change size on them for no reason.
int desktopScaleFrom(const char* gdkScale, std::optional<std::string_view> xResources);

}  // namespace yv
