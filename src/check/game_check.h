// `yorvane --check`: reads a game folder without running it and gathers every finding.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "check/finding.h"

namespace yv::check {

// The findings in the order of the files as they are reached (start.ini, then the first script
// and the scripts it names), each file's by line; nothing when the folder cannot be read.
std::optional<std::vector<Finding>> checkGame(const std::filesystem::path& gameDir);

// Prints them (one a line, or one JSON object a line) and returns the exit status: 0 nothing
// found, 1 something found. Notes alone do not count.
int printFindings(const std::vector<Finding>& findings, bool json, std::FILE* to);

}  // namespace yv::check
