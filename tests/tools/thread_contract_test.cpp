// threads.h names every mutex member of src/ as Class::member, so a new lock cannot go unwritten.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The text with comments, string and character literals blanked (a '{' in a literal is no
// scope); line breaks stay so positions keep their lines.
std::string codeOnly(const std::string& s) {
    std::string out = s;
    size_t i = 0;
    const auto blank = [&](size_t from, size_t to) {
        for (size_t k = from; k < to && k < out.size(); ++k)
            if (out[k] != '\n') out[k] = ' ';
    };
    while (i < s.size()) {
        if (s.compare(i, 2, "//") == 0) {
            const size_t e = s.find('\n', i);
            const size_t end = e == std::string::npos ? s.size() : e;
            blank(i, end);
            i = end;
        } else if (s.compare(i, 2, "/*") == 0) {
            const size_t e = s.find("*/", i + 2);
            const size_t end = e == std::string::npos ? s.size() : e + 2;
            blank(i, end);
            i = end;
        } else if (s[i] == '"' || s[i] == '\'') {
            const char q = s[i];
            size_t k = i + 1;
            while (k < s.size() && s[k] != q && s[k] != '\n') k += s[k] == '\\' ? 2 : 1;
            blank(i, k + 1);
            i = k + 1;
        } else {
            ++i;
        }
    }
    return out;
}

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The class or struct a brace opens, from the statement text before it ("" for any other
// brace): the last name of a class head, qualified as written ("HeadlessPlatform::Sound").
std::string scopeName(const std::string& text) {
    static const std::regex classHead(R"((?:^|[^\w])(class|struct)\s)");
    static const std::regex enumHead(R"(\benum\b)");
    // A template's parameter list names no class ("template <class F> R run(F f) {").
    std::string head;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 8, "template") == 0 && (i == 0 || !isWordChar(text[i - 1]))) {
            size_t k = text.find('<', i);
            int depth = 0;
            for (; k != std::string::npos && k < text.size(); ++k) {
                if (text[k] == '<') ++depth;
                if (text[k] == '>' && --depth == 0) break;
            }
            if (k == std::string::npos || k >= text.size()) break;
            i = k;
            continue;
        }
        head += text[i];
    }
    std::smatch m;
    std::string rest = head;
    std::string found;
    bool any = false;
    while (std::regex_search(rest, m, classHead)) {
        found = m.suffix();
        any = true;
        rest = m.suffix();
    }
    if (!any || std::regex_search(head, enumHead)) return "";
    // Drop a base clause and parenthesised macro arguments, then take the last qualified name.
    std::string h;
    int depth = 0;
    for (size_t i = 0; i < found.size(); ++i) {
        const char c = found[i];
        if (c == '(') ++depth;
        else if (c == ')') --depth;
        else if (depth == 0) {
            if (c == ':' && (i + 1 >= found.size() || found[i + 1] != ':') && (i == 0 || found[i - 1] != ':'))
                break;
            h += c;
        }
    }
    static const std::regex name(R"(([A-Za-z_]\w*(?:\s*::\s*[A-Za-z_]\w*)*))");
    std::string last;
    for (std::sregex_iterator it(h.begin(), h.end(), name), end; it != end; ++it) {
        const std::string n = (*it)[1];
        if (n != "final" && n.rfind("YV_", 0) != 0) last = n;
    }
    last.erase(std::remove_if(last.begin(), last.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
               last.end());
    return last;
}

struct Found {
    std::string name;  // Class::member, or the bare name of a mutex outside any class
    bool isStatic = false;
};

