// System, file and utility commands as scripts use them.
#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "core/cp932.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "script/interpreter.h"
#include "script/dialog_commands.h"
#include "script/file_commands.h"
#include "test_util.h"

using namespace yv;

namespace {

struct Play {
    TempDir dir;
    HeadlessPlatform p;
    std::unique_ptr<Runtime> rt = std::make_unique<Runtime>(p, dir.path());
    // Runs a script (UTF-8, stored as Shift-JIS) until it ends.
    void run(const std::string& script) {
        Interp& in = rt->interp;
        in.setText(sjis(script));
        in.pos = 0;
        in.running = 1;
        in.halt = 0;
        in.stepsEnabled = 1;
        for (int i = 0; i < 1000 && in.running; ++i) {
            script::step(*rt);
            p.manualClock().advance(10);
        }
    }
    int32_t ivar(int i) const { return rt->interp.ivar[static_cast<size_t>(i)]; }
    std::string svar(char c) const { return cp932ToUtf8(rt->interp.svar[static_cast<size_t>(c - 0x41)]); }
};

}  // namespace

TEST(Getrand, RangesAsScriptsUseThem) {
    Play g;
    bool sawOne = false;
    for (int i = 0; i < 200; ++i) {
        g.run("@1 = #getrand(1, 6);\n@2 = #getrand(6, 1);\n");
        ASSERT_GE(g.ivar(1), 1);
        ASSERT_LE(g.ivar(1), 5);  // the high number is never drawn
        ASSERT_GE(g.ivar(2), 1);
        ASSERT_LE(g.ivar(2), 5);
        sawOne = sawOne || g.ivar(1) == 1;
    }
    EXPECT_TRUE(sawOne);
    g.run("@3 = #getrand(0, 0); @4 = #getrand(); @5 = #getrand(7, 7); @6 = #getrand(-3, 0);");
    EXPECT_GE(g.ivar(3), 0);
    EXPECT_LE(g.ivar(3), 32767);
    EXPECT_GE(g.ivar(4), 0);  // missing numbers count as 0
    EXPECT_LE(g.ivar(4), 32767);
    EXPECT_EQ(g.ivar(5), 7);
    EXPECT_GE(g.ivar(6), -3);  // high 0: m + a raw number
    EXPECT_LE(g.ivar(6), 32764);
}

TEST(VariableFilling, ZeromemoryMemorysetMemcmpAndTheirRecords) {
    Play g;
    for (int i = 0; i <= 2020; ++i) g.rt->interp.ivar[static_cast<size_t>(i)] = 9;
    g.run("#savetmp(); #zeromemory(10, 12); #zeromemory(20, 19);");
    EXPECT_EQ(g.ivar(9), 9);
    EXPECT_EQ(g.ivar(10), 0);
    EXPECT_EQ(g.ivar(12), 0);
    EXPECT_EQ(g.ivar(13), 9);
    EXPECT_EQ(g.ivar(19), 9);
    EXPECT_NE(g.rt->save.log.text.find("@84,10,12,"), std::string::npos);
    g.run("#memoryset(0, 2020, 5);");
    EXPECT_EQ(g.ivar(0), 5);
    EXPECT_EQ(g.ivar(2020), 5);
    g.run("#memoryset(7, 7, -1); #memoryset(9, 8, 3); #zeromemory(2019, 5000);");
    EXPECT_EQ(g.ivar(7), -1);
    EXPECT_EQ(g.ivar(8), 5);
    EXPECT_EQ(g.ivar(2020), 0);
    EXPECT_NE(g.rt->save.log.text.find("@74,0,2020,5,;,,,"), std::string::npos);

    g.run("@A = \"abc\"; @5 = #memcmp(@A, \"abc\"); @6 = #memcmp(@A, \"ABC\"); @1 = 7; @7 = #memcmp(@1, 7);"
          " @8 = #memcmp(@1, 8);");
    EXPECT_EQ(g.ivar(5), 1);
    EXPECT_EQ(g.ivar(6), 0);
    EXPECT_EQ(g.ivar(7), 1);
    EXPECT_EQ(g.ivar(8), 0);
    EXPECT_NE(g.rt->save.log.text.find("@75,7,7,;,,"), std::string::npos);
}

