// The slots: menu captions and greying, the overwrite question, the slot messages, the load
// dialog of startload, the menu-greying commands, where saves live, thumbnails, and faults at
// every file call of a slot save and of system.dat.
#include <gtest/gtest.h>

#include "script/command_table.h"

#include <sys/wait.h>

#include <fstream>

#include "../app/shell_fixture.h"
#include "../graphics/gfx_util.h"
#include "ui/menus.h"
#include "faulty_ops.h"
#include "save/commands.h"
#include "save/replay.h"
#include "save/save_folder.h"
#include "save/slots.h"
#include "save_fixture.h"

using namespace yv;
using namespace yv::test;
namespace fs = std::filesystem;

namespace {

std::string labelOf(const MenuItem& m) { return cp932ToUtf8(m.label); }

std::string fileText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(Slots, MenusShowCaptionsGreyMissingLoadsAndCarryPictures) {
    ShellGame g("[WindowScreen]\r\nPOPMENU=1\r\n");
    ASSERT_TRUE(g.started);
    save::saveToSlot(g.rt(), 3);
    g.shell->onMenuOpening(false);
    g.shell->onMenuOpening(true);
    for (MenuWhich w : {MenuWhich::Bar, MenuWhich::Popup}) {
        auto top = g.menus().snapshot(w);
        const auto& file = w == MenuWhich::Bar ? top[0].sub : top;
        const auto& saves = file[0].sub;
        const auto& loads = file[1].sub;
        EXPECT_EQ(labelOf(loads[7]), " 7:  ----/--/-- --:--:--");
        EXPECT_TRUE(loads[7].greyed);
        EXPECT_FALSE(loads[3].greyed);
        EXPECT_EQ(labelOf(loads[3]).substr(0, 5), " 3:  ");
        EXPECT_EQ(labelOf(loads[3]).substr(5), cp932ToUtf8(slotTimeText((g.dir.path() / "flag3.sav").string())));
        EXPECT_NE(labelOf(loads[3]).find("/"), std::string::npos);
        EXPECT_EQ(labelOf(saves[3]), labelOf(loads[3]));
        // Every save entry can be picked once the menu is open, slot 0 too.
        EXPECT_FALSE(saves[0].greyed);
        ASSERT_TRUE(loads[3].thumbnail && saves[3].thumbnail);
        EXPECT_EQ(loads[3].thumbnail->width, 160);
        EXPECT_EQ(loads[7].thumbnail, nullptr);
    }
}

TEST(Slots, OverwriteQuestionAndMessages) {
    ShellGame g("");
    ASSERT_TRUE(g.started);
    Runtime& rt = g.rt();
    rt.interp.ivar[5] = 1;
    save::saveToSlot(rt, 4);
    const std::string first = g.dir.read("flag4.sav");
    rt.interp.ivar[5] = 2;
    g.platform.setAnswers({"cancel"});
    save::saveToSlot(rt, 4);
    EXPECT_EQ(g.dir.read("flag4.sav"), first);
    g.platform.setAnswers({"ok"});
    save::saveToSlot(rt, 4);
    EXPECT_NE(g.dir.read("flag4.sav"), first);
    auto log = g.platform.dialogLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "確認: セーブファイルが存在します。\\n上書きしてよろしいですか?");

    save::loadFromSlot(rt, 9);
    EXPECT_EQ(g.platform.dialogLog().back(), "Yorvane: ファイルが見つかりませんでした");
    // A file that cannot be read as a save (here: far too large) fails the load.
    {
        std::ofstream big(g.dir.path() / "flag8.sav");
    }
    fs::resize_file(g.dir.path() / "flag8.sav", uint64_t{600} << 20);
    save::loadFromSlot(rt, 8);
    log = g.platform.dialogLog();
    EXPECT_NE(log[log.size() - 2].find("ファイルのロードに失敗しました"), std::string::npos);
    EXPECT_EQ(log.back(), "Yorvane: ロードに失敗しました\\nファイルが壊れている可能性があります");
    save::loadFromSlot(rt, 4);
    EXPECT_EQ(rt.interp.ivar[5], 2);
    EXPECT_EQ(g.platform.dialogLog().back(), "Yorvane: Loadに成功しました。\\n");
}

