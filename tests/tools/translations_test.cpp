// Every text the program passes to tr() or trf() has its Japanese in po/ja.po, neither fuzzy nor
// empty, so that a new message cannot be forgotten; and the catalogue the build made is that file.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "core/i18n.h"

namespace fs = std::filesystem;

namespace {

const fs::path kRoot(YV_SOURCE_DIR);

std::string readAll(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A C string literal's (or a .po string's) text from its opening quote at `at`; `at` is left
// past its closing quote.
std::string unquote(const std::string& t, size_t& at) {
    std::string out;
    for (++at; at < t.size() && t[at] != '"'; ++at) {
        if (t[at] != '\\' || at + 1 >= t.size()) {
            out += t[at];
            continue;
        }
        const char e = t[++at];
        out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
    }
    ++at;
    return out;
}

// Adjacent literals from `at` on, joined as the compiler joins them.
std::string literals(const std::string& t, size_t at) {
    std::string out;
    for (;;) {
        while (at < t.size() && std::isspace(static_cast<unsigned char>(t[at]))) ++at;
        if (at >= t.size() || t[at] != '"') return out;
        out += unquote(t, at);
    }
}

struct Entry {
    std::string msgstr;
    bool fuzzy = false;
};

std::map<std::string, Entry> readPo(const fs::path& file) {
    std::map<std::string, Entry> entries;
    std::istringstream lines(readAll(file));
    std::string line, msgid, msgstr, *into = nullptr;
    bool fuzzy = false, any = false;
    auto flush = [&] {
        if (any) entries[msgid] = {msgstr, fuzzy};
        msgid.clear(), msgstr.clear(), fuzzy = any = false, into = nullptr;
    };
    while (std::getline(lines, line)) {
        if (line.empty()) {
            flush();
        } else if (line.rfind("#,", 0) == 0) {
            fuzzy = line.find("fuzzy") != std::string::npos;
        } else if (line.rfind("msgid ", 0) == 0 || line.rfind("msgstr ", 0) == 0) {
            into = line[3] == 'i' ? &msgid : &msgstr;
            any = true;
            size_t at = line.find('"');
            *into = unquote(line, at);
        } else if (line[0] == '"' && into) {
            size_t at = 0;
            *into += unquote(line, at);
        }
    }
    flush();
    return entries;
}

}  // namespace

TEST(Translations, EveryTextOfTheProgramHasItsJapanese) {
    const auto po = readPo(kRoot / "po/ja.po");
    ASSERT_GT(po.size(), 20u);
    const std::regex call(R"(\btrf?\()");
    std::set<std::string> used;
    for (const auto& e : fs::recursive_directory_iterator(kRoot / "src")) {
        if (!e.is_regular_file() || (e.path().extension() != ".cpp" && e.path().extension() != ".h")) continue;
        const std::string text = readAll(e.path());
        for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it) {
            const size_t after = static_cast<size_t>(it->position() + it->length());
            const std::string english = literals(text, after);
            if (english.empty()) continue;  // tr(english) inside i18n itself
            used.insert(english);
            const auto found = po.find(english);
            ASSERT_NE(found, po.end()) << e.path() << ": po/ja.po lacks \"" << english << "\"";
            EXPECT_FALSE(found->second.fuzzy) << "fuzzy in po/ja.po: " << english;
            EXPECT_FALSE(found->second.msgstr.empty()) << "untranslated in po/ja.po: " << english;
        }
    }
    EXPECT_GT(used.size(), 30u);
    EXPECT_TRUE(used.count("Recently played")) << "the launcher's texts are found";
    EXPECT_TRUE(used.count("Auto mode"));
    // --help spans many literals: all of it is one entry.
    bool usage = false;
    for (const std::string& u : used) usage = usage || u.rfind("usage: yorvane", 0) == 0;
    EXPECT_TRUE(usage);
}

TEST(Translations, TheBuiltCatalogueHoldsThePoFile) {
    const auto po = readPo(kRoot / "po/ja.po");
    const auto mo = yv::i18n::Catalogue::load(fs::path(YV_LOCALE_DIR) / "ja/LC_MESSAGES/yorvane.mo");
    ASSERT_TRUE(mo) << "the build compiles po/ja.po";
    for (const auto& [english, e] : po) {
        if (english.empty()) continue;
        const char* ja = mo->find(english);
        ASSERT_NE(ja, nullptr) << english;
        EXPECT_EQ(std::string(ja), e.msgstr);
    }
}