TEST(VariableFilling, StringFormFillsStringVariables) {
    Play g;
    g.run("@B = \"keep\"; @F = \"keep\"; #memoryset(@C, @E, \"何か\");");
    EXPECT_EQ(g.svar('B'), "keep");
    EXPECT_EQ(g.svar('C'), "何か");
    EXPECT_EQ(g.svar('D'), "何か");
    EXPECT_EQ(g.svar('E'), "何か");
    EXPECT_EQ(g.svar('F'), "keep");
    // Without a text, and with the integer form, string variables are left alone.
    g.run("#memoryset(@B, @F); #memoryset(1, 2, 3);");
    EXPECT_EQ(g.svar('B'), "keep");
    EXPECT_EQ(g.ivar(2), 3);
}

TEST(Strings, GetstrlenCountsBytes) {
    Play g;
    g.run("@1 = #getstrlen(\"あいう\"); @2 = #getstrlen(); @A = \"ab\"; @3 = #getstrlen(@A);");
    EXPECT_EQ(g.ivar(1), 6);
    EXPECT_EQ(g.ivar(2), 1);
    EXPECT_EQ(g.ivar(3), 2);
}

TEST(Messagebox, EscapesButtonsAndCaption) {
    Play g;
    g.rt->app.setTitle("Game");
    g.p.setAnswers({"yes", "no"});
    g.run("@5 = #messagebox(\"Line1\\nLine2\", \"Title\", mb_yesno); @6 = #messagebox(\"x\", \"T\", mb_yesnocancel);"
          " @7 = #messagebox(\"Hello\"); @8 = #messagebox(\"odd\", \"T\", 9); @9 = #messagebox(\"a\\\\nb\\tc\");");
    EXPECT_EQ(g.ivar(5), 3);
    EXPECT_EQ(g.ivar(6), 4);
    EXPECT_EQ(g.ivar(7), 1);
    EXPECT_EQ(g.ivar(8), 1);  // a button set outside 0..5 shows an OK box
    const auto log = g.p.dialogLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0], "Title: Line1\\nLine2");
    EXPECT_EQ(log[2], "Game: Hello");
    EXPECT_EQ(log[4], "Game: a\\\\nb\tc");  // "\\n" is a backslash and a line feed
    // A 0x5C that is the second byte of a character is not an escape: 表 = 95 5C.
    EXPECT_EQ(script::applyMessageEscapes(sjis("表n")), sjis("表n"));
    EXPECT_EQ(script::applyMessageEscapes("\\a\\b\\f\\r\\v\\'\\?"), "\a\b\f\r\v'?");
}

TEST(Inputbox, RefusesHalfWidthEntriesAndAsksAgain) {
    Play g;
    g.p.setAnswers({"abc", "ok", "やまだ"});  // every dialog takes the next answer
    g.run("@A = #inputbox(\"名前は？\", \"名前\", \"ななし\", 20);");
    EXPECT_EQ(g.svar('A'), "やまだ");
    const auto log = g.p.dialogLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "名前: 名前は？");
    EXPECT_EQ(log[1], "Yorvane: 半角文字が使われました。\\n全角で入力してください。");
    EXPECT_EQ(log[2], "名前: 名前は？");
}

TEST(Inputbox, DefaultsTitlesAndLength) {
    Play g;
    g.p.setAnswers({"", "ああああ"});
    g.run("@A = #inputbox(\"問\", \"題\", \"既定\"); @B = #inputbox(\"問\", \"題\", \"既定\", 4); @C = #inputbox(\"問\");"
          " @D = #inputbox();");
    EXPECT_EQ(g.svar('A'), "既定");  // an empty field takes the default
    EXPECT_EQ(g.svar('B'), "ああ");  // cut to 4 bytes
    EXPECT_EQ(g.svar('C'), "");
    const auto log = g.p.dialogLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2], "入力ボックス: 問");
    EXPECT_EQ(log[3], "入力ボックス: 入力してください");
}

TEST(Inputbox, AHalfWidthDefaultWithNoAnswersLeftDoesNotLoopForever) {
    Play g;
    g.run("@A = #inputbox(\"問\", \"題\", \"abc\"); @1 = 1;");
    EXPECT_EQ(g.ivar(1), 1);
    EXPECT_EQ(g.svar('A'), "abc");
}