TEST(Slots, StartloadOffersTheSlotsAndRequestsTheLoad) {
    SaveGame g("@1 = 5;\n#startload();\n#wait(10);\n@2 = 1;\n@900 = 1;\n");
    g.rt.interp.ivar[1] = 7;
    g.rt.interp.ivar[3] = 33;
    ASSERT_TRUE(save::saveGame(g.rt, save::slotPath(g.rt, 2), "flag2.sav"));
    g.rt.interp.ivar[1] = 0;
    g.rt.interp.ivar[3] = 0;
    // Slot 9 cannot be chosen (no file): the dialog keeps "はじめから" and nothing is loaded.
    g.platform.setAnswers({"9", "2"});
    ASSERT_TRUE(g.runUntil(900, 1));
    EXPECT_EQ(g.var(3), 0);
    auto log = g.dialogs();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("ろーど: はじめから\\n 2:  ", 0), 0u) << log[0];
    // Asked again: slot 2 is loaded at the end of the step, and the game goes on from the saved
    // statement.
    g.rt.interp.pos = 0;
    g.rt.interp.ivar[900] = 0;
    g.rt.interp.running = 1;
    g.rt.interp.halt = 0;
    g.step();
    EXPECT_EQ(g.var(3), 33);
    EXPECT_EQ(g.var(1), 7);
    EXPECT_FALSE(g.rt.save.loadRequested);
    EXPECT_EQ(g.dialogs().back(), "Test: Loadに成功しました。\\n");
}

TEST(Slots, CommandsGreyTheMenuEntriesByPosition) {
    ShellGame g("[WindowScreen]\r\nPOPMENU=1\r\n");
    Runtime& rt = g.rt();
    auto greyed = [&](MenuWhich w, int pos) {
        auto top = g.menus().snapshot(w);
        const auto& file = w == MenuWhich::Bar ? top[0].sub : top;
        return file[static_cast<size_t>(pos)].greyed;
    };
    EXPECT_EQ(callCommand(rt, "stopsave", "();"), 1);
    EXPECT_EQ(callCommand(rt, "stopload", "();"), 1);
    EXPECT_EQ(callCommand(rt, "stoplog", "();"), 1);
    for (MenuWhich w : {MenuWhich::Bar, MenuWhich::Popup})
        for (int p = 0; p < 3; ++p) EXPECT_TRUE(greyed(w, p));
    EXPECT_FALSE(g.menus().pickable(MenuWhich::Bar, saveSlotId(1)));
    EXPECT_EQ(callCommand(rt, "resumesave", "();"), 1);
    EXPECT_EQ(callCommand(rt, "resumelog", "();"), 1);
    EXPECT_FALSE(greyed(MenuWhich::Bar, 0));
    EXPECT_TRUE(greyed(MenuWhich::Popup, 1));
    EXPECT_FALSE(greyed(MenuWhich::Popup, 2));
    // A load enables both again.
    save::saveToSlot(rt, 1);
    save::loadFromSlot(rt, 1);
    EXPECT_FALSE(greyed(MenuWhich::Popup, 1));

    ShellGame none("[WindowScreen]\r\nMENU=0\r\n");
    EXPECT_EQ(callCommand(none.rt(), "stopsave", "();"), 0);
    EXPECT_EQ(callCommand(none.rt(), "resumelog", "();"), 0);
}

TEST(Slots, AReadOnlyGameFolderKeepsSavesInTheUserDataFolder) {
    SaveGame g;
    TempDir data;
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    testing::internal::CaptureStderr();
    save::chooseSaveFolder(g.rt, false);
    const std::string err = testing::internal::GetCapturedStderr();
    const fs::path folder = g.rt.save.folder;
    EXPECT_EQ(folder.parent_path(), data.path() / "yorvane");
    EXPECT_EQ(folder.filename().string().rfind(g.dir.path().filename().string() + "-", 0), 0u);
    EXPECT_NE(err.find(folder.string()), std::string::npos);
    EXPECT_EQ(save::userSaveFolder(g.dir.path()), folder);  // the same place every run

    g.rt.interp.ivar[950] = 4;
    save::saveToSlot(g.rt, 6);
    ASSERT_TRUE(save::writeSystemSave(g.rt));
    EXPECT_TRUE(fs::exists(folder / "flag6.sav"));
    EXPECT_TRUE(fs::exists(folder / "system.dat"));
    EXPECT_FALSE(g.dir.exists("flag6.sav"));
    EXPECT_EQ(save::slotCaption(g.rt, 6).substr(0, 7), " 6:  20");
    g.rt.interp.ivar[950] = 0;
    save::readSystemSave(g.rt);
    EXPECT_EQ(g.var(950), 4);
    // A script's save names stay in that folder: "../" would reach other games' saves.
    testing::internal::CaptureStderr();
    EXPECT_EQ(save::runCommandText(g.rt, "save", "( \"../other.sav\" );"), 0);
    EXPECT_EQ(save::runCommandText(g.rt, "save", "( \"mine.sav\" );"), 1);
    const std::string refused = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(fs::exists(folder.parent_path() / "other.sav"));
    EXPECT_TRUE(fs::exists(folder / "mine.sav"));
    EXPECT_NE(refused.find("save: not saved: ../other.sav (\"..\" leads above the save folder)"), std::string::npos)
        << refused;
    // Stale temporaries of a crashed run are removed at the next start.
    std::ofstream(folder / ".flag6.sav.yvtmp-zzzzzz") << "half";
    save::chooseSaveFolder(g.rt, false);
    EXPECT_FALSE(fs::exists(folder / ".flag6.sav.yvtmp-zzzzzz"));
    setenv("XDG_DATA_HOME", YV_TEST_DATA_DIR, 1);
}

