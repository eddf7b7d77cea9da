// Reads the desktop's scale out of the environment and the X resources handed in.
#include "platform/desktop_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace yv {

namespace {
constexpr int kMaxScale = 4;

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}
}  // namespace

std::optional<double> xftDpiOf(std::string_view resources) {
    std::optional<double> dpi;
    while (!resources.empty()) {
        const size_t end = resources.find('\n');
        const std::string_view line = trim(resources.substr(0, end));
        resources = end == std::string_view::npos ? std::string_view{} : resources.substr(end + 1);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos || trim(line.substr(0, colon)) != "Xft.dpi") continue;
        const std::string value(trim(line.substr(colon + 1)));
        char* rest = nullptr;
        const double d = std::strtod(value.c_str(), &rest);
        // The last setting counts, as in the database itself.
        if (rest != value.c_str() && *rest == '\0' && std::isfinite(d) && d > 0) dpi = d;
    }
    return dpi;
}

int desktopScaleFrom(const char* gdkScale, std::optional<std::string_view> xResources) {
    if (gdkScale && *gdkScale) {
        char* rest = nullptr;
        const long s = std::strtol(gdkScale, &rest, 10);
        if (*rest == '\0' && s >= 1) return static_cast<int>(std::min<long>(s, kMaxScale));
    }
    if (xResources) {
        if (const auto dpi = xftDpiOf(*xResources))
            return std::clamp(static_cast<int>(std::floor(*dpi / 96.0 + 0.25)), 1, kMaxScale);
    }
    return 1;
}

}  // namespace yv
