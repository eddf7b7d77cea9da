// Building, listing and extracting resource archives with the runtime's own index reader.
#include "pack.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

#include "core/bytes.h"
#include "core/cp932.h"
#include "core/paths.h"
#include "io/archive.h"

namespace fs = std::filesystem;

namespace yv::pack {
namespace {

std::optional<Bytes> readFile(const fs::path& p, std::vector<std::string>& err) {
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        err.push_back(p.string() + ": cannot open: " + std::strerror(errno));
        return std::nullopt;
    }
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool writeFile(const fs::path& p, BytesView data, std::vector<std::string>& err) {
    std::error_code ec;
    if (p.has_parent_path()) fs::create_directories(p.parent_path(), ec);
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    if (out) out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) {
        err.push_back(p.string() + ": cannot write: " + std::strerror(errno));
        return false;
    }
    return true;
}

// A CP932 text that survives the trip to UTF-8 and back.
std::optional<Bytes> toCp932(const std::string& utf8) {
    Bytes b = utf8ToCp932(utf8);
    if (cp932ToUtf8(b) != utf8) return std::nullopt;
    return b;
}

struct Source {
    fs::path file;
    std::string shown;  // UTF-8, '/' separators, as found on disk
    Bytes name;         // CP932, '\' separators, lower-cased
    int64_t size = 0;
};

// Where in the index text a position lies: the header and data file name, or an entry.
std::string placeOf(size_t pos, size_t headerEnd, const std::vector<size_t>& starts,
                    const std::vector<Source>& entries) {
    if (pos < headerEnd) return "the data file name at the start of the index";
    size_t k = static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), pos) - starts.begin());
    if (k == 0) return "the index header";
    return "the entry \"" + entries[k - 1].shown + "\"";
}

}  // namespace

