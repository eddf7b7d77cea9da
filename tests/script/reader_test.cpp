// The statement reader: statement boundaries, comments, labels, command names.
#include <gtest/gtest.h>

#include "script/command_table.h"
#include "lang/script_source.h"
#include "script_fixture.h"

using namespace yv;

TEST(Reader, StatementsOnOneLineAndCutsAtSemicolons) {
    ScriptRun s("#wait(0);#cstring(\"x;y\");\n@1 = 1;\n");
    s.runToEnd();
    EXPECT_EQ(s.var(1), 1);
    EXPECT_EQ(s.rt.interp.argText, "(\"x;");
    EXPECT_EQ(s.rt.interp.strResult, "x;");  // the literal ran on to the appended ';'
}

TEST(Reader, ArgumentTextRunsToLineEndWithoutSemicolon) {
    ScriptRun s("#loop(500)\n@1 = 3;\n");
    s.runToEnd();
    EXPECT_EQ(s.rt.interp.cmdName, "loop");
    EXPECT_EQ(s.rt.interp.argText, "(500);");
    EXPECT_EQ(s.var(1), 3);
}

TEST(Reader, CommentsHideStatements) {
    ScriptRun s("// note @1 = 1;\n/* @2 = 2;\n@3 = 3; */\n/*/ @4 = 4;\n@5 = 5;\n@6 = 6; // tail\n");
    s.runToEnd();
    EXPECT_EQ(s.var(1), 0);
    EXPECT_EQ(s.var(2), 0);
    EXPECT_EQ(s.var(3), 0);
    EXPECT_EQ(s.var(4), 4);  // "/*/" is a complete comment
    EXPECT_EQ(s.var(5), 5);
    EXPECT_EQ(s.var(6), 6);
}

TEST(Reader, FullWidthSpaceStartsAnEmptyAssignment) {
    // 0x81 0x40: the second byte is '@', which swallows the line up to the first ')' and one
    // byte more.
    ScriptRun s("　#cstring(\"a\");@1 = 1;\n@2 = 2;\n");
    s.runToEnd();
    EXPECT_TRUE(s.rt.interp.strResult.empty());
    EXPECT_EQ(s.var(1), 1);
    EXPECT_EQ(s.var(2), 2);
}

TEST(Reader, ParenthesisInsideStringEndsTheStatementForTheReader) {
    ScriptRun s("#loop(\"a)@1 = 9;\");\n");
    s.runToEnd();
    EXPECT_EQ(s.var(1), 9);
}

TEST(Reader, CommandNamesIgnoreCaseButNotBlanks) {
    ScriptRun s("@1 = #INT(\"7\");\n@2 = #int (\"8\");\n@3 = #1int(\"9\");\n");
    s.rt.interp.result = 5;
    s.runToEnd();
    EXPECT_EQ(s.var(1), 7);
    EXPECT_EQ(s.var(2), 0);  // "int " matches nothing; the previous result (0) is stored
    EXPECT_EQ(s.var(3), 0);
    EXPECT_EQ(findCommand("textbuffer")->name, std::string("textBuffer"));
    EXPECT_EQ(findCommand("bitblt "), nullptr);
}

TEST(Reader, RunningPastTheEndStopsQuietly) {
    ScriptRun s("@1 = 1;\n");
    s.runToEnd();
    EXPECT_FALSE(s.rt.interp.running);
    EXPECT_TRUE(s.dialogs().empty());
}

TEST(Reader, MissingParenthesisDoesNothing) {
    ScriptRun s("#end\n@1 = 1;\n");
    s.runToEnd();
    EXPECT_EQ(s.var(1), 1);
}

TEST(Labels, FirstExactCaseSensitiveMatchOnOneLine) {
    ScriptSource src(sjis("|start:\n|Start:\n|spl\nit:\n// |hidden:\n|a|b:\n|start:\n|x: |y:\n"));
    EXPECT_EQ(src.findLabel("start"), 6);
    EXPECT_EQ(src.findLabel("Start"), 14);
    EXPECT_EQ(src.findLabel("START"), 0);
    EXPECT_EQ(src.findLabel("split"), 0);
    EXPECT_EQ(src.findLabel("spl\nit"), 0);
    EXPECT_EQ(src.findLabel("hidden"), 0);
    EXPECT_GT(src.findLabel("a|b"), 0);
    EXPECT_GT(src.findLabel("x"), 0);
    EXPECT_EQ(src.findLabel(" |y"), 0);  // after "x:" closes, the walk reopens at the next '|'
    EXPECT_GT(src.findLabel("y"), 0);
}

TEST(Labels, SkipCommentClipsToTheText) {
    EXPECT_EQ(skipComment("//", 0), 2);
    EXPECT_EQ(skipComment("/* x", 0), 4);
    EXPECT_EQ(skipComment("/*/", 0), 2);
    EXPECT_EQ(skipComment("/", 0), 0);
    EXPECT_EQ(skipComment("a", 5), 5);
}
