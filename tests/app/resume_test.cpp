// A game closed before its end leaves resume.sav in the player folder; --continue goes on from
// its last click wait, and refuses when the game's scripts changed since.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "save/resume_file.h"
#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// Page A (red) waits for a click; @905 counts the starts from the top (1: continued, not begun
// again), @902 is @10 after A (3 when the variables came back).
struct ResumeGame {
    TempDir dir, io;
    ResumeGame() {
        dir.write("start.ini", "");
        dir.write("script.txt", kScript);
    }
    static constexpr const char* kScript =
        "@10 = 3;\r\n@905 = @905 + 1;\r\n#systemsave();\r\n#fillclr(1, rgb(200, 30, 30));\r\n#paint();\r\n"
        "#mouseclickwait(1);\r\n@10 = 4;\r\n#fillclr(1, rgb(20, 30, 200));\r\n#paint();\r\n"
        "#mouseclickwait(1);\r\n@902 = @10;\r\n#systemsave();\r\n#end();\r\n";
    RunResult run(std::vector<std::string> args) {
        args.insert(args.begin(), "--headless");
        args.push_back(dir.path().string());
        return runYorvane(args);
    }
    fs::path resume() const { return save::resumePath(dir.path()); }
    std::vector<std::pair<int, int>> vars() { return readSystemDat(dir.path() / "system.dat"); }
};

int waitChild(pid_t pid, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        int st = 0;
        if (::waitpid(pid, &st, WNOHANG) == pid) return st;
        if (std::chrono::steady_clock::now() > end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Continues the game left at page B: one click ends it with @902 = 4 (B's variables), without
// the statements before A run again; the end takes the resume file away.
void continueToTheEnd(ResumeGame& g) {
    const RunResult r = g.run({"--continue", "--click", "10,10@500", "--max-seconds", "5"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(g.vars(), (std::vector<std::pair<int, int>>{{902, 4}, {905, 1}})) << r.err;
    EXPECT_FALSE(fs::exists(g.resume())) << r.err;
}

}  // namespace

TEST(Resume, EscapeLeavesTheLastPageAndContinueShowsIt) {
    ResumeGame g;
    const RunResult left = g.run({"--click", "10,10@500", "--key", "Escape@1000", "--max-seconds", "5"});
    EXPECT_EQ(left.status, 0) << left.err;
    ASSERT_TRUE(fs::is_regular_file(g.resume())) << left.err;
    EXPECT_FALSE(g.dir.exists("resume.sav"));
    // Shown again as left: page B's blue.
    const fs::path shot = g.io.path() / "shot.png";
    const RunResult shown = g.run({"--continue", "--max-seconds", "1", "--screenshot", shot.string()});
    EXPECT_EQ(shown.status, 124) << shown.err;
    EXPECT_EQ(shown.err.find("Loadに成功しました"), std::string::npos) << shown.err;
    const Picture p = readPng(shot);
    ASSERT_GT(p.w, 0);
    EXPECT_EQ(p.at(5, 5)[0], 20);
    EXPECT_EQ(p.at(5, 5)[2], 200);
    // The time limit left the file again (the same page).
    ASSERT_TRUE(fs::is_regular_file(g.resume()));
    continueToTheEnd(g);
}

TEST(Resume, SigtermLeavesTheLastPage) {
    ResumeGame g;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const std::string dir = g.dir.path().string();
        if (FILE* f = std::freopen((g.io.path() / "err").c_str(), "w", stderr)) (void)f;
        ::execl(YV_BINARY, YV_BINARY, "--headless", "--click", "10,10@100", dir.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);
    // Page A passed once system.dat is there; page B is kept between the next steps.
    for (int i = 0; i < 500 && !g.dir.exists("system.dat"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ::kill(pid, SIGTERM);
    int st = waitChild(pid, 30);
    if (st == -1) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &st, 0);
        FAIL() << "SIGTERM did not end the run";
    }
    ASSERT_TRUE(WIFEXITED(st)) << g.io.read("err");
    EXPECT_EQ(WEXITSTATUS(st), 0) << g.io.read("err");
    ASSERT_TRUE(fs::is_regular_file(g.resume())) << g.io.read("err");
    continueToTheEnd(g);
}

TEST(Resume, NoPageNoFileAndTheScriptsEndRemovesIt) {
    ResumeGame g;
    // Closed before any click wait: nothing to continue.
    g.dir.write("script.txt", "#wait(100000);\r\n" + std::string(ResumeGame::kScript));
    const RunResult early = g.run({"--max-seconds", "1"});
    EXPECT_EQ(early.status, 124) << early.err;
    EXPECT_FALSE(fs::exists(g.resume()));
    const RunResult none = g.run({"--continue", "--max-seconds", "1"});
    EXPECT_EQ(none.status, 1) << none.err;
    EXPECT_NE(none.err.find("has no resume file"), std::string::npos) << none.err;

    g.dir.write("script.txt", ResumeGame::kScript);
    const RunResult left = g.run({"--max-seconds", "1"});
    EXPECT_EQ(left.status, 124) << left.err;
    ASSERT_TRUE(fs::is_regular_file(g.resume()));
    const RunResult ended = g.run({"--click", "10,10@300", "--click", "10,10@600", "--max-seconds", "5"});
    EXPECT_EQ(ended.status, 0) << ended.err;
    EXPECT_FALSE(fs::exists(g.resume()));
}

TEST(Resume, AChangedScriptRefusesTheFile) {
    ResumeGame g;
    ASSERT_EQ(g.run({"--max-seconds", "1"}).status, 124);
    ASSERT_TRUE(fs::is_regular_file(g.resume()));
    g.dir.write("script.txt", std::string(ResumeGame::kScript) + "; a line added\r\n");
    const RunResult r = g.run({"--continue", "--max-seconds", "1"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("has changed since the game was left"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(g.resume()));  // kept: the old script may come back
}

TEST(Resume, FileHeaderKeepsAnyNameAndTellsAMissingScript) {
    save::ResumeFile f;
    f.scripts = {{std::string("a b\n\x82\xa0.txt", 10), 0x0123456789abcdefull}, {"gone.txt", std::nullopt}};
    f.save = std::string("9,\0\n\nrest", 9);
    const auto back = save::parseResumeFile(save::formatResumeFile(f));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->scripts, f.scripts);
    EXPECT_EQ(back->save, f.save);
    EXPECT_FALSE(save::parseResumeFile("YVRESUME 1\nzz 61\n\n"));
    EXPECT_FALSE(save::parseResumeFile("9,abc"));
}
