// The step's fast forms (learnt assignments and the control-flow commands run past the general
// path) against the general path alone, on random scripts: every step must leave the same state.
#include <gtest/gtest.h>

#include <random>

#include "script_fixture.h"

using namespace yv;

namespace {

int pick(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

std::string var(std::mt19937& rng) { return "@" + std::to_string(pick(rng, 1, 6)); }

std::string operand(std::mt19937& rng) { return pick(rng, 0, 1) ? var(rng) : std::to_string(pick(rng, -3, 9)); }

std::string strVar(std::mt19937& rng) { return std::string("@") + static_cast<char>('A' + pick(rng, 0, 2)); }

std::string condition(std::mt19937& rng) {
    static const char* cmp[] = {"<", ">", "==", "!=", "<=", ">="};
    std::string c = operand(rng) + " " + cmp[pick(rng, 0, 5)] + " " + operand(rng);
    if (pick(rng, 0, 2) == 0) c += (pick(rng, 0, 1) ? " && " : " || ") + var(rng) + " " + cmp[pick(rng, 0, 5)] + " 2";
    return c;
}

// One line of a loop-heavy script. Every label is followed by a wait, so that any loop yields
// and each step returns.
std::string statement(std::mt19937& rng, int labels, int subs) {
    static const char* ops[] = {"=", "+=", "-=", "*=", "/=", "%="};
    const std::string label = "\"L" + std::to_string(pick(rng, 0, labels - 1)) + "\"";
    switch (pick(rng, 0, 21)) {
        case 0:
        case 1:
        case 2: return var(rng) + " " + ops[pick(rng, 0, 5)] + " " + operand(rng) + ";";
        case 3: return var(rng) + " = " + operand(rng) + " * " + operand(rng) + " + " + operand(rng) + ";";
        case 4: return var(rng) + (pick(rng, 0, 1) ? "++;" : "--;");
        case 5: return "#if(" + condition(rng) + ")\n{\n" + var(rng) + " += 1;\n}";
        case 6: return "#if(" + condition(rng) + ")\n{\n#goto(" + label + ");\n}";
        case 7: return "#goto(" + label + ");";
        case 8: return "#goto(" + label + ", \";\");";
        case 9: return "#gosub(\"S" + std::to_string(pick(rng, 0, subs - 1)) + "\");";
        case 10: return "#return();";
        case 11: return "#wait(" + std::to_string(pick(rng, 0, 40)) + ");";
        case 12: return "// a comment #goto(\"L0\");\n";
        case 13: return var(rng) + " = #int(\"" + std::to_string(pick(rng, 0, 9)) + "\");";
        case 14: return "#if(" + condition(rng) + ")#return();";
        case 16: return strVar(rng) + " = \"s" + std::to_string(pick(rng, 0, 9)) + "\";";
        case 17: return strVar(rng) + (pick(rng, 0, 1) ? " += " : " = \"x\" + ") + strVar(rng) + ";";
        case 18: return strVar(rng) + " = #cstring(" + var(rng) + ");";
        case 19: return "#mouseclickwait(" + std::to_string(pick(rng, 1, 2)) + ");";
        // A mouse trap takes a click at the next pass that looks: one left over from a statement
        // whose pass should have forgotten it would fire it.
        case 20:
            return "#trapmouse(" + std::to_string(pick(rng, 1, 2)) + ", " + std::to_string(pick(rng, 0, 1)) + ", " +
                   label + ");";
        case 21: return "#trapmouseoff();";
        default: return "/* a note */ " + var(rng) + " += " + operand(rng) + "; #getstrlen(\"abc\");";
    }
}

std::string randomScript(std::mt19937& rng) {
    const int labels = pick(rng, 1, 4);
    const int subs = pick(rng, 1, 2);
    std::string s;
    int placed = 0;
    for (int line = 0; line < 24; ++line) {
        if (placed < labels && pick(rng, 0, 3) == 0) s += "|L" + std::to_string(placed++) + ":\n#wait(1);\n";
        s += statement(rng, labels, subs) + (pick(rng, 0, 4) ? "\n" : "  \n\n");
    }
    while (placed < labels) s += "|L" + std::to_string(placed++) + ":\n#wait(1);\n" + statement(rng, labels, subs) + "\n";
    s += "#end();\n";
    for (int k = 0; k < subs; ++k) {
        s += "|S" + std::to_string(k) + ":\n#wait(1);\n";
        for (int i = pick(rng, 1, 4); i > 0; --i) s += statement(rng, labels, subs) + "\n";
        s += "#return();\n";
    }
    return s;
}

// What a script author could observe of the interpreter after a step, and what the step keeps
// for the next: variables and results, the position and the stacks, the passes counted, the
// replay log, the clicks, the waits and the choices, and what is in progress.
void expectSameState(const Runtime& ra, const Runtime& rb) {
    const Interp& a = ra.interp;
    const Interp& b = rb.interp;
    EXPECT_EQ(a.ivar, b.ivar);
    EXPECT_EQ(a.svar, b.svar);
    EXPECT_EQ(a.result, b.result);
    EXPECT_EQ(a.strResult, b.strResult);
    EXPECT_EQ(a.pos, b.pos);
    EXPECT_EQ(a.stmtStart, b.stmtStart);
    EXPECT_EQ(a.scriptName, b.scriptName);
    EXPECT_EQ(a.text(), b.text());
    EXPECT_EQ(a.passCount, b.passCount);
    EXPECT_EQ(a.calls.depth, b.calls.depth);
    EXPECT_EQ(a.calls.pos, b.calls.pos);
    EXPECT_EQ(a.calls.extra, b.calls.extra);
    for (int i = 0; i < a.calls.depth && i < b.calls.depth && i < kStackSize; ++i)
        EXPECT_EQ(a.calls.file[static_cast<size_t>(i)], b.calls.file[static_cast<size_t>(i)]) << "call " << i;
    EXPECT_EQ(a.blocks.depth, b.blocks.depth);
    EXPECT_EQ(a.blocks.opened, b.blocks.opened);
    for (int i = 0; i < a.blocks.depth && i < b.blocks.depth && i < kStackSize; ++i)
        EXPECT_EQ(a.blocks.pos[static_cast<size_t>(i)], b.blocks.pos[static_cast<size_t>(i)]) << "block " << i;
    EXPECT_EQ(int32_t{a.wait.waitMs}, int32_t{b.wait.waitMs});
    EXPECT_EQ(a.wait.started, b.wait.started);
    EXPECT_EQ(a.wait.lastCheck, b.wait.lastCheck);
    EXPECT_EQ(a.halt.load(), b.halt.load());
    EXPECT_EQ(a.running.load(), b.running.load());
    EXPECT_EQ(a.leftClick.load(), b.leftClick.load());
    EXPECT_EQ(a.rightClick.load(), b.rightClick.load());
    EXPECT_EQ(a.clickWaitMode.load(), b.clickWaitMode.load());
    EXPECT_EQ(a.inlineCommandFlag, b.inlineCommandFlag);
    EXPECT_EQ(a.inProgress.bits(), b.inProgress.bits());
    EXPECT_EQ(ra.save.log.text, rb.save.log.text);
    EXPECT_EQ(bool{ra.choices.ready}, bool{rb.choices.ready});
    EXPECT_EQ(bool{ra.choices.collecting}, bool{rb.choices.collecting});
    EXPECT_EQ(int32_t{ra.choices.trapButton}, int32_t{rb.choices.trapButton});
}

}  // namespace

TEST(StepLane, RandomLoopsLeaveTheSameStateAsTheGeneralLoop) {
    std::mt19937 rng(20261208);
    for (int round = 0; round < 150; ++round) {
        const std::string script = randomScript(rng);
        SCOPED_TRACE(script);
        ScriptRun direct(script), general(script);
        general.rt.interp.directWays = false;
        // The replay log records every jump, call and return.
        direct.rt.save.log.logging = general.rt.save.log.logging = 1;
        // A click that comes while a step runs (here with some returns), as the window thread
        // makes them: the end of the statement's pass forgets it.
        for (ScriptRun* r : {&direct, &general})
            r->rt.interp.onReturn = [](Runtime& rt, int32_t) {
                if (rt.interp.ivar[1] % 3 == 0) rt.interp.leftClick = 1;
            };
        for (int stepNo = 0; stepNo < 60; ++stepNo) {
            const int ms = pick(rng, 0, 30);
            // A click now and then, as the window thread makes them between steps: a click wait
            // takes it, every other statement forgets it.
            const int click = pick(rng, 0, 5);
            for (ScriptRun* r : {&direct, &general}) {
                if (click == 0) r->rt.interp.leftClick = 1;
                if (click == 1) r->rt.interp.rightClick = 1;
            }
            direct.step(ms);
            general.step(ms);
            expectSameState(direct.rt, general.rt);
            if (::testing::Test::HasFailure()) return;
            if (!general.rt.interp.running) break;
        }
    }
}

TEST(StepLane, ANestedLoopCountsAsTheGeneralLoopCounts) {
    // Many rounds in one step (no wait inside): the fast forms run them all, and every pass is counted.
    const std::string script =
        "|outer:\n@1 += 1;\n@2 = 0;\n|inner:\n@2 += 1;\n@3 += @2;\n#if(@2 < 50)\n{\n#goto(\"inner\");\n}\n"
        "#gosub(\"sub\");\n#if(@1 < 40)\n{\n#goto(\"outer\");\n}\n#wait(5);\n@6 = 1;\n#end();\n|sub:\n@4 -= 1;\n#return();\n";
    ScriptRun direct(script), general(script);
    general.rt.interp.directWays = false;
    for (int i = 0; i < 4; ++i) {
        direct.step();
        general.step();
        expectSameState(direct.rt, general.rt);
    }
    EXPECT_EQ(direct.var(1), 40);
    EXPECT_EQ(direct.var(4), -40);
    EXPECT_EQ(direct.var(6), 1);
    EXPECT_EQ(direct.var(3), 40 * (50 * 51 / 2));
}

TEST(StepLane, AReturnThatSetsSomethingGoingHandsBackAtOnce) {
    // A return whose callback resumes something (as a message resumes after its inline
    // subroutine) must let the step look at it before the next statement, as the general loop
    // does. Here the callback starts a wait on every second return.
    const std::string script = "|top:\n#gosub(\"sub\");\n@1 += 1;\n#goto(\"top\");\n|sub:\n@2 += 1;\n#return();\n";
    auto resumes = [](Runtime& rt, int32_t) {
        if (rt.interp.ivar[2] > 1000) rt.interp.halt = 1;  // a loop that ran past the wait stops here
        if (rt.interp.ivar[2] % 2 != 0) return;
        rt.interp.wait.reset();
        rt.interp.wait.waitMs = 1;
    };
    ScriptRun direct(script), general(script);
    general.rt.interp.directWays = false;
    for (ScriptRun* s : {&direct, &general}) s->rt.interp.onReturn = resumes;
    for (int i = 0; i < 20; ++i) {
        direct.step(2);
        general.step(2);
        expectSameState(direct.rt, general.rt);
    }
    EXPECT_GT(direct.var(1), 10);
}