int build(const BuildOptions& o, std::string& out, std::vector<std::string>& err) {
    std::error_code ec;
    if (!fs::is_directory(o.source, ec)) {
        err.push_back(o.source.string() + ": not a folder");
        return 1;
    }
    if (o.key < 1 || o.key > 255) {
        err.push_back("--key " + std::to_string(o.key) + ": the key must be 1 to 255 (0 would leave the index empty)");
        return 1;
    }
    auto dataName = toCp932(o.dataName);
    if (!dataName || dataName->empty() || dataName->size() > 255 ||
        dataName->find_first_of("#$*+") != Bytes::npos) {
        err.push_back("--data " + o.dataName +
                      ": the data file name must be 1 to 255 Shift-JIS bytes without # $ * +");
        return 1;
    }

    std::vector<Source> entries;
    const fs::path dataOut = o.outDir / o.dataName, indexOut = o.outDir / o.indexName;
    for (fs::recursive_directory_iterator it(o.source, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::error_code same;
        if (fs::equivalent(it->path(), dataOut, same) || fs::equivalent(it->path(), indexOut, same))
            continue;  // an earlier build into the folder being packed
        const fs::path rel = it->path().lexically_relative(o.source);
        Source s;
        s.file = it->path();
        bool good = true;
        for (const fs::path& part : rel) {
            const std::string u = PathResolver::diskNameToUtf8(part.string());
            if (!s.shown.empty()) s.shown += '/';
            s.shown += u;
            auto b = toCp932(u);
            if (!b) {
                err.push_back(it->path().string() + ": the name cannot be written in Shift-JIS");
                good = false;
                break;
            }
            if (!s.name.empty()) s.name += '\\';
            s.name += *b;
        }
        if (!good) continue;
        if (s.name.find_first_of("#$*+") != Bytes::npos) {
            err.push_back(it->path().string() + ": the name holds # $ * or +, which end an entry in the index");
            continue;
        }
        s.name = lowerAscii(s.name);
        s.size = static_cast<int64_t>(it->file_size(ec));
        if (s.size == 0) {
            err.push_back(it->path().string() + ": empty file (the runtime would take it as missing)");
            continue;
        }
        entries.push_back(std::move(s));
    }
    if (ec) err.push_back(o.source.string() + ": cannot read the folder: " + ec.message());
    if (!err.empty()) return 1;
    if (entries.empty()) {
        err.push_back(o.source.string() + ": no files to pack");
        return 1;
    }
    std::sort(entries.begin(), entries.end(), [](const Source& a, const Source& b) { return a.name < b.name; });

    // The reader finds a name anywhere in the index, so a name that ends another one (or equals
    // it in another letter case) would be served the other entry's bytes.
    std::vector<std::pair<Bytes, size_t>> reversed;
    for (size_t i = 0; i < entries.size(); ++i)
        reversed.emplace_back(Bytes(entries[i].name.rbegin(), entries[i].name.rend()), i);
    std::sort(reversed.begin(), reversed.end());
    for (size_t i = 0; i < reversed.size(); ++i)
        for (size_t j = i + 1; j < reversed.size() && reversed[j].first.starts_with(reversed[i].first); ++j) {
            const Source& shorter = entries[reversed[i].second];
            const Source& longer = entries[reversed[j].second];
            err.push_back(shorter.name == longer.name
                              ? "\"" + longer.shown + "\" and \"" + shorter.shown + "\" differ only in letter case"
                              : "\"" + longer.shown + "\" ends with \"" + shorter.shown +
                                    "\": a lookup of the shorter name could find the longer one");
        }
    if (!err.empty()) return 1;

    std::vector<io::archive::NewEntry> index;
    int64_t offset = 0;
    for (const Source& s : entries) {
        index.push_back({s.name, offset, s.size});
        offset += s.size;
    }
    const auto key = static_cast<unsigned char>(o.key);
    const Bytes indexBytes = io::archive::encodeIndex(key, *dataName, index);

    // Every name must lead the reader to its own entry.
    const io::archive::DecodedIndex decoded = io::archive::decodeIndex(indexBytes);
    std::vector<size_t> starts;
    const size_t headerEnd = decoded.text.find('#', 2);
    for (size_t p = headerEnd; p != Bytes::npos; p = decoded.text.find('#', p + 1)) starts.push_back(p);
    for (size_t i = 0; i < index.size(); ++i) {
        auto ref = io::archive::lookup(decoded.text, index[i].name);
        if (ref && ref->offset == index[i].offset && ref->size == index[i].size) continue;
        const size_t at = decoded.text.find(index[i].name);
        err.push_back("\"" + entries[i].shown + "\" also occurs inside " +
                      placeOf(at, headerEnd, starts, entries) + ", which comes first in the index");
    }
    if (!err.empty()) return 1;

    Bytes data;
    data.reserve(static_cast<size_t>(offset));
    for (const Source& s : entries) {
        auto bytes = readFile(s.file, err);
        if (!bytes) return 1;
        if (static_cast<int64_t>(bytes->size()) != s.size) {
            err.push_back(s.file.string() + ": changed while packing");
            return 1;
        }
        data += *bytes;
    }
    io::archive::scramble(data, io::archive::dataKeyFor(key));
    if (!writeFile(dataOut, data, err) || !writeFile(indexOut, indexBytes, err)) return 1;
    out += "wrote " + indexOut.string() + " and " + dataOut.string() + ": " +
           std::to_string(entries.size()) + " entries, " + std::to_string(offset) + " bytes\n";
    return 0;
}

namespace {

struct Opened {
    io::archive::DecodedIndex idx;
    std::vector<io::archive::Listing> entries;
    std::optional<fs::path> dataPath;
    Bytes data;  // unscrambled
};

std::optional<Opened> open(const fs::path& index, std::vector<std::string>& err) {
    auto raw = readFile(index, err);
    if (!raw) return std::nullopt;
    Opened o;
    o.idx = io::archive::decodeIndex(*raw);
    if (o.idx.text.empty()) {
        err.push_back(index.string() + ": not an archive index (empty, or its key byte is 0)");
        return std::nullopt;
    }
    o.entries = io::archive::listEntries(o.idx.text);
    // The runtime finds the data file relative to the game folder, where the index lies.
    const PathResolver near(index.has_parent_path() ? index.parent_path() : fs::path("."));
    o.dataPath = near.find(o.idx.dataName);
    if (!o.dataPath) {
        err.push_back(index.string() + ": its data file \"" + cp932ToUtf8(o.idx.dataName) +
                      "\" is not in " + near.base().string());
        return o;
    }
    auto data = readFile(*o.dataPath, err);
    if (!data) return std::nullopt;
    o.data = std::move(*data);
    io::archive::scramble(o.data, o.idx.dataKey);
    return o;
}

bool inside(const Opened& o, const io::archive::Listing& e) {
    return e.offset >= 0 && e.size >= 0 && e.offset <= static_cast<int64_t>(o.data.size()) &&
           e.size <= static_cast<int64_t>(o.data.size()) - e.offset;
}

// A relative path below the output folder, or nothing for names that would leave it.
std::optional<fs::path> outputPath(const Bytes& name) {
    fs::path p;
    for (const Bytes& part : PathResolver::split(name)) {
        if (part == "..") return std::nullopt;
        if (part == ".") continue;
        p /= cp932ToUtf8(part);
    }
    if (p.empty()) return std::nullopt;
    return p;
}

}  // namespace

int list(const fs::path& index, std::string& out, std::vector<std::string>& err) {
    auto o = open(index, err);
    if (!o) return 1;
    char head[64];
    std::snprintf(head, sizeof head, "key 0x%02X, ", o->idx.dataKey);
    out += index.string() + ": " + head + "data file " + cp932ToUtf8(o->idx.dataName) + ", " +
           std::to_string(o->entries.size()) + " entries\n";
    out += "    offset       size  name\n";
    for (const io::archive::Listing& e : o->entries) {
        char line[64];
        std::snprintf(line, sizeof line, "%10lld %10lld  ", static_cast<long long>(e.offset),
                      static_cast<long long>(e.size));
        out += line + cp932ToUtf8(e.name);
        if (!e.hasFields) {
            out += "  (no $offset or *size: the runtime cannot read it)";
        } else if (o->dataPath && !inside(*o, e)) {
            out += "  (reaches past the end of the data file)";
        } else {
            auto ref = io::archive::lookup(o->idx.text, e.name);
            if (!ref || ref->offset != e.offset || ref->size != e.size)
                out += "  (a lookup of this name finds other bytes: an earlier name contains it)";
        }
        out += '\n';
    }
    return o->dataPath ? 0 : 1;
}

int extract(const fs::path& index, const fs::path& outDir, const std::vector<std::string>& names,
            std::string& out, std::vector<std::string>& err) {
    auto o = open(index, err);
    if (!o || !o->dataPath) return 1;
    std::map<Bytes, const io::archive::Listing*> byName;
    for (const io::archive::Listing& e : o->entries) byName.emplace(e.name, &e);
    std::vector<const io::archive::Listing*> chosen;
    if (names.empty()) {
        for (const io::archive::Listing& e : o->entries) chosen.push_back(&e);
    } else {
        for (const std::string& n : names) {
            Bytes key = lowerAscii(utf8ToCp932(n));
            std::replace(key.begin(), key.end(), '/', '\\');
            auto it = byName.find(key);
            if (it == byName.end()) {
                err.push_back(index.string() + ": no entry named \"" + n + "\"");
                continue;
            }
            chosen.push_back(it->second);
        }
    }
    int written = 0;
    for (const io::archive::Listing* e : chosen) {
        const std::string shown = cp932ToUtf8(e->name);
        if (!e->hasFields) {
            err.push_back(index.string() + ": entry \"" + shown + "\" has no $offset or *size field");
            continue;
        }
        if (!inside(*o, *e)) {
            err.push_back(index.string() + ": entry \"" + shown + "\" (offset " + std::to_string(e->offset) +
                          ", size " + std::to_string(e->size) + ") reaches past the end of " +
                          o->dataPath->string() + " (" + std::to_string(o->data.size()) + " bytes)");
            continue;
        }
        auto rel = outputPath(e->name);
        if (!rel) {
            err.push_back(index.string() + ": entry \"" + shown + "\" would be written outside " + outDir.string());
            continue;
        }
        const BytesView bytes = BytesView(o->data).substr(static_cast<size_t>(e->offset), static_cast<size_t>(e->size));
        if (writeFile(outDir / *rel, bytes, err)) ++written;
    }
    out += "extracted " + std::to_string(written) + " of " + std::to_string(chosen.size()) + " entries to " +
           outDir.string() + "\n";
    return err.empty() ? 0 : 1;
}

}  // namespace yv::pack
