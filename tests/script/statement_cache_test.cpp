// Statements read once and run many times: what is kept must never outlive its text, and what
// depends on variables must still be worked out each time.
#include <gtest/gtest.h>

#include <random>

#include "lang/args.h"
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

TEST(StatementCache, AReturnGoesOnFromWhicheverCallerItReturnsTo) {
    // The same return lands after two calls in turn, each with other text after it: where the
    // reader goes on is worked out for the place it lands, not taken from the time before.
    ScriptRun s(
        "|loop:\n#gosub(\"sub\");@1 += 1;\n#gosub(\"sub\");\n// after the second call\n@2 += 10;\n"
        "@9 += 1;\n#if(@9 < 3)\n{\n#goto(\"loop\");\n}\n#goto(\"done\");\n|sub:\n@3 += 1;\n#return();\n|done:\n");
    s.runToEnd();
    EXPECT_EQ(s.var(1), 3);
    EXPECT_EQ(s.var(2), 30);
    EXPECT_EQ(s.var(3), 6);
    EXPECT_EQ(s.var(9), 3);
}

TEST(StatementCache, APinnedEntrysArgumentsOutliveItsHandOver) {
    // A command's handler works on the arguments kept in its entry; should the entry be handed
    // to another statement while it runs, they must last until the command is over.
    auto text = std::make_shared<const ScriptSource>(Bytes(1 << 16, ' '));
    StatementCache cache;
    DecodedStatement& d = cache.slot(text, 1);
    d.args = std::make_shared<ArgsRecipe>();
    const std::weak_ptr<ArgsRecipe> args = d.args;
    DecodedStatement* const outer = cache.pin(&d);
    // Statements further on until one is given the same slot.
    int32_t other = 2;
    while (&cache.slot(text, other) != &d && other < (1 << 16)) ++other;
    ASSERT_LT(other, 1 << 16);
    EXPECT_FALSE(cache.holds(d, text.get(), 1));
    EXPECT_FALSE(args.expired());
    cache.unpin(outer);
    EXPECT_TRUE(args.expired());
    // Unpinned, a hand-over lets them go at once.
    DecodedStatement& f = cache.slot(text, 1);
    f.args = std::make_shared<ArgsRecipe>();
    const std::weak_ptr<ArgsRecipe> later = f.args;
    ASSERT_EQ(&cache.slot(text, other), &f);
    EXPECT_TRUE(later.expired());
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
        const AssignOutcome a = evalAssignment(fresh.rt.interp, fresh.rt, c);
        char compact[DecodedStatement::kCompactRoom];
        const BytesView stmt = assignmentText(c);
        const size_t n = compactAssignment(stmt, compact, sizeof compact);
        ASSERT_LE(n, sizeof compact);
        const IntAssignForm form = readIntAssign(BytesView(compact, n));
        runIntAssign(kept.rt.interp, BytesView(compact, n), form);
        const AssignOutcome b = outcomeOf(form);
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

namespace {

// Random texts from the pieces the scanners treat specially: variables, numbers, signs,
// operators, parentheses, keywords, strings, commas.
std::string randomText(std::mt19937& rng, const std::vector<std::string>& pieces, int most) {
    std::string t;
    const int n = std::uniform_int_distribution<int>(0, most)(rng);
    for (int i = 0; i < n; ++i) t += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(rng)];
    return t;
}

void setVariables(Interp& in, std::mt19937& rng) {
    for (int i = 0; i < 10; ++i) in.ivar[static_cast<size_t>(i)] = std::uniform_int_distribution<int32_t>(-50, 50)(rng);
    in.ivar[4] = 0;  // a divisor of zero now and then
}

}  // namespace

