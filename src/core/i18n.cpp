// Reads .mo catalogues (either byte order, every offset checked) and picks the language as
// gettext does; glibc's own gettext would need a generated locale and setlocale(), which would
// also change how numbers are read.
#include "core/i18n.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace fs = std::filesystem;

namespace yv::i18n {
namespace {

constexpr uint32_t kMagic = 0x950412de;
// Our catalogue is a few kilobytes; anything near this is not one.
constexpr int64_t kMaxMoBytes = int64_t{4} << 20;

uint32_t readLe(const std::string& b, size_t at) {
    return uint32_t{static_cast<uint8_t>(b[at])} | uint32_t{static_cast<uint8_t>(b[at + 1])} << 8 |
           uint32_t{static_cast<uint8_t>(b[at + 2])} << 16 | uint32_t{static_cast<uint8_t>(b[at + 3])} << 24;
}

// The whole of a regular file no larger than kMaxMoBytes (io's reader sits above this layer):
// a FIFO or folder under the name reads as nothing, never blocks.
std::optional<std::string> readSmallFile(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<std::string> out;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxMoBytes) {
        std::string bytes(static_cast<size_t>(st.st_size), '\0');
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
        out = std::move(bytes);
    }
    ::close(fd);
    return out;
}

uint32_t swap32(uint32_t v) { return (v >> 24) | ((v >> 8) & 0xff00) | ((v << 8) & 0xff0000) | (v << 24); }

// The process's catalogue: set in main() before threads start (or by a test's ScopedCatalogue),
// read-only while they run. The owner keeps it alive; tr() reads the plain pointer.
struct Current {
    std::shared_ptr<const Catalogue> owner;
    std::atomic<const Catalogue*> pointer{nullptr};
};

Current& current() {
    static Current c;
    return c;
}

void install(std::shared_ptr<const Catalogue> c) {
    Current& cur = current();
    cur.pointer.store(c.get());
    cur.owner = std::move(c);
}

bool isCLocale(std::string_view name) {
    return name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

// "ja", "ja_JP", "ja_JP.UTF-8", "ja@x": Japanese; "en...", "C...": English; others: neither.
std::optional<std::string> known(std::string_view name) {
    const std::string_view lang = name.substr(0, name.find_first_of("_.@"));
    if (lang == "ja") return "ja";
    if (lang == "en" || isCLocale(name)) return "en";
    return std::nullopt;
}

// The placeholders' argument numbers in order of appearance, from 1; -1 for a malformed one.
std::vector<int> placeholders(std::string_view p) {
    std::vector<int> used;
    int next = 1;
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        if (p[i] != '%') continue;
        if (p[i + 1] == '%') {
            ++i;
        } else if (p[i + 1] == 's') {
            used.push_back(next++);
            ++i;
        } else if (p[i + 1] >= '1' && p[i + 1] <= '9' && i + 3 < p.size() && p[i + 2] == '$' && p[i + 3] == 's') {
            used.push_back(p[i + 1] - '0');
            i += 3;
        }
    }
    std::sort(used.begin(), used.end());
    return used;
}

}  // namespace

uint32_t Catalogue::word(uint32_t at) const {
    const uint32_t v = readLe(bytes_, at);
    return swapped_ ? swap32(v) : v;
}

std::string_view Catalogue::text(uint32_t table, uint32_t i) const {
    const uint32_t length = word(table + 8 * i), offset = word(table + 8 * i + 4);
    return std::string_view(bytes_).substr(offset, length);
}

std::optional<Catalogue> Catalogue::parse(std::string bytes) {
    Catalogue c;
    c.bytes_ = std::move(bytes);
    const uint64_t size = c.bytes_.size();
    if (size < 20) return std::nullopt;
    const uint32_t magic = readLe(c.bytes_, 0);
    if (magic == kMagic)
        c.swapped_ = false;
    else if (magic == swap32(kMagic))
        c.swapped_ = true;
    else
        return std::nullopt;
    if ((c.word(4) >> 16) > 1) return std::nullopt;  // a major revision we do not know
    c.count_ = c.word(8);
    c.originals_ = c.word(12);
    c.translations_ = c.word(16);
    for (const uint32_t table : {c.originals_, c.translations_}) {
        if (uint64_t{table} + uint64_t{c.count_} * 8 > size) return std::nullopt;
        for (uint32_t i = 0; i < c.count_; ++i) {
            const uint64_t length = c.word(table + 8 * i), offset = c.word(table + 8 * i + 4);
            // Each string is followed by its zero byte: find() hands out C strings.
            if (offset + length >= size || c.bytes_[offset + length] != '\0') return std::nullopt;
        }
    }
    return c;
}