TEST(Inputbox2, FourFieldsIntoStringVariables) {
    Play g;
    g.p.setAnswers({"いち", "x", "", "よん", "ok", "いち", "に", "", "よん"});
    g.run("#inputbox2(\"題\", \"一\", \"あ\", 10, \"二\", \"い\", 10, \"三\", \"う\", 10, \"四\", \"え\", 10);");
    EXPECT_EQ(g.svar('s'), "いち");
    EXPECT_EQ(g.svar('m'), "に");
    EXPECT_EQ(g.svar('n'), "う");  // empty field: its default
    EXPECT_EQ(g.svar('k'), "よん");
    const auto log = g.p.dialogLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "題: 一 / 二 / 三 / 四");
}

TEST(FileCommands, CopyDeleteRenameFind) {
    Play g;
    g.dir.write("Save/Data.TXT", "payload");
    g.run("@1 = #copyfile(\"save\\\\data.txt\", \"copy.txt\"); @2 = #copyfile(\"save\\\\data.txt\", \"copy.txt\", 1);"
          " @3 = #copyfile(\"none.txt\", \"x.txt\"); @4 = #findfile(\"SAVE\\\\*.txt\"); @A = #findfile(\"*.zip\");"
          " @5 = #findfile(\"*.zip\"); #rename(\"copy.txt\", \"moved.txt\"); @6 = #deletefile(\"SAVE\\\\DATA.TXT\");"
          " @7 = #deletefile(\"save\\\\data.txt\"); @8 = #findfile(\"m?ved.*\");");
    EXPECT_EQ(g.ivar(1), 1);
    EXPECT_EQ(g.ivar(2), 0);
    EXPECT_EQ(g.ivar(3), 0);
    EXPECT_EQ(g.ivar(4), 1);
    EXPECT_EQ(g.svar('A'), "*.zip");
    EXPECT_EQ(g.ivar(5), 0);
    EXPECT_EQ(g.ivar(6), 1);
    EXPECT_EQ(g.ivar(7), 0);
    EXPECT_EQ(g.ivar(8), 1);
    EXPECT_EQ(g.dir.read("moved.txt"), "payload");
    EXPECT_FALSE(g.dir.exists("Save/Data.TXT"));
}

