// F12: the picture the window shows goes to <pictures>/Yorvane/<game>-<time>.png, found as
// xdg-user-dirs says, never over an earlier file, and the title says where for three seconds.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/screenshot.h"
#include "app/shell.h"
#include "core/atomic_file.h"
#include "core/os.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// Sets environment variables for one test and puts the old values back.
class Env {
public:
    void set(const char* name, const std::string& value) {
        remember(name);
        setenv(name, value.c_str(), 1);
    }
    void unset(const char* name) {
        remember(name);
        unsetenv(name);
    }
    ~Env() {
        for (auto& [name, value] : saved_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }

private:
    void remember(const char* name) {
        const char* v = std::getenv(name);
        saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

std::vector<std::string> names(const fs::path& dir) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

TEST(Screenshot, PicturesFolderFollowsXdgUserDirs) {
    TempDir home;
    Env env;
    env.set("HOME", home.path().string());
    env.set("XDG_CONFIG_HOME", (home.path() / "cfg").string());
    env.set("XDG_PICTURES_DIR", (home.path() / "shots/").string());
    EXPECT_EQ(os::userPicturesFolder(), (home.path() / "shots").string());
    env.unset("XDG_PICTURES_DIR");
    EXPECT_EQ(os::userPicturesFolder(), (home.path() / "Pictures").string());
    home.write("cfg/user-dirs.dirs", "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                                     "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    EXPECT_EQ(os::userPicturesFolder(), (home.path() / "Bilder").string());
    EXPECT_EQ(os::userDocumentsFolder(), (home.path() / "Dokumente").string());
    home.write("cfg/user-dirs.dirs", "XDG_PICTURES_DIR=\"/srv/pics\"\n");
    EXPECT_EQ(os::userPicturesFolder(), "/srv/pics");
    // A relative value is not one xdg-user-dirs writes: ignored.
    home.write("cfg/user-dirs.dirs", "XDG_PICTURES_DIR=\"pics\"\n");
    EXPECT_EQ(os::userPicturesFolder(), (home.path() / "Pictures").string());
}

TEST(Screenshot, GameNamesBecomeSafeFileNames) {
    EXPECT_EQ(app::fileSafeName("My Game"), "My Game");
    EXPECT_EQ(app::fileSafeName("a/b\\c:d*e?f\"g<h>i|j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(app::fileSafeName(std::string("tab\there\x01", 9)), "tab_here_");
    EXPECT_EQ(app::fileSafeName("..hidden. "), "hidden");
    EXPECT_EQ(app::fileSafeName(""), "game");
    EXPECT_EQ(app::fileSafeName("..."), "game");
    EXPECT_EQ(app::fileSafeName("夜の街"), "夜の街");
    // A folder named in raw Shift-JIS bytes is shown as its characters.
    EXPECT_EQ(app::fileSafeName(utf8ToCp932("夜の街")), "夜の街");
    // Long names are cut whole characters at a time.
    const std::string longName = app::fileSafeName(std::string(60, 'x') + "あいうえおかきく");
    EXPECT_EQ(longName, std::string(60, 'x') + "あいうえおか");  // 60 + 6 x 3 = 78 bytes
    EXPECT_EQ(app::shotStem("g", os::LocalTime{2024, 3, 9, 7, 5, 1}), "g-20240309-070501");
}

TEST(Screenshot, NewShotsNeverReplaceAnEarlierFile) {
    TempDir d;
    const fs::path folder = d.path() / "deep" / "Yorvane";
    std::string error;
    const auto first = app::writeNewShot(folder, "g-20240309-070501", "one", error);
    ASSERT_TRUE(first) << error;
    const auto second = app::writeNewShot(folder, "g-20240309-070501", "two", error);
    const auto third = app::writeNewShot(folder, "g-20240309-070501", "three", error);
    ASSERT_TRUE(second && third) << error;
    EXPECT_EQ(names(folder), (std::vector<std::string>{"g-20240309-070501-2.png", "g-20240309-070501-3.png",
                                                       "g-20240309-070501.png"}));
    EXPECT_EQ(d.read("deep/Yorvane/g-20240309-070501.png"), "one");
    EXPECT_EQ(d.read("deep/Yorvane/g-20240309-070501-3.png"), "three");

    // A folder that cannot be made says so.
    d.write("file", "x");
    EXPECT_FALSE(app::writeNewShot(d.path() / "file" / "Yorvane", "g", "png", error));
    EXPECT_NE(error.find("cannot make the folder"), std::string::npos) << error;
}

TEST(Screenshot, AtomicCreateRefusesAnExistingNameAndLeavesNoTemporary) {
    TempDir d;
    std::string error;
    EXPECT_EQ(atomic_file::create(d.path() / "a", "new", error), atomic_file::Created::Yes);
    EXPECT_EQ(atomic_file::create(d.path() / "a", "newer", error), atomic_file::Created::Exists);
    EXPECT_EQ(d.read("a"), "new");
    // A link or another kind of entry under the name is not replaced either.
    fs::create_symlink(d.path() / "nowhere", d.path() / "link");
    EXPECT_EQ(atomic_file::create(d.path() / "link", "x", error), atomic_file::Created::Exists);
    EXPECT_TRUE(fs::is_symlink(d.path() / "link"));
    EXPECT_EQ(atomic_file::create(d.path() / "missing" / "b", "x", error), atomic_file::Created::Failed);
    EXPECT_EQ(names(d.path()), (std::vector<std::string>{"a", "link"}));
}

TEST(Screenshot, F12SavesTheShownPictureAndTheTitleSaysWhereForThreeSeconds) {
    TempDir root, pictures;
    const fs::path game = root.path() / "Night: Town";
    root.write("Night: Town/start.ini", sjis("[WindowTitle]\r\nTitle=夜の街\r\n[WindowSize]\r\nRight=64\r\nBottom=48\r\n"));
    root.write("Night: Town/script.txt", "#fillclr(0, rgb(200, 30, 30));\r\n#stretchblt();\r\n#end();\r\n");
    Env env;
    env.set("XDG_PICTURES_DIR", pictures.path().string());
    HeadlessPlatform platform;
    Options o;
    o.gameDir = game;
    Shell shell(platform, o);
    std::string why;
    ASSERT_TRUE(shell.start(why)) << why;
    Runtime& rt = shell.runtime();
    for (int i = 0; i < 2000 && rt.interp.threadActive; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(rt.interp.threadActive, 0);

    shell.onKey(kKeyF12, true);
    const fs::path folder = pictures.path() / "Yorvane";
    const auto files = names(folder);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].rfind("Night_ Town-", 0), 0u) << files[0];
    const Picture p = readPng(folder / files[0]);
    ASSERT_EQ(p.w, 64);
    ASSERT_EQ(p.h, 48);
    EXPECT_EQ(p.at(10, 10)[0], 200);
    EXPECT_EQ(p.at(63, 47)[2], 30);
    EXPECT_EQ(platform.titleUtf8(), (folder / files[0]).string());

    // A second press within the same second gets a name of its own.
    shell.onKey(kKeyF12, true);
    EXPECT_EQ(names(folder).size(), 2u);

    // The title comes back three seconds after the last picture (the game's clock).
    ManualClock& clock = platform.manualClock();
    clock.advance(2999);
    shell.onIdle();
    EXPECT_NE(platform.titleUtf8(), "夜の街");
    clock.advance(1);
    shell.onIdle();
    EXPECT_EQ(platform.titleUtf8(), "夜の街");
}
