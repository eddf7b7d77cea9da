// Initialisation-file parsing: [section] lines, key=value lines, ';' comment lines.
#include "io/ini.h"

#include "io/file_reader.h"
#include <sstream>

namespace yv {
namespace {

BytesView trim(BytesView s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

IniFile IniFile::parse(BytesView text) {
    IniFile ini;
    Section* cur = nullptr;
    size_t p = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") p = 3;  // a UTF-8 mark left by an editor
    while (p < text.size()) {
        size_t e = text.find('\n', p);
        if (e == BytesView::npos) e = text.size();
        BytesView line = trim(text.substr(p, e - p));
        p = e + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            BytesView name = trim(line.substr(1, close == BytesView::npos ? BytesView::npos : close - 1));
            ini.sections_.push_back({Bytes(name), {}});
            cur = &ini.sections_.back();
            continue;
        }
        size_t eq = line.find('=');
        if (!cur || eq == BytesView::npos) continue;
        cur->entries.emplace_back(Bytes(trim(line.substr(0, eq))), Bytes(trim(line.substr(eq + 1))));
    }
    return ini;
}

std::optional<IniFile> IniFile::load(const std::filesystem::path& file) {
    auto data = io::readRegular(file, int64_t{16} << 20);
    if (!data) return std::nullopt;
    return parse(*data);
}

std::optional<Bytes> IniFile::find(BytesView section, BytesView key) const {
    if (asked_) asked_->emplace_back(section, key);
    for (const Section& s : sections_) {
        if (!equalsNoCaseMb(s.name, section)) continue;
        for (const auto& [k, v] : s.entries)
            if (equalsNoCaseMb(k, key)) return v;
        // The profile functions look in the first section of that name only.
        return std::nullopt;
    }
    return std::nullopt;
}

int32_t IniFile::getInt(BytesView section, BytesView key, int32_t def) const {
    auto v = find(section, key);
    if (!v) return def;
    return leadingInt(*v);
}

Bytes IniFile::getString(BytesView section, BytesView key, BytesView def) const {
    auto v = find(section, key);
    if (!v) return Bytes(def);
    BytesView s = *v;
    // Matching quotes around a value are removed, as the profile string function does.
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        s = s.substr(1, s.size() - 2);
    return Bytes(s);
}

}  // namespace yv
