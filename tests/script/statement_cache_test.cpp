// Statements read once and run many times: what is kept must never outlive its text, and what
// depends on variables must still be worked out each time.
#include <gtest/gtest.h>

#include "lang/scanners.h"
#include "script_fixture.h"

using namespace yv;

namespace {

void restart(ScriptRun& s, const std::string& script) {
    s.rt.interp.setText(sjis(script));
    s.rt.interp.pos = 0;
    s.rt.interp.halt = 0;
    s.rt.interp.running = 1;
}

}  // namespace

TEST(StatementCache, AnotherTextAtTheSamePositionsIsReadAfresh) {
    ScriptRun s("@1 = 5;\n#int(\"3\");\n");
    s.runToEnd();
    EXPECT_EQ(s.var(1), 5);
    EXPECT_EQ(s.rt.interp.result, 3);
    // Same offsets, other statements: an assignment of another form, another command.
    restart(s, "@1 += 7;\n#getstrlen(\"abcd\");\n");
    s.runToEnd();
    EXPECT_EQ(s.var(1), 12);
    EXPECT_EQ(s.rt.interp.result, 4);
    EXPECT_EQ(s.rt.interp.cmdName, "getstrlen");
    EXPECT_EQ(s.rt.interp.argText, "(\"abcd\");");
}

TEST(StatementCache, OneStatementRunAgainSeesTheVariablesOfTheMoment) {
    // The subroutine's statements run twice; the second time they are read from memory.
    ScriptRun s(
        "@A = \"one\";\n@1 = 2;\n#gosub(\"sub\");\n@A = \"two\";\n@1 = 5;\n#gosub(\"sub\");\n#goto(\"done\");\n"
        "|sub:\n@2 = @1 * 3 + 1;\n@3 += @1;\n@4 = #getstrlen(@A);\n@5 = #int(\"4\");\n#goto(@A);\n"
        "|one:\n@6 += 1;\n#return();\n|two:\n@7 += 1;\n#return();\n|done:\n");
    s.runToEnd();
    EXPECT_EQ(s.var(2), 16);
    EXPECT_EQ(s.var(3), 7);
    EXPECT_EQ(s.var(4), 3);
    EXPECT_EQ(s.var(5), 4);
    EXPECT_EQ(s.var(6), 1);  // the jump named by a variable followed it both times
    EXPECT_EQ(s.var(7), 1);
}

TEST(StatementCache, MalformedAssignmentComplainsEveryTime) {
    ScriptRun s("#gosub(\"sub\");\n#gosub(\"sub\");\n#goto(\"done\");\n|sub:\n@1 * 3;\n#return();\n|done:\n");
    s.runToEnd();
    EXPECT_EQ(s.dialogs().size(), 2u);
}

// The reader passes over blanks, labels and comments at once when nothing runs between
// statements; it must count the same passes as when it walks them byte by byte.
TEST(StatementCache, PassesOverBlanksAreCountedAsBeforeAndStopAtStatements) {
    const std::string script = "\n  \n|lab:\n// note @9 = 9;\n/*/ @1 = 1;\n\t@2 = 2; /* @9 = 9; */ #wait(5);\n";
    auto passes = [&](bool quiet) {
        ScriptRun s(script);
        if (!quiet) {
            // Armed but its subroutine still running: every pass looks, and nothing happens.
            s.rt.choices.trapButton = 1;
            s.rt.choices.trapDepth = 0;
        }
        s.rt.interp.passCount = 0;
        s.rt.interp.passSecondStart = s.platform.manualClock().nowMs();
        script::step(s.rt);
        EXPECT_EQ(s.var(1), 1);
        EXPECT_EQ(s.var(2), 2);
        EXPECT_EQ(s.var(9), 0);
        EXPECT_EQ(s.rt.interp.wait.waitMs, 5);
        return s.rt.interp.passCount;
    };
    EXPECT_EQ(passes(true), passes(false));
}

// The kept form of an integer assignment against the evaluator reading the statement afresh.
TEST(StatementCache, KeptAssignmentsAgreeWithTheEvaluator) {
    const char* cases[] = {
        "@1 = 3-2;",        "@1 = (-4) * 2;",   "@1 += @2 / 0;",     "@1 %= @3;",      "@1 = true + 1;",
        "@1 = @2 * 3 + 7;", "@1 -= none;",      "@1 ++;",            "@1--;",          "@1 = 4 / 2 * 3;",
        "@1 |= 12;",        "@1 ^= @2;",        "@1 = \"7\" + 2;",   "@1",             "@12 = 2147483647 + 1;",
        "@1 = @2\n + 5;",   "@1 = 99999999999;", "@3000 = 5;",       "@1 = #int(\"2\");",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        ScriptRun fresh, kept;
        for (ScriptRun* s : {&fresh, &kept}) {
            s->rt.interp.ivar[1] = 10;
            s->rt.interp.ivar[2] = -3;
            s->rt.interp.ivar[3] = 4;
        }
        const AssignOutcome a = evalAssignment(fresh.rt, c);
        char compact[DecodedStatement::kCompactRoom];
        const BytesView stmt = assignmentText(c);
        const size_t n = compactAssignment(stmt, compact, sizeof compact);
        ASSERT_LE(n, sizeof compact);
        const IntAssignForm form = readIntAssign(BytesView(compact, n));
        const AssignOutcome b = runIntAssign(kept.rt, BytesView(compact, n), form);
        EXPECT_EQ(a.index, b.index);
        EXPECT_EQ(a.kind, b.kind);
        EXPECT_EQ(a.pending, b.pending);
        EXPECT_EQ(fresh.rt.interp.ivar, kept.rt.interp.ivar);
    }
}

TEST(StatementCache, LongAssignmentsStillRun) {
    // Too long to keep in its compact form: read afresh each time, with the same result.
    std::string sum = "@1 = 1";
    for (int i = 0; i < 40; ++i) sum += " + 1";
    ScriptRun s("#gosub(\"sub\");\n#gosub(\"sub\");\n#goto(\"done\");\n|sub:\n" + sum + ";\n@2 += @1;\n#return();\n|done:\n");
    s.runToEnd();
    EXPECT_EQ(s.var(1), 41);
    EXPECT_EQ(s.var(2), 82);
}
