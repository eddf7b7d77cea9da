// Small pieces the checker's scans share.
#pragma once

#include <string>
#include <vector>

#include "check/script_scan.h"
#include "core/bytes.h"
#include "lang/alerts.h"

namespace yv::check {

// The scanners' complaints become findings instead of message boxes.
struct QuietAlerts final : Alerts {
    std::vector<Bytes> said;
    void alert(BytesView t) override { said.emplace_back(t); }
};

inline bool isStrVar(char c) { return static_cast<unsigned char>(c) >= 0x41 && static_cast<unsigned char>(c) <= 0x7A; }

inline void add(ScriptScan& s, size_t at, const char* code, std::string text, const char* severity = "warning") {
    Finding f;
    f.code = code;
    f.text = std::move(text);
    f.severity = severity;
    s.findings.push_back(std::move(f));
    s.offsets.push_back(at);
}

}  // namespace yv::check
