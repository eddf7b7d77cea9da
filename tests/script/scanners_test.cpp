// The argument scanners: integer, string, name and condition lists.
#include <gtest/gtest.h>

#include "lang/scanners.h"
#include "script_fixture.h"

using namespace yv;

namespace {

std::vector<int32_t> ints(ScriptRun& s, const std::string& arg) {
    IntList l = scanIntList(s.rt.interp, arg);
    return l.items();
}

std::vector<int32_t> conds(ScriptRun& s, const std::string& arg) {
    IntList l = scanConditionList(s.rt.interp, s.rt, arg);
    return l.items();
}

std::vector<std::string> strs(ScriptRun& s, const std::string& arg) {
    return scanStringList(s.rt.interp, sjis(arg)).all();
}

using V = std::vector<int32_t>;
using S = std::vector<std::string>;

}  // namespace

TEST(IntList, EverySeparatorGivesAnItem) {
    ScriptRun s;
    s.rt.interp.ivar[3] = 77;
    EXPECT_EQ(ints(s, "(1, -2, @3, true);"), (V{1, -2, 77, 1}));
    EXPECT_EQ(ints(s, "(1,,2);"), (V{1, 0, 2}));
    EXPECT_EQ(ints(s, "();"), (V{0}));
    EXPECT_EQ(ints(s, "(3-2);"), (V{-32}));
    EXPECT_EQ(ints(s, "(1+2);"), (V{1, 2}));
    EXPECT_EQ(ints(s, "(MB_OKCANCEL, mb_ok, none, IdRetry);"), (V{2, 1, -1, 5}));
}

TEST(IntList, ColourAndStringsLeaveTheirMarks) {
    ScriptRun s;
    EXPECT_EQ(ints(s, "(rgb(255,0,0), 5);"), (V{kColourMarker, 255, 0, 0, 0, 5}));
    EXPECT_EQ(ints(s, "(\"a\", 7);"), (V{7}));
    EXPECT_EQ(ints(s, "(7, \"a\");"), (V{7, 0}));
    // A string variable produces nothing and takes the byte after it along.
    EXPECT_EQ(ints(s, "(@A,5);"), (V{5}));
}

TEST(IntList, IsBoundedAndSafeOnOddInput) {
    ScriptRun s;
    std::string many = "(";
    for (int i = 0; i < 3000; ++i) many += "1,";
    many += "2);";
    IntList l = scanIntList(s.rt.interp, many);
    EXPECT_EQ(l.n, 1024);
    EXPECT_EQ(l[many.size()], kEndMarker);
    EXPECT_EQ(ints(s, "(@99999, 99999999999);"), (V{0, 2147483647}));
    EXPECT_EQ(ints(s, "(\"unterminated"), V{});
}

TEST(StringList, SlotsLiteralsAndVariables) {
    ScriptRun s;
    s.rt.interp.svar['B' - 'A'] = "xy";
    EXPECT_EQ(strs(s, "(\"a\", 7);"), (S{"a", ";"}));
    EXPECT_EQ(strs(s, "(1, 2);"), (S{";"}));
    EXPECT_EQ(strs(s, "(\"p\", @B, \"q\");"), (S{"p", "xy", "q", ";"}));
    // No escape processing in literals.
    EXPECT_EQ(strs(s, "(\"a\\nb\");"), (S{"a\\nb", ";"}));
}

TEST(StringList, EmbedsVariablesWithDoubleBackslashAt) {
    ScriptRun s;
    s.rt.interp.ivar[3] = -25;
    s.rt.interp.svar['C' - 'A'] = "name";
    auto got = strs(s, "(\"[\\\\@3][\\\\@C]\");");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(cp932ToUtf8(got[0]), "[２５][name]");
}

TEST(StringList, InlineCommandKeepsQuotesUntilQuoteSemicolon) {
    ScriptRun s;
    auto got = strs(s, "(\"a\\#gosub(\"sub\")b\";");
    ASSERT_GE(got.size(), 1u);
    EXPECT_EQ(got[0], "a\\#gosub(\"sub\")b");
    EXPECT_FALSE(s.rt.interp.inlineCommandFlag);
}

TEST(NameList, VariablesGiveTheirNames) {
    auto l = scanNameList("(@A, @z, \"t\");");
    EXPECT_EQ(l.all(), (S{"A", "z", "t", ";"}));
}

TEST(ConditionList, ComparisonsAndConnectives) {
    ScriptRun s;
    s.rt.interp.ivar[1] = 5;
    s.rt.interp.ivar[2] = 6;
    EXPECT_EQ(conds(s, "(@1==5);"), (V{5, kCmpEq, 5}));
    EXPECT_EQ(conds(s, "(5==@1);"), (V{5, kCmpEq, 5}));
    EXPECT_EQ(conds(s, "(@1 >= 5 && @2 != 7);"), (V{5, kCmpGe, 5, kAnd, 6, kCmpNe, 7}));
    EXPECT_EQ(conds(s, "(@1<=4 || @2>1);"), (V{5, kCmpLe, 4, kOr, 6, kCmpGt, 1}));
    EXPECT_TRUE(s.dialogs().empty());
}

TEST(ConditionList, NumberBeforeLessThanShowsAMessage) {
    ScriptRun s;
    s.rt.interp.ivar[1] = 9;
    EXPECT_EQ(conds(s, "(5<@1);"), (V{5, kCmpLt, 9}));
    ASSERT_EQ(s.dialogs().size(), 1u);
    EXPECT_NE(s.dialogs()[0].find(": <"), std::string::npos);
}

// The scanners keep short texts on the stack and long ones on the heap; both must read alike.
TEST(Scanners, LongArgumentTextsReadAsShortOnes) {
    ScriptRun s;
    s.rt.interp.ivar[7] = 40;
    const std::string blanks(600, ' ');
    const std::string longLiteral = "\"" + std::string(700, 'x') + "\"";
    EXPECT_EQ(ints(s, "(1," + blanks + "@7," + longLiteral + ", 3-2);"), ints(s, "(1,@7,\"x\",3-2);"));
    EXPECT_EQ(conds(s, "(@7" + blanks + "== 40 &&" + longLiteral + " 2 > 1);"), conds(s, "(@7==40&&\"y\"2>1);"));

    ScriptRun a("@1 = @7 " + blanks + "+ 2;\n@2 = true" + blanks + ";\n");
    a.rt.interp.ivar[7] = 40;
    a.runToEnd();
    EXPECT_EQ(a.var(1), 42);
    EXPECT_EQ(a.var(2), 1);
}

// Past the slots kept inside the list the strings go on in the overflow; a list filled again
// keeps nothing of its earlier, longer contents.
TEST(StringList, ManyStringsAndRefillsKeepTheirSlots) {
    ScriptRun s;
    EXPECT_EQ(strs(s, "(\"a\",\"b\",\"c\",\"d\",\"e\",\"f\");"), (S{"a", "b", "c", "d", "e", "f", ";"}));
    StringList l;
    scanStringList(s.rt.interp, "(\"a\",\"b\",\"c\",\"d\",\"e\",\"f\");", l);
    scanStringList(s.rt.interp, "(\"z\");", l);
    EXPECT_EQ(l.all(), (S{"z", ";"}));
    EXPECT_EQ(l[4], "");
    EXPECT_FALSE(l.given(5));
    IntList i;
    scanIntList(s.rt.interp, "(1,2,3);", i);
    scanIntList(s.rt.interp, "(9);", i);
    EXPECT_EQ(i.n, 1);
    EXPECT_EQ(i[1], kEndMarker);
}
