// start.ini: keys the runtime does not read (with the nearest it does), values out of range.
#pragma once

#include <vector>

#include "check/finding.h"
#include "core/bytes.h"

namespace yv::check {

// `fileName` names the file in the findings ("start.ini" or "_$debug").
std::vector<Finding> checkIni(BytesView text, const char* fileName);

}  // namespace yv::check