TEST(Slots, ThumbnailsComeFromThePictureAndAreKeptWhileTheFileIsUnchanged) {
    SaveGame g("", 64, 48);
    auto& back = g.rt.screens.table[1];
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) set(back, x, y, y < 24 ? Bgr{10, 20, 30} : Bgr{200, 100, 50});
    const fs::path file = save::slotPath(g.rt, 0);
    ASSERT_TRUE(save::saveGame(g.rt, file, "flag0.sav"));
    ThumbnailCache& cache = g.rt.save.thumbnails;
    const int before = cache.decodes();
    auto t = cache.get(file, 64, 48, 16);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->width, 16);
    EXPECT_EQ(t->height, 12);
    const uint8_t* top = t->rgb.data();
    const uint8_t* bottom = t->rgb.data() + (11 * 16) * 3;
    EXPECT_EQ((std::vector<int>{top[0], top[1], top[2]}), (std::vector<int>{30, 20, 10}));
    EXPECT_EQ((std::vector<int>{bottom[0], bottom[1], bottom[2]}), (std::vector<int>{50, 100, 200}));
    EXPECT_EQ(cache.get(file, 64, 48, 16), t);
    EXPECT_EQ(cache.decodes(), before + 1);
    // A new save is a new picture.
    for (auto& b : back.pixels) b = 0;
    ASSERT_TRUE(save::saveGame(g.rt, file, "flag0.sav"));
    auto u = cache.get(file, 64, 48, 16);
    EXPECT_NE(u, t);
    EXPECT_EQ(u->rgb[0], 0);
    EXPECT_EQ(cache.get(save::slotPath(g.rt, 1), 64, 48), nullptr);
}

TEST(Slots, AFaultAtAnyFileCallLeavesTheOldSaveOrTheNewOneWhole) {
    SaveGame g("", 16, 8);
    g.rt.interp.ivar[950] = 1;
    ASSERT_TRUE(save::saveGame(g.rt, save::slotPath(g.rt, 1), "flag1.sav"));
    ASSERT_TRUE(save::writeSystemSave(g.rt));
    const std::string oldSave = fileText(save::slotPath(g.rt, 1));
    const std::string oldSystem = g.dir.read("system.dat");
    g.rt.interp.ivar[950] = 2;
    g.rt.interp.ivar[7] = 7;
    const std::string newSave = save::buildSaveFile(g.rt);
    FaultyOps count;
    g.rt.save.fileOps = &count;
    ASSERT_TRUE(save::saveGame(g.rt, g.dir.path() / "probe.sav", "probe.sav"));
    const int calls = count.calls;

    for (bool crash : {false, true}) {
        for (int at = 0; at <= calls; ++at) {
            auto attempt = [&] {
                FaultyOps ops;
                ops.failAt = at;
                ops.crash = crash;
                g.rt.save.fileOps = &ops;
                save::saveGame(g.rt, save::slotPath(g.rt, 1), "flag1.sav");
                save::writeSystemSave(g.rt);
                g.rt.save.fileOps = &atomic_file::systemOps();
            };
            if (crash) {
                const pid_t child = fork();
                ASSERT_GE(child, 0);
                if (child == 0) {
                    attempt();
                    _exit(0);
                }
                int status = 0;
                waitpid(child, &status, 0);
            } else {
                attempt();
            }
            const std::string s = fileText(save::slotPath(g.rt, 1));
            const std::string d = g.dir.read("system.dat");
            EXPECT_TRUE(s == oldSave || s == newSave) << (crash ? "crash" : "failure") << " at call " << at;
            EXPECT_FALSE(d.empty()) << "at call " << at;
            EXPECT_TRUE(d == oldSystem || readSystemDat(g.dir.path() / "system.dat") ==
                                              (std::vector<std::pair<int, int>>{{950, 2}}))
                << "at call " << at;
            // Back to the old files for the next round.
            std::ofstream(save::slotPath(g.rt, 1), std::ios::binary) << oldSave;
            std::ofstream(g.dir.path() / "system.dat", std::ios::binary) << oldSystem;
            atomic_file::removeStaleTemporaries(g.dir.path());
        }
    }
}
