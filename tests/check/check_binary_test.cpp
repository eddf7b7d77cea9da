// --check and --warnings through the real program: exit statuses, the JSON form, and the
// warnings a played game prints once per place.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "check/arity.h"
#include "script/command_table.h"
#include "test_util.h"

namespace {

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST(CheckBinary, ExitStatusSaysWhatWasFound) {
    yv::TempDir clean, broken;
    clean.write("start.ini", "[Script]\nScript=script.txt\n");
    clean.write("script.txt", "#wait(1);\n#end();\n");
    broken.write("start.ini", "[Script]\nScript=script.txt\n");
    broken.write("script.txt", "#lodimage(2, \"sky.png\");\n#end();\n");

    const auto ok = yv::runYorvane({"--check", clean.path().string()});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out, "");
    const auto found = yv::runYorvane({"--check", broken.path().string()});
    EXPECT_EQ(found.status, 1) << found.err;
    EXPECT_EQ(found.out, "script.txt:1:1: warning: unknown command '#lodimage' is passed over (did you mean "
                         "'loadimage'?) [unknown-command]\n");
    const auto none = yv::runYorvane({"--check", (clean.path() / "no such folder").string()});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("cannot read the game folder"), std::string::npos);
}

TEST(CheckBinary, JsonGivesOneObjectAFinding) {
    yv::TempDir game;
    game.write("start.ini", "[Script]\nScript=script.txt\n");
    game.write("script.txt", "#goto(\"a\\b\");\n#end();\n");
    const auto r = yv::runYorvane({"--check", "--format", "json", game.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "{\"file\":\"script.txt\",\"line\":1,\"column\":1,\"severity\":\"warning\",\"code\":\"missing-label\","
                     "\"text\":\"label 'a\\\\b' of goto is not in script.txt: the jump does nothing and the script goes on\"}\n");
}

// The game loops over a missing picture and an unknown command: each is said once, with its
// place, and nothing at all without the option.
TEST(CheckBinary, WarningsWhilePlayingComeOncePerPlace) {
    yv::TempDir game;
    game.write("start.ini", "[Script]\nScript=script.txt\n");
    game.write("script.txt",
               "@1 = 0;\n|top:\n#loadimage(2, \"gone.png\");\n#lodimage(2, \"sky.png\");\n@1 += 1;\n"
               "#if(@1 < 5)\n{\n#goto(\"top\");\n}\n#end();\n");
    const auto on = yv::runYorvane({"--headless", "--warnings", "--max-seconds", "10", game.path().string()});
    EXPECT_EQ(on.status, 0) << on.err;
    const std::string picture = "script.txt:3:1: warning: picture 'gone.png' is in no archive and not in the game "
                                "folder: the screen stays empty [missing-picture]\n";
    const std::string command = "script.txt:4:1: warning: unknown command '#lodimage' is passed over (did you mean "
                                "'loadimage'?) [unknown-command]\n";
    EXPECT_EQ(count(on.err, picture), 1u) << on.err;
    EXPECT_EQ(count(on.err, command), 1u) << on.err;

    const auto off = yv::runYorvane({"--headless", "--max-seconds", "10", game.path().string()});
    EXPECT_EQ(off.status, 0);
    EXPECT_EQ(off.err.find("warning:"), std::string::npos) << off.err;
}

TEST(CheckArity, NamesOnlyCommandsOfTheTable) {
    for (const yv::check::Arity* a = yv::check::arityBegin(); a != yv::check::arityEnd(); ++a)
        EXPECT_NE(yv::findCommand(a->name), nullptr) << a->name;
}

}  // namespace

namespace {

// A command added to the table must also be coloured as one in editors.
TEST(CheckEditors, TheGrammarNamesEveryCommand) {
    std::ifstream in(std::string(YV_SOURCE_DIR) + "/tools/editors/yorvane.tmLanguage.json");
    std::stringstream s;
    s << in.rdbuf();
    const std::string grammar = s.str();
    ASSERT_FALSE(grammar.empty());
    for (const yv::CommandRow& r : yv::commandTable()) {
        const std::string name = r.name;
        const bool listed = grammar.find("|" + name + "|") != std::string::npos ||
                            grammar.find("(" + name + "|") != std::string::npos ||
                            grammar.find("|" + name + ")") != std::string::npos;
        EXPECT_TRUE(listed) << name;
    }
}

}  // namespace
