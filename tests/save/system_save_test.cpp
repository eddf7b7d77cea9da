// system.dat: written from variables 901..2000, read back, replaced safely.
#include <gtest/gtest.h>

#include "../script/script_fixture.h"
#include "save/save_state.h"

using namespace yv;

TEST(SystemSave, WritesOnlyVariables901To2000ThatAreSet) {
    ScriptRun s;
    s.rt.interp.ivar[900] = 1;
    s.rt.interp.ivar[901] = -5;
    s.rt.interp.ivar[2000] = 7;
    s.rt.interp.ivar[2001] = 9;
    ASSERT_TRUE(save::writeSystemSave(s.rt));
    EXPECT_EQ(readSystemDat(s.dir.path() / "system.dat"),
              (std::vector<std::pair<int, int>>{{901, -5}, {2000, 7}}));
    // Scrambled on disk.
    EXPECT_EQ(s.dir.read("system.dat").find("@201"), std::string::npos);

    ScriptRun t;
    t.dir.write("system.dat", s.dir.read("system.dat"));
    t.rt.interp.ivar[1500] = 3;
    save::readSystemSave(t.rt);
    EXPECT_EQ(t.var(901), -5);
    EXPECT_EQ(t.var(2000), 7);
    EXPECT_EQ(t.var(1500), 3);  // not in the file: keeps its value
}

TEST(SystemSave, NothingSetLeavesNoFile) {
    ScriptRun s;
    s.dir.write("system.dat", "old");
    ASSERT_TRUE(save::writeSystemSave(s.rt));
    EXPECT_FALSE(s.dir.exists("system.dat"));
}

TEST(SystemSave, FailedWriteKeepsTheOldFileAndSaysSo) {
    ScriptRun s;
    s.rt.interp.ivar[950] = 1;
    ASSERT_TRUE(save::writeSystemSave(s.rt));
    const std::string before = s.dir.read("system.dat");
    // The disk fills up while the new file is written.
    struct Full : atomic_file::FileOps {
        int fsync(int) override {
            errno = ENOSPC;
            return -1;
        }
    } full;
    s.rt.save.fileOps = &full;
    s.rt.interp.ivar[950] = 2;
    EXPECT_FALSE(save::writeSystemSave(s.rt));
    EXPECT_EQ(s.dir.read("system.dat"), before);
    ASSERT_EQ(s.dialogs().size(), 1u);
    EXPECT_NE(s.dialogs()[0].find("セーブ生成に失敗しました"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(s.dir.path()), {}), 2);  // script, system.dat
}

TEST(SystemSave, DamagedFilesAreReadAsFarAsTheyMakeSense) {
    auto scramble = [](std::string t) {
        for (char& c : t) c = static_cast<char>(c ^ kSystemSaveKey);
        return t;
    };
    ScriptRun s;
    s.dir.write("system.dat", scramble("@201,905,12,@201,99999,1,@7,x,@201,906,3,"));
    save::readSystemSave(s.rt);
    EXPECT_EQ(s.var(905), 12);
    EXPECT_EQ(s.var(906), 0);  // an unknown id ends the reading
    s.dir.write("system.dat", scramble("@201,907"));
    save::readSystemSave(s.rt);
    EXPECT_EQ(s.var(907), 0);
}

TEST(SystemSave, CommandsAndTemporarySaveSwitches) {
    ScriptRun s("@950 = 42;\n#systemsave();\n@950 = 0;\n#systemload();\n@1 = #clrsavetmp();\n");
    s.rt.interp.result = 0;
    s.runToEnd();
    EXPECT_EQ(s.var(950), 42);
    EXPECT_EQ(s.var(1), 1);  // clrsavetmp keeps the result of systemload
}
