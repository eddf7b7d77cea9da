// The keys the 操作方法 dialog lists, README's "Playing" table and the man page's KEYS are one
// list; the man page's ENVIRONMENT names every variable the program reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/cp932.h"
#include "ui/key_help.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

const fs::path kRoot(YV_SOURCE_DIR);

std::string readAll(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// From `start` to the next line that begins with `next` (or the end).
std::string section(const std::string& text, const std::string& start, const std::string& next) {
    const size_t at = text.find(start);
    if (at == std::string::npos) return {};
    const size_t end = text.find(next, at + start.size());
    return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

Rows codeRows() {
    Rows rows;
    for (const ui::KeyHelp& k : ui::keyHelp()) rows.emplace_back(k.keyEn, k.whatEn);
    return rows;
}

// "| Key | What it does |" rows of the first table in README's "Playing".
Rows readmeRows() {
    std::istringstream lines(section(readAll(kRoot / "README.md"), "\n## Playing\n", "\n## "));
    const std::regex row(R"(^\| (.+?) \| (.+?) \|$)");
    Rows rows;
    bool inTable = false;
    std::string line;
    while (std::getline(lines, line)) {
        std::smatch m;
        if (line.rfind("|---", 0) == 0) continue;
        if (std::regex_match(line, m, row)) {
            inTable = true;
            if (m[1] != "Key") rows.emplace_back(m[1], m[2]);
        } else if (inTable) {
            break;
        }
    }
    return rows;
}

// ".TP / .B KEY / text" entries of the man page's KEYS, roff's \- read as -.
Rows manRows() {
    std::istringstream lines(section(readAll(kRoot / "man/yorvane.6"), "\n.SH KEYS\n", "\n.SH "));
    Rows rows;
    std::string line;
    bool wantKey = false;
    while (std::getline(lines, line)) {
        for (size_t p; (p = line.find("\\-")) != std::string::npos;) line.replace(p, 2, "-");
        if (line == ".TP") {
            wantKey = true;
        } else if (wantKey && line.rfind(".B ", 0) == 0) {
            rows.emplace_back(line.substr(3), "");
            wantKey = false;
        } else if (!rows.empty() && !line.empty() && line[0] != '.') {
            std::string& what = rows.back().second;
            what += (what.empty() ? "" : " ") + line;
        }
    }
    return rows;
}

}  // namespace

TEST(KeyLists, TheDialogReadmeAndManPageListTheSameKeys) {
    const Rows code = codeRows();
    ASSERT_GE(code.size(), 10u);
    EXPECT_EQ(readmeRows(), code) << "README.md \"Playing\" key table differs from src/ui/key_help.cpp";
    EXPECT_EQ(manRows(), code) << "man/yorvane.6 KEYS differs from src/ui/key_help.cpp";
    // The dialog shows each row, in its Japanese, on a line of its own.
    const std::string dialog = cp932ToUtf8(ui::keyHelpText(true));
    size_t from = 0;
    for (const ui::KeyHelp& k : ui::keyHelp()) {
        const size_t at = dialog.find(std::string(k.keyJa) + "　：　" + k.whatJa, from);
        ASSERT_NE(at, std::string::npos) << k.keyEn;
        from = at + 1;
    }
    EXPECT_EQ(static_cast<size_t>(std::count(dialog.begin(), dialog.end(), '\n')) + 1, code.size());
}

TEST(KeyLists, TheManPageNamesEveryEnvironmentVariableRead) {
    const std::string env = section(readAll(kRoot / "man/yorvane.6"), "\n.SH ENVIRONMENT\n", "\n.SH ");
    ASSERT_FALSE(env.empty());
    const std::regex read(R"re((?:getenv|xdgBase)\("([A-Z_]+)")re");
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(kRoot / "src")) {
        if (!e.is_regular_file() || e.path().extension() != ".cpp") continue;
        const std::string text = readAll(e.path());
        for (std::sregex_iterator it(text.begin(), text.end(), read), end; it != end; ++it) names.insert((*it)[1]);
    }
    EXPECT_GT(names.size(), 10u);
    for (const std::string& n : names)
        EXPECT_TRUE(std::regex_search(env, std::regex("\\b" + n + "\\b"))) << "man/yorvane.6 ENVIRONMENT lacks " << n;
}
