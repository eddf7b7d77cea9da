// Case-insensitive, '\'-tolerant file lookup: exact path first, then a scan per folder.
#include "core/paths.h"

#include <system_error>

#include "core/cp932.h"

namespace fs = std::filesystem;

namespace yv {
namespace {

bool validUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

}  // namespace

PathResolver::PathResolver(fs::path base) : base_(std::move(base)) {}

std::vector<Bytes> PathResolver::split(BytesView name) {
    std::vector<Bytes> parts;
    Bytes cur;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (isLeadByte(c) && i + 1 < name.size()) {
            cur += name[i];
            cur += name[i + 1];
            ++i;
            continue;
        }
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
            continue;
        }
        cur += name[i];
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

std::string PathResolver::foldKey(std::string_view utf8) {
    std::string k(utf8);
    for (char& c : k)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return k;
}

std::string PathResolver::diskNameToUtf8(std::string_view raw) {
    return validUtf8(raw) ? std::string(raw) : cp932ToUtf8(raw);
}

std::optional<fs::path> PathResolver::matchIn(const fs::path& dir, const Bytes& component) const {
    if (component == ".") return dir;
    if (component == "..") return dir / "..";
    std::string utf8 = cp932ToUtf8(component);
    std::error_code ec;
    fs::path exact = dir / utf8;
    if (fs::exists(exact, ec)) return exact;
    fs::path raw = dir / component;  // a folder unpacked with raw CP932 names
    if (fs::exists(raw, ec)) return raw;
    const std::string want = foldKey(utf8);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string n = it->path().filename().string();
        if (foldKey(diskNameToUtf8(n)) == want) return it->path();
    }
    return std::nullopt;
}

std::optional<fs::path> PathResolver::find(BytesView name) const {
    if (name.empty()) return std::nullopt;
    fs::path cur = (name[0] == '/') ? fs::path("/") : base_;
    for (const Bytes& part : split(name)) {
        auto next = matchIn(cur, part);
        if (!next) return std::nullopt;
        cur = *next;
    }
    return cur;
}

fs::path PathResolver::forWrite(BytesView name) const {
    fs::path cur = (!name.empty() && name[0] == '/') ? fs::path("/") : base_;
    auto parts = split(name);
    for (size_t i = 0; i < parts.size(); ++i) {
        auto next = matchIn(cur, parts[i]);
        cur = next ? *next : cur / cp932ToUtf8(parts[i]);
    }
    return cur;
}

}  // namespace yv
