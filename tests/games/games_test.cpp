// Whole games run through the real program, headless.
#include <gtest/gtest.h>

#include "test_util.h"

using namespace yv;

namespace {

void writeGame(const TempDir& d, const std::string& script, const std::string& ini = "[FPS]\nFps=30\n") {
    d.write("start.ini", ini);
    d.write("script.txt", sjis(script));
}

}  // namespace

TEST(Games, SystemSaveHoldsComputedValues) {
    TempDir d;
    writeGame(d,
              "@901 = 2 + 3 * 4;\n@902 = 10 - (-5);\n@903 = 7;\n@903 %= 4;\n"
              "#if(@901 == 20 && @902 == 15)\n{\n@904 = 1;\n}\n#gosub(\"sub\");\n#systemsave();\n#breakapp();\n"
              "|sub:\n@905 = #int(\"-12\");\n#return();\n");
    RunResult r = runYorvane({"--headless", d.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"),
              (std::vector<std::pair<int, int>>{{901, 20}, {902, 15}, {903, 3}, {904, 1}, {905, -12}}));
}

TEST(Games, SystemDatIsReadAtStartAndWrittenAtExit) {
    TempDir d;
    writeGame(d, "@910 += 1;\n#end();\n");
    for (int i = 0; i < 3; ++i) ASSERT_EQ(runYorvane({"--headless", d.path().string()}).status, 0);
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (std::vector<std::pair<int, int>>{{910, 3}}));
}

TEST(Games, WaitsUseTheHeadlessClock) {
    // Ten seconds of waiting pass at once; the limit counts the same clock.
    TempDir d;
    writeGame(d, "#wait(10000);\n@920 = 1;\n#wait(100000);\n@921 = 1;\n#end();\n");
    RunResult r = runYorvane({"--headless", "--max-seconds", "60", d.path().string()});
    EXPECT_EQ(r.status, 124);
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (std::vector<std::pair<int, int>>{{920, 1}}));
}

TEST(Games, EndMessageAndCloseConfirmation) {
    TempDir d;
    writeGame(d, "#end();\n",
              "[WindowTitle]\nTitle=Demo\n[ExitMessage]\nScriptEnd=1\nMessage=" + sjis("おしまい") + "\n");
    RunResult r = runYorvane({"--headless", d.path().string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("dialog: Demo: おしまい"), std::string::npos) << r.err;

    TempDir e;
    writeGame(e, "@930 = 1;\n#breakapp();\n", "[WindowTitle]\nTitle=G\n[ExitMessage]\nEndMessage=1\n");
    r = runYorvane({"--headless", e.path().string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("dialog: G: G を終了します。\\n終了してよろしいですか？"), std::string::npos) << r.err;
}

TEST(Games, StartUpFailures) {
    TempDir empty;
    RunResult r = runYorvane({"--headless", empty.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("start.ini"), std::string::npos);

    TempDir noScript;
    noScript.write("start.ini", "[Script]\nScript=first.txt\n");
    r = runYorvane({"--headless", noScript.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("dialog: load script error: first script, not find!"), std::string::npos) << r.err;
}

TEST(Games, DebugFileIsReadOverStartIni) {
    TempDir d;
    writeGame(d, "@940 = 1;\n#end();\n", "[Script]\nScript=script.txt\n[ExitMessage]\nScriptEnd=1\n");
    d.write("_$debug", "[ExitMessage]\nScriptEnd=0\n");
    RunResult r = runYorvane({"--headless", d.path().string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.find("dialog:"), std::string::npos) << r.err;
}

TEST(Games, ScriptsFoundWithoutRegardToCase) {
    TempDir d;
    d.write("start.ini", "[Script]\nScript=Data\\Main.TXT\n");
    d.write("data/main.txt", sjis("#goto(\"x\", \"DATA\\\\Other.txt\");\n"));
    d.write("DATA/other.TXT", sjis("|x:\n@950 = 5;\n#end();\n"));
    RunResult r = runYorvane({"--headless", d.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readSystemDat(d.path() / "system.dat"), (std::vector<std::pair<int, int>>{{950, 5}}));
}

TEST(Games, CommandLine) {
    RunResult r = runYorvane({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("yorvane ", 0), 0u);
    EXPECT_NE(r.out.find("GPL-3.0-or-later"), std::string::npos) << r.out;
    r = runYorvane({"--help"});
    EXPECT_NE(r.out.find("--max-seconds"), std::string::npos);
    EXPECT_NE(r.out.find("--verbose"), std::string::npos);
    r = runYorvane({"--bogus"});
    EXPECT_NE(r.status, 0);
}
