// A game's scripts reach no file outside the game folder: not by "..", not by an absolute path,
// not through a link; links that stay inside keep working. Run through the real program.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "../graphics/gfx_util.h"
#include "test_util.h"

using namespace yv;
using namespace yv::test;
namespace fs = std::filesystem;

namespace {

// <top>/game is the game folder; <top>/outside and the files beside the game folder belong to
// the player. Links: out -> ../outside, in -> sub, outfile.txt -> ../secret.txt, infile.txt ->
// payload.txt, abslink.txt -> <top>/game/payload.txt (absolute, but inside), absout.txt ->
// <top>/secret.txt, dangling.desktop -> ../autostart.desktop (missing: a write would make it).
struct Folders {
    TempDir top;
    fs::path game() const { return top.path() / "game"; }
    Folders() {
        top.write("victim.txt", "victim");
        top.write("doomed.txt", "doomed");
        top.write("secret.txt", "secret");
        top.write("outside/x.txt", "x");
        top.write("outside/pic.bmp", bmp24(2, 2, std::vector<Bgr>(4, Bgr{1, 2, 3})));
        top.write("pic.bmp", bmp24(2, 2, std::vector<Bgr>(4, Bgr{1, 2, 3})));
        top.write("game/start.ini", "[WindowSize]\r\nRight=64\r\nBottom=48\r\n");
        top.write("game/payload.txt", "payload");
        top.write("game/sub/pic.bmp", bmp24(2, 2, std::vector<Bgr>(4, Bgr{9, 9, 9})));
        fs::create_directory_symlink("../outside", game() / "out");
        fs::create_directory_symlink("sub", game() / "in");
        fs::create_symlink("../secret.txt", game() / "outfile.txt");
        fs::create_symlink("payload.txt", game() / "infile.txt");
        fs::create_symlink(game() / "payload.txt", game() / "abslink.txt");
        fs::create_symlink(top.path() / "secret.txt", game() / "absout.txt");
        fs::create_symlink("../autostart.desktop", game() / "dangling.desktop");
    }
    RunResult run(const std::string& script) const {
        top.write("game/script.txt", sjis(script + "#systemsave();\n#end();\n"));
        return runYorvane({"--headless", "--max-seconds", "20", game().string()});
    }
    std::map<int, int> vars() const {
        std::map<int, int> m;
        for (auto [k, v] : readSystemDat(game() / "system.dat")) m[k] = v;
        return m;
    }
};

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(OutsideFiles, WritesDeletesRenamesAndCopiesStayInTheGameFolder) {
    Folders f;
    const std::string abs = f.top.path().string();
    RunResult r = f.run(
        "@901 = #copyfile(\"payload.txt\", \"../victim.txt\");\n"
        "@902 = #copyfile(\"payload.txt\", \"" + abs + "/planted.txt\");\n"
        "@903 = #copyfile(\"payload.txt\", \"out\\\\planted.txt\");\n"
        "@904 = #copyfile(\"outfile.txt\", \"stolen.txt\");\n"
        "@905 = #deletefile(\"../doomed.txt\");\n"
        "@906 = #deletefile(\"out/x.txt\");\n"
        "@907 = #copyfile(\"payload.txt\", \"dangling.desktop\");\n"
        "@908 = #copyfile(\"absout.txt\", \"stolen.txt\");\n"
        "#rename(\"payload.txt\", \"..\\\\moved.txt\");\n"
        "#rename(\"out/x.txt\", \"taken.txt\");\n"
        // Inside: links that stay inside, ".." that stays inside, the folder's own absolute path.
        "@911 = #copyfile(\"payload.txt\", \"in/copied.txt\");\n"
        "@912 = #copyfile(\"infile.txt\", \"viaLink.txt\");\n"
        "@913 = #copyfile(\"abslink.txt\", \"viaAbsLink.txt\");\n"
        "@914 = #copyfile(\"sub/../payload.txt\", \"dotdot.txt\");\n"
        "@915 = #copyfile(\"" + f.game().string() + "/payload.txt\", \"absolute.txt\");\n"
        "#rename(\"in/copied.txt\", \"renamed.txt\");\n"
        "@916 = #deletefile(\"dotdot.txt\");\n");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::map<int, int> v = f.vars();
    for (int i = 901; i <= 908; ++i) EXPECT_EQ(v.count(i), 0u) << i << " " << r.err;
    for (int i = 911; i <= 916; ++i) EXPECT_EQ(v.count(i) ? v.at(i) : 0, 1) << i << " " << r.err;

    // Nothing outside changed.
    EXPECT_EQ(f.top.read("victim.txt"), "victim");
    EXPECT_EQ(f.top.read("doomed.txt"), "doomed");
    EXPECT_EQ(f.top.read("outside/x.txt"), "x");
    EXPECT_FALSE(f.top.exists("planted.txt"));
    EXPECT_FALSE(f.top.exists("outside/planted.txt"));
    EXPECT_FALSE(f.top.exists("moved.txt"));
    EXPECT_FALSE(f.top.exists("autostart.desktop"));
    EXPECT_FALSE(f.top.exists("game/stolen.txt"));
    EXPECT_FALSE(f.top.exists("game/taken.txt"));
    // Everything inside happened.
    EXPECT_EQ(f.top.read("game/payload.txt"), "payload");
    EXPECT_EQ(f.top.read("game/renamed.txt"), "payload");
    EXPECT_EQ(f.top.read("game/viaLink.txt"), "payload");
    EXPECT_EQ(f.top.read("game/viaAbsLink.txt"), "payload");
    EXPECT_EQ(f.top.read("game/absolute.txt"), "payload");
    EXPECT_FALSE(f.top.exists("game/dotdot.txt"));
    EXPECT_TRUE(fs::is_symlink(f.game() / "infile.txt"));

    // One line for each refusal, saying why.
    EXPECT_NE(r.err.find("copyfile: not copied: ../victim.txt (\"..\" leads above the game folder)"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("copyfile: not copied: " + abs + "/planted.txt (an absolute path outside the game folder)"),
              std::string::npos);
    EXPECT_NE(r.err.find("planted.txt (a link leads out of the game folder)"),
              std::string::npos);
    EXPECT_NE(r.err.find("copyfile: not copied: outfile.txt (a link leads out of the game folder)"), std::string::npos);
    EXPECT_NE(r.err.find("deletefile: not deleted: ../doomed.txt"), std::string::npos);
    EXPECT_NE(r.err.find("deletefile: not deleted: out/x.txt"), std::string::npos);
    EXPECT_NE(r.err.find("moved.txt (\"..\" leads above the game folder)"), std::string::npos);
    EXPECT_NE(r.err.find("rename: not renamed: out/x.txt"), std::string::npos);
    EXPECT_EQ(count(r.err, " (\"..\" leads above") + count(r.err, " (an absolute path") + count(r.err, " (a link leads"),
              10u)
        << r.err;
}

TEST(OutsideFiles, ReadsAndQueriesStayInTheGameFolder) {
    Folders f;
    RunResult r = f.run(
        "@901 = #loadimage(3, \"../pic.bmp\");\n"
        "@902 = #loadimage(3, \"out/pic.bmp\");\n"
        "@903 = #getfiletime(\"../victim.txt\");\n"
        "@904 = #getfiletime(\"outfile.txt\");\n"
        "@905 = #findfile(\"../victim.txt\");\n"
        "@906 = #findfile(\"out/*.txt\");\n"
        "@911 = #loadimage(3, \"in/pic.bmp\");\n"
        "@912 = #getfiletime(\"infile.txt\");\n"
        "@913 = #findfile(\"in/*.bmp\");\n"
        "@914 = #loadimage(4, \"sub/../in/pic.bmp\");\n");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::map<int, int> v = f.vars();
    for (int i = 901; i <= 906; ++i) EXPECT_EQ(v.count(i), 0u) << i << " " << r.err;
    for (int i = 911; i <= 914; ++i) EXPECT_EQ(v.count(i) ? v.at(i) : 0, 1) << i << " " << r.err;
    EXPECT_NE(r.err.find("yorvane: not read: ../pic.bmp (\"..\" leads above the game folder)"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("yorvane: not read: out/pic.bmp (a link leads out of the game folder)"), std::string::npos);
    EXPECT_NE(r.err.find("getfiletime: not read: outfile.txt (a link leads out"), std::string::npos);
    EXPECT_NE(r.err.find("findfile: not searched: out/*.txt (a link leads out"), std::string::npos);
}

// Saves and loads stay in the game folder too. A real save lies beside the game folder and
// behind a link: neither is loaded; nothing is saved there.
TEST(OutsideFiles, SavesAndLoadsStayInTheGameFolder) {
    Folders f;
    RunResult first = f.run("@901 = #save(\"mine.sav\");\n");
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_TRUE(f.top.exists("game/mine.sav"));
    fs::copy_file(f.game() / "mine.sav", f.top.path() / "a.sav");
    fs::copy_file(f.game() / "mine.sav", f.top.path() / "outside" / "b.sav");
    fs::create_symlink("../a.sav", f.game() / "linked.sav");
    fs::remove(f.game() / "system.dat");

    RunResult r = f.run(
        "@902 = #save(\"../notes.sav\");\n"
        "@903 = #save(\"out/notes.sav\");\n"
        "@904 = #load(\"../a.sav\");\n"
        "@905 = #load(\"out/b.sav\");\n"
        "@906 = #load(\"linked.sav\");\n"
        "@907 = #save(\"in/inside.sav\");\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(f.vars(), (std::map<int, int>{{907, 1}})) << r.err;
    EXPECT_FALSE(f.top.exists("notes.sav"));
    EXPECT_FALSE(f.top.exists("outside/notes.sav"));
    EXPECT_TRUE(f.top.exists("game/sub/inside.sav"));
    EXPECT_EQ(r.err.find("Loadに成功しました"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("save: not saved: ../notes.sav (\"..\" leads above the game folder)"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("FileName is \"../notes.sav\"\\nセーブ生成に失敗しました"), std::string::npos);
    EXPECT_NE(r.err.find("load: not loaded: ../a.sav (\"..\" leads above"), std::string::npos);
    EXPECT_NE(r.err.find("load: not loaded: out/b.sav (a link leads out"), std::string::npos);
    EXPECT_NE(r.err.find("load: not loaded: linked.sav (a link leads out"), std::string::npos);
    // A refused load fails as a missing file does.
    EXPECT_EQ(count(r.err, "dialog: 読み込みエラー: ファイルが見つかりませんでした"), 3u) << r.err;
}
