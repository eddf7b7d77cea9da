// The folders are layers: no two include each other, but for the composition root at the top.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path kSrc = fs::path(YV_SOURCE_DIR) / "src";

// The layer a source file belongs to: its folder below src/ (each platform/ subfolder its own),
// "top" for the files directly in src/.
std::string layerOf(const fs::path& file) {
    const fs::path rel = fs::relative(file, kSrc);
    auto it = rel.begin();
    const std::string first = it->string();
    if (std::next(it) == rel.end()) return "top";
    if (first == "platform" && std::distance(rel.begin(), rel.end()) > 2) return first + "/" + std::next(it)->string();
    return first;
}

std::string readAll(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Which layer includes which, from every `#include "…"` naming a file of src/.
std::map<std::string, std::set<std::string>> includeArrows() {
    std::map<std::string, std::set<std::string>> arrows;
    const std::regex include(R"re(^\s*#\s*include\s+"([^"]+)")re");
    for (const auto& e : fs::recursive_directory_iterator(kSrc)) {
        if (!e.is_regular_file()) continue;
        const std::string ext = e.path().extension().string();
        if (ext != ".h" && ext != ".cpp") continue;
        std::istringstream lines(readAll(e.path()));
        std::string line;
        while (std::getline(lines, line)) {
            std::smatch m;
            if (!std::regex_search(line, m, include)) continue;
            fs::path target = e.path().parent_path() / m[1].str();
            if (!fs::exists(target)) target = kSrc / m[1].str();
            if (!fs::exists(target)) continue;  // a system or generated header
            const std::string from = layerOf(e.path()), to = layerOf(target.lexically_normal());
            if (from != to) arrows[from].insert(to);
        }
    }
    return arrows;
}

}  // namespace

TEST(Layout, OnlyTheCompositionRootIsIncludedBothWays) {
    if (!fs::is_directory(kSrc)) GTEST_SKIP() << "no sources at " << kSrc;
    auto arrows = includeArrows();
    ASSERT_FALSE(arrows.empty());
    for (const auto& [from, tos] : arrows)
        for (const std::string& to : tos) {
            if (from >= to || !arrows[to].count(from)) continue;
            const bool root = from == "top" || to == "top";
            // The language sits below the Runtime: it is handed the interpreter state and an
            // alert sink, never the whole Runtime.
            EXPECT_TRUE(root && from != "lang" && to != "lang") << from << " and " << to << " include each other";
        }
}

TEST(Layout, TheReadmeNamesOnlyFoldersThatExist) {
    const fs::path root(YV_SOURCE_DIR);
    const std::string readme = readAll(root / "README.md");
    const size_t at = readme.find("\n## Layout");
    if (at == std::string::npos) GTEST_SKIP() << "README.md has no layout section";
    const size_t end = readme.find("\n## ", at + 1);
    std::istringstream lines(readme.substr(at, end == std::string::npos ? std::string::npos : end - at));
    const std::regex entry(R"(^    ((?:[a-z0-9_./]+/)+|src/[a-z_]+\.[a-z]+))");
    int named = 0;
    std::string line;
    while (std::getline(lines, line)) {
        std::smatch m;
        if (!std::regex_search(line, m, entry)) continue;
        // "man/ data/": each word ending in '/' is a folder.
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            if (word.back() != '/' && word.find('.') == std::string::npos) break;
            if (word.back() != '/' && word.rfind("src/", 0) != 0) break;
            ++named;
            EXPECT_TRUE(fs::exists(root / word)) << "README names " << word;
        }
    }
    EXPECT_GT(named, 15);
    // And every folder of src/ has its line.
    for (const auto& e : fs::directory_iterator(root / "src")) {
        if (!e.is_directory()) continue;
        EXPECT_NE(readme.find("src/" + e.path().filename().string() + "/", at), std::string::npos)
            << "README does not name src/" << e.path().filename().string();
    }
}
