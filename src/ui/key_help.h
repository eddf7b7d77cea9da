// Every key and mouse action the program answers, for ヘルプ › 操作方法, README and the man page.
#pragma once

#include <span>

#include "core/bytes.h"

namespace yv::ui {

struct KeyHelp {
    const char* keyEn;   // as README "Playing" and the man page's KEYS name it
    const char* whatEn;
    const char* keyJa;   // the dialog's (UTF-8)
    const char* whatJa;
};

// In the order the lists show them. README and the man page list the same rows (a test
// compares them).
std::span<const KeyHelp> keyHelp();

// Between a row's key and what it does in the dialog's text (UTF-8). A window draws a text
// whose every line holds it as a table of two columns.
inline constexpr const char* kKeySeparator = "　：　";

// The 操作方法 dialog's text (CP932): one line per row, the key, then what it does, in Japanese
// or English.
Bytes keyHelpText(bool japanese);

}  // namespace yv::ui
