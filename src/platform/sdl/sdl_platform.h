// The desktop platform: an SDL2 window that shows screen 0, mouse input, modal message boxes.
#pragma once

#include <memory>

#include "app/cli.h"
#include "platform/platform.h"

namespace yv {

// Nothing when no window can be opened (`why` says why).
std::unique_ptr<Platform> makeSdlPlatform(const Options& options, std::string& why);

}  // namespace yv
