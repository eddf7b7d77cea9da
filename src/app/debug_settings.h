// The settings listing the variable monitor shows in its "初期値" mode.
#pragma once

#include <string>
#include <vector>

#include "ui/config.h"
#include "ui/debug_windows.h"

namespace yv::app {

// The configuration as read at start, one line per section and setting, under the labels the
// monitor has always used. `iconFile` is the frame's icon file when one was found (UTF-8).
std::vector<ui::SettingLine> settingsListing(const Config& c, const std::string& iconFile);

}  // namespace yv::app
