// The program's own words follow the desktop's language: a start that fails says why on stderr
// in English or in Japanese, and --help too.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "test_util.h"

using namespace yv;

namespace {

struct Said {
    int status = -1;
    std::string out, err;
};

// Runs the program with `locale` as the desktop's (LANG; the variables above it unset).
Said runIn(const std::string& locale, const std::string& args) {
    TempDir io;
    const std::string cmd = "env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=" + locale + " YORVANE_ERROR_BOX=0 '" +
                            YV_BINARY + "' " + args + " >'" + (io.path() / "out").string() + "' 2>'" +
                            (io.path() / "err").string() + "'";
    const int st = std::system(cmd.c_str());
    return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, io.read("out"), io.read("err")};
}

}  // namespace

TEST(Language, AStartThatFailsSaysWhyInTheDesktopsLanguage) {
    TempDir d;
    const std::string missing = (d.path() / "nothere").string();
    const Said en = runIn("en_US.UTF-8", "--headless '" + missing + "'");
    EXPECT_EQ(en.status, 1);
    EXPECT_NE(en.err.find("yorvane: the game folder " + missing + " does not exist"), std::string::npos) << en.err;
    const Said ja = runIn("ja_JP.UTF-8", "--headless '" + missing + "'");
    EXPECT_EQ(ja.status, 1);
    EXPECT_NE(ja.err.find("yorvane: ゲームのフォルダ " + missing + " がありません"), std::string::npos) << ja.err;

    d.write("empty/readme.txt", "");
    const std::string empty = (d.path() / "empty").string();
    EXPECT_NE(runIn("ja_JP.UTF-8", "--headless '" + empty + "'").err.find(empty + " に start.ini がありません"),
              std::string::npos);
    // A usage error names the help in the same language.
    EXPECT_NE(runIn("ja_JP.UTF-8", "--scale").err.find("'yorvane --help'"), std::string::npos);
}

TEST(Language, HelpInJapaneseAndEnglish) {
    EXPECT_EQ(runIn("en_GB.UTF-8", "--help").out.rfind("usage: yorvane [options]", 0), 0u);
    const Said ja = runIn("ja_JP.UTF-8", "--help");
    EXPECT_EQ(ja.status, 0);
    EXPECT_EQ(ja.out.rfind("使い方: yorvane [オプション]", 0), 0u) << ja.out;
    EXPECT_NE(ja.out.find("--max-seconds S"), std::string::npos) << "every option is still named";
}
