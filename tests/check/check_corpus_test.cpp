// The broken-game corpus of --check: one small game per finding code, each with the lines it
// must print, a clean game that prints nothing, and the demo.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "check/game_check.h"
#include "io/archive.h"
#include "test_util.h"

namespace {

using Files = std::map<std::string, std::string>;

struct Case {
    const char* code;
    Files files;  // start.ini is added as "[Script]\nScript=script.txt\n" unless given
    std::vector<std::string> expected;
};

std::vector<std::string> check(const Files& files) {
    yv::TempDir game;
    if (!files.count("start.ini")) game.write("start.ini", "[Script]\r\nScript=script.txt\r\n");
    for (const auto& [name, bytes] : files)
        if (!(name == "start.ini" && bytes.empty())) game.write(name, bytes);  // "": no start.ini at all
    auto findings = yv::check::checkGame(game.path());
    EXPECT_TRUE(findings.has_value());
    std::vector<std::string> lines;
    if (findings)
        for (const auto& f : *findings) lines.push_back(yv::check::formatLine(f));
    return lines;
}

const std::string kPng = "\x89PNG\r\n\x1a\n";  // enough to be found; never decoded here

std::vector<Case> corpus() {
    using yv::sjis;
    return {
        {"unknown-command",
         {{"script.txt", "#lodimage(2, \"sky.png\");\n#end();\n"}},
         {"script.txt:1:1: warning: unknown command '#lodimage' is passed over (did you mean 'loadimage'?) [unknown-command]"}},
        {"unknown-command (no parentheses)",
         {{"script.txt", "#wait(1);\n#end\n"}},
         {"script.txt:2:1: warning: no '(' after '#end' on its line: the statement does nothing (write the parentheses, "
          "also for no arguments) [unknown-command]"}},
        {"unclosed-string",
         {{"script.txt", "#loadimage(2, \"sky.png);\n#end();\n"}, {"sky.png", kPng}},
         {"script.txt:1:15: warning: this string is not closed before the end of the statement [unclosed-string]"}},
        {"unclosed-string (a ';' inside)",
         {{"script.txt", "#settitle(\"a;b\");\n#end();\n"}},
         {"script.txt:1:11: warning: a ';' inside a string ends the statement: the string is cut there (a string cannot "
          "hold ';' or a line break) [unclosed-string]"}},
        {"unbalanced-parens",
         {{"script.txt", "#wait((10);\n#end();\n"}},
         {"script.txt:1:6: warning: the statement ends with 1 '(' not closed [unbalanced-parens]"}},
        {"unbalanced-braces",
         {{"script.txt", "#if(@1 == 0)\n{\n#wait(1);\n#end();\n"}},
         {"script.txt:2:1: warning: this '{' is never closed by a '}' [unbalanced-braces]"}},
        {"missing-label",
         {{"script.txt", "|Start:\n#goto(\"start\");\n#end();\n"}},
         {"script.txt:2:1: warning: label 'start' of goto is not in script.txt: the jump does nothing and the script goes "
          "on (did you mean 'Start'?) [missing-label]"}},
        {"missing-label (in another script, from a trap and a message)",
         {{"script.txt", "#trapmouse(1, 0, \"menu\", \"sub.txt\");\n@A = \"hi\\#gosub(\"nope\")\";\n#end();\n"},
          {"sub.txt", "|menu:\n#return();\n"}},
         {"script.txt:2:9: warning: label 'nope' of \\#gosub is not in script.txt: the jump does nothing and the script "
          "goes on [missing-label]"}},
        {"duplicate-label",
         {{"script.txt", "|a:\n#wait(1);\n|a:\n#goto(\"a\");\n"}},
         {"script.txt:3:1: warning: label 'a' is written again: jumps reach the first, at line 1, never this one "
          "[duplicate-label]"}},
        {"missing-script",
         {{"script.txt", "#gosub(\"x\", \"other.txt\");\n#end();\n"}},
         {"script.txt:1:1: warning: script 'other.txt' named by gosub is not in the game [missing-script]"}},
        {"missing-script (the first one)",
         {{"start.ini", "[Script]\nScript=first.txt\n"}},
         {"start.ini:2:1: warning: the first script 'first.txt' is not in the game: nothing runs [missing-script]"}},
        {"missing-picture",
         {{"script.txt", "#loadimage(3, \"gone.bmp\");\n#loadimage(2, \"PIC\\\\Sky.PNG\");\n#end();\n"},
          {"pic/sky.png", kPng}},
         {"script.txt:1:1: warning: picture 'gone.bmp' named by loadimage is in no archive and not in the game folder: "
          "the screen stays empty [missing-picture]"}},
        {"missing-sound",
         {{"script.txt", "#playwave(\"gone.wav\", 0, 0);\n#end();\n"}},
         {"script.txt:1:1: warning: sound 'gone.wav' named by playwave is in no archive and not in the game folder "
          "[missing-sound]"}},
        {"missing-movie",
         {{"script.txt", "#playavi(\"gone.avi\", 0, 0, 10, 10);\n#end();\n"}},
         {"script.txt:1:1: warning: movie 'gone.avi' named by playavi is in no archive and not in the game folder "
          "[missing-movie]"}},
        {"missing-text-table",
         {{"script.txt", "#createtextf(1, 1);\n#loadtextf(\"t.txt\");\n#end();\n"}},
         {"script.txt:2:1: warning: text table 't.txt' named by loadtextf is in no archive and not in the game folder "
          "[missing-text-table]"}},
        {"skipped-statement (after an assignment)",
         {{"script.txt", "@1 = 5;#wait(200);\n#end();\n"}},
         {"script.txt:1:8: warning: a statement right after an assignment's ';' is never read (the reader passes over the "
          "byte after it): put it on a line of its own [skipped-statement]"}},
        {"skipped-statement (full-width space)",
         {{"script.txt", sjis("　#wait(10);\n#end();\n")}},
         {"script.txt:1:3: warning: the double-byte character before it (such as a full-width space) ends in the byte "
          "'@', which the reader takes for an assignment: this command is passed over; keep such characters in strings "
          "[skipped-statement]"}},
        {"skipped-statement (else)",
         {{"script.txt", "#if(@1 == 1)\n{\n#wait(1);\n}\nelse\n{\n#wait(2);\n}\n#end();\n"}},
         {"script.txt:5:1: warning: the language has no 'else': after a true #if its block runs as well, after a false "
          "one it is skipped too and a box says \"else\"; write the opposite #if instead [skipped-statement]"}},
        {"bad-argument-count",
         {{"script.txt", "#bitblt(1, 0, 0, 640, 480, 2);\n#bitblt(1, 0, 0, 640, 480, 2, 0, 0);\n#end();\n"}},
         {"script.txt:1:1: warning: #bitblt takes 8 or 9 numbers and no string; here 6 and 0 are written (mode omitted "
          "= 0, a plain copy) [bad-argument-count]"}},
        {"invalid-shift-jis",
         {{"script.txt", "#settitle(\"ok \x85\x40\");\n#settitle(\"" + sjis("表示") + "\");\n#end();\n"}},
         {"script.txt:1:15: warning: the byte 0x85 starts no Shift-JIS (CP932) character: it is drawn as a wrong glyph "
          "[invalid-shift-jis]"}},
        {"invalid-shift-jis (in a text table)",
         {{"script.txt", "#createtextf(1, 1);\n#loadtextf(\"t.txt\");\n#end();\n"}, {"t.txt", "\"a\x81\";\n"}},
         {"t.txt:1:3: warning: the byte 0x81 starts no Shift-JIS (CP932) character: it is drawn as a wrong glyph "
          "[invalid-shift-jis]"}},
        {"unchecked-script",
         {{"script.txt", "@A = \"sub.txt\";\n#goto(\"a\", @A);\n#end();\n"}},
         {"script.txt:2:1: note: this jump names its script through a variable: scripts reached that way were not "
          "checked [unchecked-script]"}},
        {"missing-start-ini",
         {{"start.ini", ""}},
         {"start.ini:1:1: warning: the game folder has no start.ini: the runtime does not start the game "
          "[missing-start-ini]",
          "start.ini:1:1: warning: the first script 'script.txt' is not in the game: nothing runs [missing-script]"}},
        {"unknown-setting and bad-setting",
         {{"start.ini", "[Script]\nScript=script.txt\n[FONT]\nSzie=24\n[Fonz]\nA=1\n[WindowSize]\nRight=0\n"},
          {"script.txt", "#end();\n"}},
         {"start.ini:4:1: warning: the key 'Szie' of [FONT] is not read (did you mean 'Size'?) [unknown-setting]",
          "start.ini:5:1: warning: the section [Fonz] is not read (did you mean [FONT]?) [unknown-setting]",
          "start.ini:8:1: warning: 0 is out of range for Right (the screen width: 1 to 8192) [bad-setting]"}},
    };
}

TEST(CheckCorpus, EachBrokenGameGivesItsFindings) {
    for (const Case& c : corpus()) EXPECT_EQ(check(c.files), c.expected) << c.code;
}

TEST(CheckCorpus, ACleanGameGivesNothing) {
    const std::string script = yv::sjis(
        "// a clean game\n"
        "#loadimage(2, \"sky.png\");\n"
        "@1 = 0;\n"
        "|loop:\n"
        "@1 += 1;\n"
        "#if(@1 < 3)\n{\n\t#goto(\"loop\");\n}\n"
        "#gosub(\"sub\", \"sub.txt\");\n"
        "#settitle(\"表示のテスト\");\n"
        "#bitblt(1, 0, 0, 640, 480, 2, 0, 0);\n"
        "#end();\n");
    EXPECT_EQ(check({{"script.txt", script}, {"sky.png", kPng}, {"sub.txt", "|sub:\n#return();\n"}}),
              std::vector<std::string>{});
}

TEST(CheckCorpus, TheDemoPasses) {
    auto findings = yv::check::checkGame(std::filesystem::path(YV_SOURCE_DIR) / "examples/demo");
    ASSERT_TRUE(findings.has_value());
    for (const auto& f : *findings) ADD_FAILURE() << yv::check::formatLine(f);
}

}  // namespace

