// Crash-safe replacement: whatever fails or stops the process, the old file or the new one is
// there whole, never a mix, never nothing.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "core/atomic_file.h"
#include "faulty_ops.h"
#include "test_util.h"

using namespace yv;
using yv::test::FaultyOps;
namespace fs = std::filesystem;

namespace {

std::string content(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int entries(const fs::path& dir) {
    int n = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

}  // namespace

TEST(AtomicFile, ReplacesWholeAndKeepsPermissions) {
    TempDir d;
    const fs::path f = d.path() / "flag1.sav";
    std::string why;
    ASSERT_TRUE(atomic_file::replace(f, {"12,", "abc"}, why));
    EXPECT_EQ(content(f), "12,abc");
    ::chmod(f.c_str(), 0640);
    ASSERT_TRUE(atomic_file::replace(f, {std::string(100000, 'x')}, why));
    EXPECT_EQ(content(f), std::string(100000, 'x'));
    struct stat st {};
    ::stat(f.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(d.path()), 1);  // no temporary file left behind
}

TEST(AtomicFile, EveryFailureKeepsTheOldFileAndSaysWhy) {
    const std::string big(20000, 'n');  // several writes
    // Count the calls of a good replacement first.
    TempDir probe;
    FaultyOps count;
    std::string why;
    ASSERT_TRUE(atomic_file::replace(probe.path() / "f", {big}, why, count));
    ASSERT_GE(count.calls, 8);  // open, 5 writes, fsync, close, rename, folder open ...

    // Every call up to and including the rename fails in turn: the old file stays.
    for (int at = 0; at < count.calls; ++at) {
        TempDir d;
        const fs::path f = d.path() / "flag2.sav";
        d.write("flag2.sav", "old save");
        FaultyOps ops;
        ops.failAt = at;
        const bool ok = atomic_file::replace(f, {big}, why = "", ops);
        const std::string now = content(f);
        if (ok) {
            EXPECT_EQ(now, big) << "call " << at;  // only the folder's sync may fail, after the rename
        } else {
            EXPECT_EQ(now, "old save") << "call " << at;
            EXPECT_NE(why.find("No space left on device"), std::string::npos) << why;
        }
        EXPECT_EQ(entries(d.path()), 1) << "call " << at;
    }
}

TEST(AtomicFile, ACreateThatFailsAnywhereLeavesNothing) {
    const std::string big(20000, 'n');
    TempDir probe;
    FaultyOps count;
    std::string why;
    ASSERT_EQ(atomic_file::create(probe.path() / "f", big, why, count), atomic_file::Created::Yes);
    for (int at = 0; at < count.calls; ++at) {
        TempDir d;
        FaultyOps ops;
        ops.failAt = at;
        const auto made = atomic_file::create(d.path() / "shot.png", big, why = "", ops);
        if (made == atomic_file::Created::Yes) {
            EXPECT_EQ(content(d.path() / "shot.png"), big) << "call " << at;
        } else {
            EXPECT_EQ(made, atomic_file::Created::Failed) << "call " << at;
            EXPECT_EQ(entries(d.path()), 0) << "call " << at;
            EXPECT_NE(why.find("No space left on device"), std::string::npos) << why;
        }
    }
}

TEST(AtomicFile, MissingFolderFailsCleanly) {
    TempDir d;
    std::string why;
    EXPECT_FALSE(atomic_file::replace(d.path() / "no" / "f", {"x"}, why));
    EXPECT_NE(why.find("create"), std::string::npos);
}

TEST(AtomicFile, ACrashAtAnyPointLeavesOldOrNewWhole) {
    const std::string oldText(30000, 'o'), newText(25000, 'N');
    TempDir probe;
    FaultyOps count;
    std::string why;
    ASSERT_TRUE(atomic_file::replace(probe.path() / "f", {newText}, why, count));
    for (int at = 0; at <= count.calls; ++at) {
        TempDir d;
        const fs::path f = d.path() / "system.dat";
        d.write("system.dat", oldText);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FaultyOps ops;
            ops.failAt = at;
            ops.crash = true;
            std::string w;
            atomic_file::replace(f, {newText}, w, ops);
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        const std::string now = content(f);
        EXPECT_TRUE(now == oldText || now == newText) << "stopped at call " << at << ": " << now.size() << " bytes";
        // What the crash left is only a temporary file, which the next start removes.
        atomic_file::removeStaleTemporaries(d.path());
        EXPECT_EQ(entries(d.path()), 1) << "stopped at call " << at;
    }
}

TEST(AtomicFile, StaleTemporariesAreOnlyOurs) {
    TempDir d;
    d.write(".flag3.sav.yvtmp-ab12cd", "half");
    d.write("flag3.sav", "save");
    d.write(".hidden", "keep");
    d.write("x.yvtmp-ab12cd", "keep: not hidden");
    EXPECT_EQ(atomic_file::removeStaleTemporaries(d.path()), 1);
    EXPECT_FALSE(d.exists(".flag3.sav.yvtmp-ab12cd"));
    EXPECT_TRUE(d.exists("flag3.sav") && d.exists(".hidden") && d.exists("x.yvtmp-ab12cd"));
}
