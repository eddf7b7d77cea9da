// Assignment statements: left-to-right arithmetic, compound operators, string assignment.
#include <gtest/gtest.h>

#include "script_fixture.h"

using namespace yv;

namespace {

// Runs the statements (one per line) and returns the runtime for inspection.
ScriptRun& run(ScriptRun& s) {
    s.runToEnd();
    return s;
}

}  // namespace

TEST(Assignment, NoPrecedenceAndParenthesisedNegatives) {
    ScriptRun s(
        "@1 = 2 + 3 * 4;\n@2 = 10 - (-5);\n@3 = 7;\n@3 += 1;\n@4 = 5;\n@4++;\n@5 = 9;\n@5--;\n"
        "@6 = 100 / 7;\n@7 = mb_okcancel;\n@8 = @1 - 2;\n");
    run(s);
    EXPECT_EQ(s.var(1), 20);
    EXPECT_EQ(s.var(2), 15);
    EXPECT_EQ(s.var(3), 8);
    EXPECT_EQ(s.var(4), 6);
    EXPECT_EQ(s.var(5), 8);
    EXPECT_EQ(s.var(6), 14);
    EXPECT_EQ(s.var(7), 2);
    EXPECT_EQ(s.var(8), 18);
}

TEST(Assignment, CompoundOperatorsAndZeroDivisors) {
    ScriptRun s(
        "@1 = 17;\n@1 %= 5;\n@2 = 5;\n@2 %= 0;\n@3 = 8;\n@3 /= 0;\n@4 = 9;\n@4 = @4 / 0;\n"
        "@5 = 12;\n@5 &= 10;\n@6 = 12;\n@6 |= 3;\n@7 = 12;\n@7 ^= 5;\n@8 = -7;\n@8 %= 3;\n"
        "@9 = 3;\n@9 *= -2;\n@10 = 6;\n@10 -= 10;\n");
    run(s);
    EXPECT_EQ(s.var(1), 2);
    EXPECT_EQ(s.var(2), 5);
    EXPECT_EQ(s.var(3), 8);
    EXPECT_EQ(s.var(4), 9);
    EXPECT_EQ(s.var(5), 8);
    EXPECT_EQ(s.var(6), 15);
    EXPECT_EQ(s.var(7), 9);
    EXPECT_EQ(s.var(8), -1);
    EXPECT_EQ(s.var(10), -4);
}

TEST(Assignment, OverflowWrapsAndBadIndicesAreIgnored) {
    ScriptRun s("@1 = 2147483647;\n@1 += 1;\n@2 = 65536 * 65536;\n@9999 = 5;\n@-1 = 5;\n");
    run(s);
    EXPECT_EQ(s.var(1), -2147483647 - 1);
    EXPECT_EQ(s.var(2), 0);
}

TEST(Assignment, KeywordsAndStrayLettersResetTheRunningValue) {
    // A letter that starts no keyword ends the operand; with nothing pending the value is 0.
    ScriptRun s("@1 = 5 + true;\n@2 = (-5);\n@3 = abc;\n");
    run(s);
    EXPECT_EQ(s.var(1), 2);
    EXPECT_EQ(s.var(2), 0);
    EXPECT_EQ(s.var(3), 0);
}

TEST(Assignment, OperatorWithoutEqualsShowsTheStatement) {
    ScriptRun s("@1 = 4;\n@1 + 3;\n");
    run(s);
    EXPECT_EQ(s.var(1), 4);
    ASSERT_EQ(s.dialogs().size(), 1u);
    EXPECT_NE(s.dialogs()[0].find("@1 + 3;"), std::string::npos);
}

TEST(Assignment, Strings) {
    ScriptRun s("@B = \"xy\";\n@A = \"ab\" + @B;\n@A += \"c\";\n@5 = -12;\n@C = @5;\n@D = \"日本\";\n@E = \"ab\"+@B;\n");
    run(s);
    EXPECT_EQ(s.str('A'), "abxyc");
    EXPECT_EQ(s.str('C'), "-12");
    EXPECT_EQ(s.str('D'), "日本");
    // The two bytes after a closing quote go unexamined: "+@" is passed over.
    EXPECT_EQ(s.str('E'), "ab");
}

TEST(Assignment, ByteAfterTheSemicolonIsSkipped) {
    ScriptRun s("@1 = 5;@2 = 6;\n@3 = 7;\n#wait(10);@4 = 8;\n");
    run(s);
    EXPECT_EQ(s.var(1), 5);
    EXPECT_EQ(s.var(2), 0);  // skipped: written right after the assignment's ';'
    EXPECT_EQ(s.var(3), 7);
    EXPECT_EQ(s.var(4), 8);  // after a command the next statement on the line runs
}

TEST(Assignment, CommandResultsArePending) {
    ScriptRun s("@5 = #int(\"42abc\");\n@6 = #int(42);\n@A = #cstring(-17);\n@7 = #foo(1);\n");
    s.rt.interp.result = 99;
    run(s);
    EXPECT_EQ(s.var(5), 42);
    EXPECT_EQ(s.var(6), 0);
    EXPECT_EQ(s.str('A'), "-17");
    // An unknown command keeps the previous result, which is 0 after a pending store.
    EXPECT_EQ(s.var(7), 0);
    EXPECT_EQ(s.rt.interp.result, 0);
}