namespace {

// Files in the primary archive are found as the runtime finds them (by lower-cased name); one
// that is neither there nor loose is reported.
TEST(CheckCorpus, ArchivedFilesAreFound) {
    yv::TempDir game;
    game.write("start.ini", "[Script]\nScript=script.txt\n[DATA]\nDAT=1\n");
    game.write("script.txt", "#loadimage(2, \"BG.bmp\");\n#gosub(\"s\", \"sub.txt\");\n#loadimage(3, \"none.bmp\");\n#end();\n");
    const unsigned char key = 0x3C;
    std::string idx(1, static_cast<char>(key));
    idx += std::string("\x01") + "d.bin#bg.bmp$0*2#sub.txt$2*17";
    for (size_t i = 1; i < idx.size(); ++i) idx[i] = static_cast<char>(idx[i] ^ key);
    game.write("Lump.cpn", idx);
    std::string plain = "BM|s:\n#return();\n\n\n\n\n";
    yv::io::archive::scramble(plain, yv::io::archive::dataKeyFor(key));
    game.write("d.bin", plain);
    auto findings = yv::check::checkGame(game.path());
    ASSERT_TRUE(findings.has_value());
    std::vector<std::string> lines;
    for (const auto& f : *findings) lines.push_back(yv::check::formatLine(f));
    EXPECT_EQ(lines, std::vector<std::string>{"script.txt:3:1: warning: picture 'none.bmp' named by loadimage is in no "
                                              "archive and not in the game folder: the screen stays empty "
                                              "[missing-picture]"});
}

}  // namespace
