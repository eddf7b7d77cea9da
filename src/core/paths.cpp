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

std::optional<std::vector<Bytes>> PathResolver::partsBeneath(BytesView name, Outside* why) const {
    auto refuse = [&](Outside o) -> std::optional<std::vector<Bytes>> {
        if (why) *why = o;
        return std::nullopt;
    };
    const std::vector<Bytes> parts = split(name);
    size_t from = 0;
    const bool drive = name.size() >= 2 && name[1] == ':' &&
                       ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
    if (drive) return refuse(Outside::Absolute);
    if (!name.empty() && (name[0] == '/' || name[0] == '\\')) {
        // The folders a script is told (getcurrentdirectry and its kind) are absolute paths
        // into the base; names built from them stay usable.
        const std::vector<Bytes> root = split(utf8ToCp932(base_.string()));
        if (!base_.is_absolute() || parts.size() < root.size() || !std::equal(root.begin(), root.end(), parts.begin()))
            return refuse(Outside::Absolute);
        from = root.size();
    }
    std::vector<Bytes> out;
    for (size_t i = from; i < parts.size(); ++i) {
        if (parts[i] == ".") continue;
        if (parts[i] == "..") {
            if (out.empty()) return refuse(Outside::Above);
            out.pop_back();
            continue;
        }
        out.push_back(parts[i]);
    }
    return out;
}

std::optional<fs::path> PathResolver::find(BytesView name, Outside* why) const {
    if (why) *why = Outside::No;
    if (name.empty()) return std::nullopt;
    const auto parts = partsBeneath(name, why);
    if (!parts) return std::nullopt;
    fs::path cur = base_;
    for (const Bytes& part : *parts) {
        auto next = matchIn(cur, part);
        if (!next) return std::nullopt;
        cur = *next;
    }
    if (!beneath::stays(base_, cur)) {
        if (why) *why = Outside::Link;
        return std::nullopt;
    }
    return cur;
}

std::optional<fs::path> PathResolver::forWrite(BytesView name, Outside* why) const {
    if (why) *why = Outside::No;
    const auto parts = partsBeneath(name, why);
    if (!parts || parts->empty()) return std::nullopt;
    fs::path cur = base_;
    for (const Bytes& part : *parts) {
        auto next = matchIn(cur, part);
        cur = next ? *next : cur / cp932ToUtf8(part);
    }
    if (!beneath::stays(base_, cur)) {
        if (why) *why = Outside::Link;
        return std::nullopt;
    }
    return cur;
}

}  // namespace yv