// Every declaration of a mutex (std::mutex, yv::Mutex and their shared and recursive kinds)
// in the text, named by the classes around it.
std::vector<Found> mutexMembers(const std::string& source) {
    static const std::regex decl(
        R"(^\s*(?:(?:public|private|protected)\s*:)?\s*(?:(?:mutable|static|inline)\s+)*(?:std::|yv::)?(?:mutex|Mutex|shared_mutex|SharedMutex|recursive_mutex)\s+([A-Za-z_]\w*)\s*(?:YV_\w+\s*\([^)]*\)\s*)*(?:\{\s*\}\s*)?$)");
    const std::string code = codeOnly(source);
    std::vector<std::string> scopes;  // "" for a brace that is not a class
    std::vector<Found> out;
    std::string stmt;
    for (char c : code) {
        if (c == '{' || c == '}' || c == ';') {
            std::smatch m;
            if (c == ';' && std::regex_match(stmt, m, decl)) {
                Found f;
                for (const std::string& s : scopes)
                    if (!s.empty()) f.name += s + "::";
                f.name += m[1].str();
                f.isStatic = stmt.find("static") != std::string::npos;
                out.push_back(f);
            }
            if (c == '{') scopes.push_back(scopeName(stmt));
            if (c == '}' && !scopes.empty()) scopes.pop_back();
            stmt.clear();
        } else {
            stmt += c;
        }
    }
    return out;
}

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Whether the text holds the name with no name characters joined to either end.
bool names(const std::string& text, const std::string& name) {
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        const bool before = at > 0 && (isWordChar(text[at - 1]) || text[at - 1] == ':');
        const size_t end = at + name.size();
        const bool after = end < text.size() && isWordChar(text[end]);
        if (!before && !after) return true;
    }
    return false;
}

}  // namespace

TEST(ThreadContract, TheScannerNamesMembersByTheirClasses) {
    const std::string src = R"(
        namespace yv { namespace {
        class YV_CAPABILITY("x") Outer final : public Base<int> {
            struct Inner { std::mutex mutex; };  // a { in a comment
            mutable Mutex lock_;
            const char* brace = "{";
            char c = '}';
            std::unique_lock<std::mutex> held_;
            template <class F, class R>
            R run(F f) { static std::mutex once; }
        private:
            Mutex guard;
        };
        struct Outer::Later { yv::Mutex m YV_ACQUIRED_AFTER(x); };
        enum class Kind : int { A, B };
        Mutex loose;
        } }
    )";
    const auto found = mutexMembers(src);
    ASSERT_EQ(found.size(), 6u);
    EXPECT_EQ(found[0].name, "Outer::Inner::mutex");
    EXPECT_EQ(found[1].name, "Outer::lock_");
    EXPECT_EQ(found[2].name, "Outer::once");
    EXPECT_TRUE(found[2].isStatic);
    EXPECT_EQ(found[3].name, "Outer::guard");
    EXPECT_EQ(found[4].name, "Outer::Later::m");
    EXPECT_EQ(found[5].name, "loose");
    EXPECT_TRUE(names("the Outer::lock_ guards", "Outer::lock_"));
    EXPECT_FALSE(names("the Outer::lock_s", "Outer::lock_"));
    EXPECT_FALSE(names("the Big::Outer::lock_", "Outer::lock_"));
}

TEST(ThreadContract, ThreadsHeaderNamesEveryMutexOfTheSources) {
    const fs::path src = fs::path(YV_SOURCE_DIR) / "src";
    const std::string contract = readAll(src / "threads.h");
    ASSERT_FALSE(contract.empty());
    int seen = 0;
    for (const auto& e : fs::recursive_directory_iterator(src)) {
        const std::string ext = e.path().extension().string();
        if (!e.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
        // The wrapper itself holds the std::mutex every Mutex is made of.
        if (e.path() == src / "core" / "mutex.h") continue;
        for (const Found& f : mutexMembers(readAll(e.path()))) {
            ++seen;
            const std::string where = fs::relative(e.path(), src).string();
            EXPECT_FALSE(f.isStatic) << where << ": " << f.name
                                     << " is a static mutex: process-wide state the Runtime should own";
            EXPECT_TRUE(names(contract, f.name))
                << where << ": threads.h does not name " << f.name << " (write it as Class::member)";
        }
    }
    // The sources hold some twenty-five: none found means the scanner is broken.
    EXPECT_GE(seen, 20);
}
