// The chooser's listing: game folders marked whatever the letter case of their start.ini,
// hidden folders and files left out, names in a reader's order, bounded.
#include <gtest/gtest.h>

#include "test_util.h"
#include "ui/folder_list.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> names(const ui::FolderListing& l) {
    std::vector<std::string> out;
    for (const auto& f : l.folders) out.push_back(f.name + (f.hasGame ? "*" : ""));
    return out;
}

}  // namespace

TEST(FolderList, MarksGamesAndListsFoldersOnly) {
    TempDir d;
    d.write("beta/Start.Ini", "");
    d.write("Alpha/sub/start.ini", "");  // a game further down is not this folder's
    d.write("gamma/START.INI/x", "");  // a folder of that name is no start.ini
    d.write(".cache/start.ini", "");
    d.write("file.txt", "");
    d.write("start.ini", "");
    fs::create_directory_symlink(d.path() / "beta", d.path() / "link");
    const ui::FolderListing l = ui::listFolders(d.path() / "beta" / "..");
    EXPECT_EQ(l.at, d.path());
    EXPECT_EQ(l.parent, d.path().parent_path());
    EXPECT_TRUE(l.hasGame);
    EXPECT_TRUE(l.error.empty());
    EXPECT_FALSE(l.cut);
    EXPECT_EQ(names(l), (std::vector<std::string>{"Alpha", "beta*", "gamma", "link*"}));
}

TEST(FolderList, TheTopHasNoParentAndAMissingFolderSaysWhy) {
    EXPECT_TRUE(ui::listFolders("/").parent.empty());
    TempDir d;
    const ui::FolderListing l = ui::listFolders(d.path() / "nowhere");
    EXPECT_FALSE(l.error.empty());
    EXPECT_TRUE(l.folders.empty());
}

TEST(FolderList, AFolderOfManyFoldersIsCut) {
    TempDir d;
    for (int i = 0; i < 12; ++i) fs::create_directory(d.path() / std::to_string(i));
    const ui::FolderListing l = ui::listFolders(d.path(), 10);
    EXPECT_EQ(l.folders.size(), 10u);
    EXPECT_TRUE(l.cut);
}