TEST(FileCommands, Getfiletime) {
    Play g;
    g.dir.write("flag0.sav", "x");
    g.run("@A = #getfiletime(\"missing.sav\"); @1 = #getfiletime(\"missing.sav\"); @B = #getfiletime(\"FLAG0.SAV\");"
          " @2 = #getfiletime(\"flag0.sav\");");
    EXPECT_EQ(g.svar('A'), "----/--/-- --:--:--");
    EXPECT_EQ(g.ivar(1), 0);
    EXPECT_EQ(g.ivar(2), 1);
    EXPECT_TRUE(std::regex_match(g.svar('B'), std::regex(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d)"))) << g.svar('B');
}

TEST(SystemCommands, FoldersAndClock) {
    Play g;
    g.run("@A = #getcurrentdirectry(); @B = #getwindowsdirectry(); @C = #getsystemdirectry(); @D = #getmydocdirectry();"
          " @1 = #getyear(); @E = #getyear(); @2 = #getmonth(); @F = #getmonth(); @3 = #getsecond();");
    const std::string game = g.dir.path().string();
    EXPECT_EQ(g.svar('A'), game + "/");
    EXPECT_EQ(g.svar('B'), game + "/windows");
    EXPECT_EQ(g.svar('C'), game + "/windows/system32");
    EXPECT_TRUE(std::filesystem::is_directory(g.dir.path() / "windows" / "system32"));
    EXPECT_FALSE(g.svar('D').empty());
    EXPECT_NE(g.svar('D').back(), '/');
    const os::LocalTime now = os::localTimeNow();
    EXPECT_NEAR(g.ivar(1), now.year, 1);
    EXPECT_EQ(g.svar('E'), std::to_string(g.ivar(1)));
    EXPECT_EQ(g.svar('F').size(), 2u);
    EXPECT_EQ(std::stoi(g.svar('F')), g.ivar(2));
    EXPECT_LE(g.ivar(3), 60);
}

TEST(SystemCommands, DocumentsFolderFollowsXdgUserDirs) {
    TempDir home;
    home.write(".config/user-dirs.dirs", "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/文書\"\n");
    const char* oldHome = std::getenv("HOME");
    const std::string saved = oldHome ? oldHome : "";
    const char* oldCfg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedCfg = oldCfg ? oldCfg : "";
    ::setenv("HOME", home.path().c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(os::userDocumentsFolder(), home.path().string() + "/文書");
    home.write(".config/user-dirs.dirs", "\n");
    EXPECT_EQ(os::userDocumentsFolder(), home.path().string());
    ::setenv("HOME", saved.c_str(), 1);
    if (oldCfg) ::setenv("XDG_CONFIG_HOME", savedCfg.c_str(), 1);
}

TEST(Exec, OpensDocumentsAndReportsTheShellsErrors) {
    Play g;
    g.dir.write("readme.txt", "read me");
    g.run("@2 = #exec(\"no-such-program-yv\", 1); @3 = #exec(\"missing.txt\");"
          " @A = #exec(\"missing.txt\"); @4 = #exec(\"nodir\\\\missing.txt\", 0); @5 = #exec(\"README.TXT\");"
          " @6 = #exec(\"https://example.org/x\");");
    EXPECT_EQ(g.ivar(2), 0);
    EXPECT_EQ(g.ivar(3), 0);
    EXPECT_EQ(g.svar('A'), "指定されたファイルが見つかりません");
    EXPECT_EQ(g.ivar(4), 0);
    EXPECT_EQ(g.ivar(5), 1);  // handed to the desktop (only logged when headless)
    EXPECT_EQ(g.ivar(6), 1);
    const auto log = g.p.dialogLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[3], "Yorvane: 指定されたパスが見つかりません");
}

// No game starts a program: not one of its own (mode 0 or 1), not one by name on PATH, not a
// link leading out of the game folder. Each is refused without a dialog and with result 0.
TEST(Exec, NeverStartsAProgram) {
    Play g;
    g.dir.write("make.sh", "#!/bin/sh\necho done > made.txt\n");
    std::filesystem::permissions(g.dir.path() / "make.sh", std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    g.dir.write("run.desktop", "[Desktop Entry]\nExec=sh -c 'echo x > made.txt'\n");
    std::filesystem::create_symlink("/etc/hostname", g.dir.path() / "outside.txt");
    g.run("@1 = #exec(\"MAKE.SH\", 1); @2 = #exec(\"make.sh\"); @3 = #exec(\"sh\", 1); @4 = #exec(\"sh\");"
          " @5 = #exec(\"run.desktop\"); @6 = #exec(\"outside.txt\"); @7 = #exec(\"touch made.txt\", 1);");
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(g.ivar(i), 0) << i;
    EXPECT_FALSE(g.dir.exists("made.txt"));
    // Only the command line, taken for a missing file's name, says so.
    const auto log = g.p.dialogLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "Yorvane: 指定されたファイルが見つかりません");
}

TEST(Exec, CommandLineWords) {
    EXPECT_EQ(os::splitCommandLine(R"(prog "a b" c\d "e\"f" g\\"h i")"),
              (std::vector<std::string>{"prog", "a b", "c\\d", "e\"f", "g\\h i"}));
    EXPECT_TRUE(script::wildcardMatch("*.SAV", "flag0.sav"));
    EXPECT_TRUE(script::wildcardMatch("flag?.sav", "flagあ.sav"));
    EXPECT_FALSE(script::wildcardMatch("flag?.sav", "flag10.sav"));
    EXPECT_TRUE(script::wildcardMatch("*.*", "README"));
    EXPECT_TRUE(script::onlyDoubleByte(sjis("全角")));
    EXPECT_FALSE(script::onlyDoubleByte(sjis("全a角")));
    EXPECT_TRUE(script::onlyDoubleByte(""));
}

TEST(Inputbox, PlatformsWithoutDialogsAnswerWithTheFieldAndGiveUpOnRetries) {
    HeadlessPlatform p;
    InputBoxRequest r;
    r.initial = "abc";
    EXPECT_EQ(p.Platform::inputBox(r).value_or("?"), "abc");
    r.retry = true;
    EXPECT_FALSE(p.Platform::inputBox(r));
    InputBox2Request r2;
    r2.initial[3] = "x";
    EXPECT_EQ((*p.Platform::inputBox2(r2))[3], "x");
    r2.retry = true;
    EXPECT_FALSE(p.Platform::inputBox2(r2));
}