std::optional<Catalogue> Catalogue::load(const fs::path& moFile) {
    auto bytes = readSmallFile(moFile);
    if (!bytes) return std::nullopt;
    return parse(std::move(*bytes));
}

const char* Catalogue::find(std::string_view english) const {
    // The empty text's entry is the catalogue's header, no translation.
    if (english.empty()) return nullptr;
    // msgfmt sorts the English texts by their bytes.
    uint32_t lo = 0, hi = count_;
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        const std::string_view o = text(originals_, mid);
        const int cmp = o.compare(english);
        if (cmp == 0) {
            const std::string_view t = text(translations_, mid);
            return t.empty() ? nullptr : t.data();
        }
        if (cmp < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return nullptr;
}

std::string chooseLanguage(const char* language, const char* lcAll, const char* lcMessages, const char* lang) {
    std::string_view locale;
    for (const char* v : {lcAll, lcMessages, lang})
        if (v && *v) {
            locale = v;
            break;
        }
    if (isCLocale(locale)) return "en";
    // LANGUAGE, when set, is the list gettext goes through in order of preference: a language
    // we have no catalogue for is passed over, and at its end the texts stay English.
    if (language && *language) {
        std::string_view list = language;
        while (!list.empty()) {
            const size_t colon = list.find(':');
            if (auto k = known(list.substr(0, colon))) return *k;
            if (colon == std::string_view::npos) break;
            list.remove_prefix(colon + 1);
        }
        return "en";
    }
    return known(locale).value_or("en");
}

std::vector<fs::path> catalogueFiles(const fs::path& exeDir, const std::string& language) {
    const fs::path name = fs::path(language) / "LC_MESSAGES" / "yorvane.mo";
    return {exeDir / ".." / "share" / "locale" / name, exeDir / "locale" / name};
}

void initFromEnvironment() {
    const std::string language = chooseLanguage(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                                 std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    if (language == "en") return;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return;
    for (const fs::path& file : catalogueFiles(exe.parent_path(), language))
        if (auto c = Catalogue::load(file)) {
            install(std::make_shared<const Catalogue>(std::move(*c)));
            return;
        }
}

ScopedCatalogue::ScopedCatalogue(std::shared_ptr<const Catalogue> c) : previous_(current().owner) {
    install(std::move(c));
}

ScopedCatalogue::~ScopedCatalogue() { install(std::move(previous_)); }

bool japanese() { return current().pointer.load() != nullptr; }

const char* tr(const char* english) {
    const Catalogue* c = current().pointer.load();
    if (!c) return english;
    const char* t = c->find(english);
    return t ? t : english;
}

std::string format(std::string_view p, std::initializer_list<std::string_view> args) {
    std::string out;
    size_t next = 0;
    auto arg = [&](size_t n) { return n < args.size() ? *(args.begin() + n) : std::string_view(); };
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i] == '%' && i + 1 < p.size()) {
            if (p[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (p[i + 1] == 's') {
                out += arg(next++);
                ++i;
                continue;
            }
            if (p[i + 1] >= '1' && p[i + 1] <= '9' && i + 3 < p.size() && p[i + 2] == '$' && p[i + 3] == 's') {
                out += arg(static_cast<size_t>(p[i + 1] - '1'));
                i += 3;
                continue;
            }
        }
        out += p[i];
    }
    return out;
}

std::string trf(const char* english, std::initializer_list<std::string_view> args) {
    const char* t = tr(english);
    if (t != english && placeholders(t) != placeholders(english)) t = english;
    return format(t, args);
}

}  // namespace yv::i18n
