// The desktop entry and the software-centre metadata: valid by the desktop's own checkers, naming
// each other, and installed together.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "test_util.h"

using namespace yv;

namespace {

const std::filesystem::path kData = std::filesystem::path(YV_SOURCE_DIR) / "data";

std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(DesktopFiles, TheCheckersFindNothingWrong) {
    if (!have("appstreamcli") || !have("desktop-file-validate"))
        GTEST_SKIP() << "appstreamcli or desktop-file-validate missing (scripts/setup.sh installs them)";
    const RunResult meta =
        runProgram("appstreamcli", {"validate", "--no-net", (kData / "io.github.yorvane.Yorvane.metainfo.xml").string()});
    EXPECT_EQ(meta.status, 0) << meta.out << meta.err;
    const RunResult entry = runProgram("desktop-file-validate", {(kData / "yorvane.desktop").string()});
    EXPECT_EQ(entry.status, 0) << entry.out << entry.err;
    EXPECT_EQ(entry.out + entry.err, "");  // no hints either
}

TEST(DesktopFiles, TheyNameEachOtherAndAreInstalled) {
    const std::string meta = readText(kData / "io.github.yorvane.Yorvane.metainfo.xml");
    const std::string entry = readText(kData / "yorvane.desktop");
    EXPECT_NE(meta.find("<launchable type=\"desktop-id\">yorvane.desktop</launchable>"), std::string::npos);
    EXPECT_NE(meta.find("<binary>yorvane</binary>"), std::string::npos);
    // A game folder and its start.ini open from a file manager.
    EXPECT_NE(entry.find("Exec=yorvane %f\n"), std::string::npos);
    EXPECT_NE(entry.find("inode/directory;"), std::string::npos);
    EXPECT_NE(entry.find("application/x-wine-extension-ini;"), std::string::npos);
    const std::string cmake = readText(std::filesystem::path(YV_SOURCE_DIR) / "CMakeLists.txt");
    EXPECT_NE(cmake.find("data/io.github.yorvane.Yorvane.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo"),
              std::string::npos);
    EXPECT_NE(cmake.find("data/yorvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications"), std::string::npos);
}
