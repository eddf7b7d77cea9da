// The dispatcher: each command's argument text is evaluated once, into exactly the lists its row
// names, and commands run by name as statements run them.
#include <gtest/gtest.h>

#include "script/command_table.h"
#include "script_fixture.h"

using namespace yv;

namespace {

// A row whose handler is not built (every command of the table has one by now).
const CommandRow kUnbuilt{"unbuilt", kStrings, kStored, nullptr, "a command not built yet"};

}  // namespace

TEST(Dispatch, OnlyCommandsThatTakeStringsRunTheStringScanner) {
    ScriptRun s;
    Interp& in = s.rt.interp;
    const char* opensInline = "(\"\\#gosub(\", 5);";
    callCommand(s.rt, "wait", opensInline);      // integers only
    callCommand(s.rt, kUnbuilt, opensInline);  // not built: nothing is evaluated
    EXPECT_FALSE(in.inlineCommandFlag);
    callCommand(s.rt, "int", opensInline);
    EXPECT_TRUE(in.inlineCommandFlag);
    // While the flag is up a quote closes a literal only before ';': this one ran on.
    EXPECT_EQ(in.strResult, "\\#gosub(\", 5);");
    callCommand(s.rt, "loop", "(\"1\";");
    EXPECT_TRUE(in.inlineCommandFlag);
    EXPECT_EQ(callCommand(s.rt, "int", "(\"17\";"), 17);
    EXPECT_FALSE(in.inlineCommandFlag);
    EXPECT_EQ(in.strResult, "17");
}

TEST(Dispatch, OnlyCommandsThatTakeConditionsShowTheirComparisonBoxes) {
    ScriptRun s("#end();\n");
    callCommand(s.rt, "loop", "(5 < 3);");
    callCommand(s.rt, "messagebox", "(\"\", \"\", 5 > 3);");  // strings and integers
    const size_t shown = s.dialogs().size();
    EXPECT_EQ(shown, 1u);  // only the message box itself
    callCommand(s.rt, "if", "(5 < 3);");
    ASSERT_EQ(s.dialogs().size(), shown + 1);
    EXPECT_NE(s.dialogs().back().find("<"), std::string::npos);
}

TEST(Dispatch, ByNameAsAStatementWithTheResultPolicy) {
    ScriptRun s;
    Interp& in = s.rt.interp;
    in.result = 42;
    EXPECT_EQ(callCommand(s.rt, "nosuch", "(1);"), 1);
    EXPECT_EQ(callCommand(s.rt, kUnbuilt, "();"), 1);  // not built: the result stays
    EXPECT_EQ(in.result, 42);
    EXPECT_EQ(callCommand(s.rt, "GetStrLen", "(\"abc\");"), 3);
    EXPECT_EQ(in.result, 3);
    EXPECT_EQ(callCommand(s.rt, "clr", "(5, 4);"), 1);  // kept
    EXPECT_EQ(in.result, 3);
    // "()" leaves the integer list one 0 item: the commands that tell it from a written 0 are
    // given the number of arguments written, or whether the parentheses hold nothing.
    callCommand(s.rt, "settextspeed", "(7);");
    callCommand(s.rt, "settextspeed", "( );");
    EXPECT_EQ(s.rt.text.defaultSpeed, 7);
    callCommand(s.rt, "createimage", "(2, 8, 8);");
    callCommand(s.rt, "releaseimage", "( );");
    EXPECT_FALSE(s.rt.screens.table[2].exists());
}
