// The read-text memory and its file format.
#include "save/read_text.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace yv {
namespace {

constexpr std::string_view kMagic = "YVREAD1\n";

// A script is the same file whatever letter case a jump spells its name in.
std::string folded(BytesView name) { return lowerAscii(name); }

void putLe(Bytes& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Reads little-endian numbers and byte runs; any read past the end fails from then on.
struct Reader {
    BytesView data;
    size_t at = 0;
    bool ok = true;
    uint64_t num(int bytes) {
        if (!ok || data.size() - at < static_cast<size_t>(bytes)) {
            ok = false;
            return 0;
        }
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= uint64_t{static_cast<unsigned char>(data[at + i])} << (8 * i);
        at += static_cast<size_t>(bytes);
        return v;
    }
    BytesView run(size_t n) {
        if (!ok || data.size() - at < n) {
            ok = false;
            return {};
        }
        const BytesView v = data.substr(at, n);
        at += n;
        return v;
    }
};

}  // namespace

uint64_t ReadText::hash(BytesView bytes, uint64_t seed) {
    uint64_t h = seed;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

bool ReadText::isRead(BytesView file, uint64_t fileHash, uint64_t page) const {
    const auto it = files_.find(folded(file));
    return it != files_.end() && it->second.hash == fileHash && it->second.pages.contains(page);
}

bool ReadText::note(BytesView file, uint64_t fileHash, uint64_t page) {
    if (file.empty() || file.size() > kMaxNameBytes) return false;
    std::string name = folded(file);
    auto it = files_.find(name);
    if (it == files_.end()) {
        if (files_.size() >= kMaxFiles || pages_ >= kMaxPages) return false;
        it = files_.emplace(std::move(name), File{fileHash, {}}).first;
    } else if (it->second.hash != fileHash) {
        // The file was edited: what was read in its old contents says nothing of the new.
        pages_ -= it->second.pages.size();
        it->second.pages.clear();
        it->second.hash = fileHash;
    }
    if (pages_ >= kMaxPages || !it->second.pages.insert(page).second) return false;
    ++pages_;
    return true;
}

Bytes ReadText::encode() const {
    Bytes out(kMagic);
    out.reserve(kMagic.size() + 12 + pages_ * 8 + files_.size() * 32);
    putLe(out, files_.size(), 4);
    std::vector<uint64_t> sorted;
    for (const auto& [name, f] : files_) {
        putLe(out, name.size(), 2);
        out += name;
        putLe(out, f.hash, 8);
        putLe(out, f.pages.size(), 4);
        // Sorted, so that the same memory always writes the same bytes.
        sorted.assign(f.pages.begin(), f.pages.end());
        std::sort(sorted.begin(), sorted.end());
        for (const uint64_t p : sorted) putLe(out, p, 8);
    }
    putLe(out, hash(out), 8);
    return out;
}

ReadText ReadText::decode(BytesView data) {
    if (data.size() < kMagic.size() + 12 || static_cast<int64_t>(data.size()) > kMaxFileBytes ||
        data.substr(0, kMagic.size()) != kMagic)
        return {};
    const BytesView body = data.substr(0, data.size() - 8);
    Reader sum{data.substr(body.size())};
    if (sum.num(8) != hash(body)) return {};
    Reader r{body, kMagic.size()};
    ReadText t;
    const uint64_t files = r.num(4);
    if (files > kMaxFiles) return {};
    for (uint64_t i = 0; i < files && r.ok; ++i) {
        const size_t nameBytes = static_cast<size_t>(r.num(2));
        const BytesView name = r.run(nameBytes);
        const uint64_t fileHash = r.num(8);
        const uint64_t count = r.num(4);
        if (!r.ok || name.empty() || nameBytes > kMaxNameBytes || name != folded(name) ||
            count > kMaxPages - t.pages_ || count * 8 > body.size() - r.at)
            return {};
        auto [it, fresh] = t.files_.emplace(std::string(name), File{fileHash, {}});
        if (!fresh) return {};
        it->second.pages.reserve(static_cast<size_t>(count));
        for (uint64_t k = 0; k < count; ++k) it->second.pages.insert(r.num(8));
        if (it->second.pages.size() != count) return {};  // a page twice: not this program's file
        t.pages_ += static_cast<size_t>(count);
    }
    if (!r.ok || r.at != body.size()) return {};
    return t;
}

}  // namespace yv
