// The skip entry after loads: a load that lands outside the choices leaves it enabled on the
// menu bar as on the pop-up menu, whatever the load before it brought back.
#include <gtest/gtest.h>

#include "app/shell.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "test_util.h"
#include "ui/menus.h"

using namespace yv;
using namespace yv::ui::menuid;

namespace {

// Two choices; the first leads to a long script wait, where the second save is made.
const char* kScript =
    "#createtextf(1, 2);\n#loadtextf(\"t.txt\");\n#locatef(0, 20, 150);\n#settextspeedf(0, -1);\n"
    "#select();\n{\n#printtextf(0, 1, \"c1\");\n#printtextf(0, 2, \"c2\");\n}\n#end();\n"
    "|c1:\n@20 = 1;\n#wait(100000);\n#end();\n"
    "|c2:\n#end();\n";

struct Greyed {
    bool bar = false, popup = false, barPickable = false;
};

}  // namespace

TEST(LoadLock, TheBarsSkipEntryFollowsTheLoadedGameAsThePopupsDoes) {
    TempDir dir;
    dir.write("start.ini", sjis("[WindowSize]\r\nRight=320\r\nBottom=240\r\n"));
    dir.write("t.txt", sjis("\"はじまりへ\";\r\n\"おわりへ\";\r\n"));
    dir.write("script.txt", sjis(kScript));
    HeadlessPlatform platform;
    Options o;
    o.gameDir = dir.path();
    Shell shell(platform, o);
    Runtime& rt = shell.runtime();
    ManualClock& clock = platform.manualClock();
    auto look = [&rt] {
        Greyed g;
        g.bar = rt.app.menus.find(MenuWhich::Bar, kBarSkip)->greyed;
        g.popup = rt.app.menus.find(MenuWhich::Popup, kPopSkip)->greyed;
        g.barPickable = rt.app.menus.pickable(MenuWhich::Bar, kBarSkip);
        return g;
    };
    Greyed atChoices, afterChoice, afterLoadA, afterLoadB;
    bool savedA = false, savedB = false;
    clock.schedule(1000, [&] {
        atChoices = look();
        savedA = shell.pickMenuEntry(saveSlotId(0));  // choices on offer
    });
    platform.scheduleClick(2000, 60, 162, 1);  // the first choice
    clock.schedule(3000, [&] {
        afterChoice = look();
        savedB = shell.pickMenuEntry(saveSlotId(1));  // in the script's wait
    });
    clock.schedule(4000, [&] { shell.pickMenuEntry(loadSlotId(0)); });
    clock.schedule(5000, [&] {
        afterLoadA = look();
        shell.pickMenuEntry(loadSlotId(1));
    });
    clock.schedule(6000, [&] {
        afterLoadB = look();
        shell.forceClose(false);
    });
    std::string why;
    ASSERT_TRUE(shell.start(why)) << why;
    EXPECT_EQ(shell.run(), 0);
    ASSERT_TRUE(savedA && savedB);
    EXPECT_EQ(rt.interp.ivar[20], 1);
    EXPECT_TRUE(atChoices.bar);
    EXPECT_FALSE(afterChoice.bar);
    EXPECT_FALSE(afterChoice.popup);
    EXPECT_TRUE(afterLoadA.bar);  // the choices again
    EXPECT_FALSE(afterLoadB.bar);
    EXPECT_FALSE(afterLoadB.popup);
    EXPECT_TRUE(afterLoadB.barPickable);
}