// A right side learnt once and replayed with other variables gives what reading it afresh gives.
TEST(StatementCache, LearntRightSidesAgreeWithReadingAfreshForAnyText) {
    const std::vector<std::string> pieces = {"@1", "@2", "@3", "@4", "@", "7", "12", "0", "-", "+", "*",
                                             "/", "%", "(", ")", "(-", " ", "true", "none", "mb_ok", "&", "|"};
    std::mt19937 rng(7);
    int kept = 0;
    ScriptRun learn, fresh;
    for (int round = 0; round < 3000; ++round) {
        const std::string ops[] = {"=", "+=", "-=", "*=", "/=", "%=", "|="};
        const std::string stmt = "@9" + ops[round % 7] + randomText(rng, pieces, 8) + ";";
        char compact[DecodedStatement::kCompactRoom];
        const size_t n = compactAssignment(assignmentText(stmt), compact, sizeof compact);
        if (n > sizeof compact) continue;
        const IntAssignForm form = readIntAssign(BytesView(compact, n));
        if (form.kind == IntAssignForm::kMalformed) continue;
        RightSideSteps steps;
        bool known = false;
        setVariables(learn.rt.interp, rng);
        runIntAssign(learn.rt.interp, BytesView(compact, n), form, &steps, &known);
        ASSERT_TRUE(known);
        if (!steps.fits) continue;
        ++kept;
        for (int again = 0; again < 3; ++again) {
            setVariables(learn.rt.interp, rng);
            fresh.rt.interp.ivar = learn.rt.interp.ivar;
            runIntAssign(learn.rt.interp, BytesView(compact, n), form, &steps, &known);
            runIntAssign(fresh.rt.interp, BytesView(compact, n), form);
            ASSERT_EQ(learn.var(9), fresh.var(9)) << stmt;
        }
    }
    EXPECT_GT(kept, 1000);
}

// Arguments kept with their statement and replayed with other variables are the lists a fresh
// evaluation gives; texts whose evaluation shows a box or reads string variables are not kept.
TEST(StatementCache, KeptArgumentsAgreeWithAFreshEvaluationForAnyText) {
    const std::vector<std::string> pieces = {"@1", "@2", "@3", "@", "5", "-", "<", ">", "==", "!=", "&&", "||",
                                             ",", "\"a\"", "true", "rgb(1,2,3)", "@A", " ", "0", "<=", "(", ")"};
    std::mt19937 rng(11);
    int kept = 0, notKept = 0;
    ScriptRun run;
    for (int round = 0; round < 2000; ++round) {
        const std::string text = "(" + randomText(rng, pieces, 9) + ");";
        const Takes takes = round % 2 ? kInts | kStrings | kWritten : kConditions | kBare;
        Interp& in = run.rt.interp;
        in.inlineCommandFlag = false;
        in.svar[0] = "x";
        setVariables(in, rng);
        std::shared_ptr<ArgsRecipe> recipe;
        Args first;
        evaluateArgsKeeping(run.rt.interp, run.rt, takes, text, recipe, first);
        if (!recipe) {
            ++notKept;
            continue;
        }
        ++kept;
        for (int again = 0; again < 3; ++again) {
            setVariables(in, rng);
            const Args want = evaluateArgs(run.rt.interp, run.rt, takes, text);
            const Args* got = replayArgs(run.rt.interp, text, recipe.get());
            ASSERT_NE(got, nullptr);
            ASSERT_EQ(got->ints.n, want.ints.n) << text;
            for (int k = 0; k < want.ints.n; ++k) ASSERT_EQ(got->ints[k], want.ints[k]) << text;
            ASSERT_EQ(got->conditions.n, want.conditions.n) << text;
            for (int k = 0; k < want.conditions.n; ++k) ASSERT_EQ(got->conditions[k], want.conditions[k]) << text;
            ASSERT_EQ(got->strings.all(), want.strings.all()) << text;
            ASSERT_EQ(got->written, want.written);
            ASSERT_EQ(got->bare, want.bare);
        }
    }
    EXPECT_GT(kept, 500);
    EXPECT_GT(notKept, 50);
}

// A kept string list is only used while the inline-command flag is off, as it was when kept.
TEST(StatementCache, KeptStringsWaitForTheInlineCommandFlag) {
    ScriptRun run;
    std::shared_ptr<ArgsRecipe> recipe;
    Args first;
    evaluateArgsKeeping(run.rt.interp, run.rt, kStrings, "(\"a\",\"b\");", recipe, first);
    ASSERT_TRUE(recipe);
    run.rt.interp.inlineCommandFlag = true;
    EXPECT_EQ(replayArgs(run.rt.interp, "(\"a\",\"b\");", recipe.get()), nullptr);
    run.rt.interp.inlineCommandFlag = false;
    EXPECT_NE(replayArgs(run.rt.interp, "(\"a\",\"b\");", recipe.get()), nullptr);
}
