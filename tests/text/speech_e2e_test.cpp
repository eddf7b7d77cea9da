// Reading aloud (設定 > 読み上げ, V) through the real program: each page once as shown, choices as
// highlighted, cut by a click; the setting remembered; a missing service said once; and a real
// speech-dispatcher reached when one is installed.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "test_util.h"

using namespace yv;
namespace fs = std::filesystem;

namespace {

// libspeechd loses a message it builds when it cannot start the service; the sanitizer build's
// leak check must not blame the program for it. Only the stacks through the library are let
// pass, which the slow unwinder finds (libspeechd and glib keep no frame pointers).
void passLibspeechdLeak() {
    const std::string supp = std::string(YV_SOURCE_DIR) + "/tests/text/libspeechd.supp";
    ::setenv("LSAN_OPTIONS", ("fast_unwind_on_malloc=0:suppressions=" + supp).c_str(), 1);
}

// Two named pages (the second with a line break), a choice (right: row 5, left: row 6), then a
// last page. Item 0 shows the name, item 1 the message at once; the pages wait for a click.
struct TalkGame {
    TempDir dir, data;
    TalkGame() {
        dir.write("start.ini", "[WindowSize]\r\nRight=320\r\nBottom=240\r\n");
        dir.write("t.txt", sjis("\"アリス\",\"一頁目\\p\";\r\n\"ボブ\",\"二頁目\\nです\\p\";\r\n\"右へ\",\"\";\r\n"
                                "\"左へ\",\"\";\r\n\"アリス\",\"右の頁\\p\";\r\n\"ボブ\",\"左の頁\\p\";\r\n"
                                "\"アリス\",\"終わり\\p\";\r\n"));
        dir.write("script.txt",
                  "#createtextf(2, 7);\r\n#loadtextf(\"t.txt\");\r\n#locatef(0, 20, 20);\r\n#locatef(1, 20, 120);\r\n"
                  "#settextspeedf(0, -1);\r\n#settextspeedf(1, -1);\r\n#settextprintf(1, rgb(255, 255, 255));\r\n"
                  "#printtextf(0, 1);\r\n#printtextf(0, 2);\r\n"
                  "#select();\r\n{\r\n#printtextf(0, 3, \"r\");\r\n#printtextf(0, 4, \"l\");\r\n}\r\n"
                  "#printtextf(0, 7);\r\n#end();\r\n"
                  "|r:\r\n#printtextf(0, 5);\r\n#return();\r\n|l:\r\n#printtextf(0, 6);\r\n#return();\r\n");
    }
    RunResult run(std::vector<std::string> args, bool log = true) {
        // The player folder and the remembered settings stay in the test's folders.
        ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", data.path().c_str(), 1);
        passLibspeechdLeak();
        std::vector<std::string> all = {"--headless"};
        if (log) all.push_back("--speech-log");
        all.insert(all.end(), args.begin(), args.end());
        all.push_back(dir.path().string());
        RunResult r = runYorvane(all);
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_CONFIG_HOME");
        return r;
    }
};

using Lines = std::vector<std::string>;

// The reading-aloud lines of a run's stderr.
Lines spoken(const std::string& err) {
    Lines out;
    std::istringstream in(err);
    for (std::string l; std::getline(in, l);)
        if (l.rfind("speak", 0) == 0) out.push_back(l);
    return out;
}

// Where the choices are (item 0 at (20, 20), lines of 24).
const std::string kRight = "60,32@", kLeft = "60,56@";

}  // namespace

// V turned on after page 1: page 2 read, each highlight read (the first choice at once, then as
// Down and Up move it), a click cutting what is said; going back to page 2 reads it no more;
// V again turns it off.
TEST(Speech, PagesOnceChoicesAsHighlightedCutByAClick) {
    TalkGame g;
    RunResult r = g.run({"--key", "V@500", "--click", "5,5@1000", "--click", "5,5@1300", "--key", "Down@1500",
                         "--key", "Up@1600", "--click", kRight + "1700", "--key", "Backspace@2000", "--click",
                         "5,5@2300", "--click", kLeft + "2700", "--key", "V@3000", "--click", "5,5@3300",
                         "--click", "5,5@3600", "--max-seconds", "10"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(spoken(r.err), (Lines{"speak: ボブ　二頁目 です", "speak-stop", "speak: 右へ", "speak: 左へ",
                                    "speak: 右へ", "speak-stop", "speak: アリス　右の頁", "speak-stop",
                                    "speak: 右へ", "speak-stop", "speak: 左へ", "speak: ボブ　左の頁", "speak-stop"}))
        << r.err;
}

// The menu entry turns it on, and the next run of the game starts with it on.
TEST(Speech, TheMenuEntryIsRememberedPerGame) {
    TalkGame g;
    RunResult r = g.run({"--menu", "40115@500", "--click", "5,5@1000", "--max-seconds", "1.5"});
    ASSERT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(spoken(r.err), (Lines{"speak: ボブ　二頁目 です"})) << r.err;
    RunResult again = g.run({"--max-seconds", "0.5"});
    EXPECT_EQ(spoken(again.err), (Lines{"speak: アリス　一頁目"})) << again.err;
}

// No service to reach (a socket that is not there, nothing started for it): said once, the
// entry greyed, and V does nothing more.
TEST(Speech, AMissingServiceIsSaidOnceAndTheEntryGreyed) {
    TalkGame g;
    TempDir none;
    ::setenv("SPEECHD_ADDRESS", ("unix_socket:" + (none.path() / "no.sock").string()).c_str(), 1);
    RunResult r = g.run({"--key", "V@100", "--key", "V@1500", "--menu", "40115@2000", "--click", "5,5@2500",
                         "--max-seconds", "3"},
                        false);
    ::unsetenv("SPEECHD_ADDRESS");
    ASSERT_EQ(r.status, 124) << r.err;
    const size_t first = r.err.find("no speech service");
    ASSERT_NE(first, std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("no speech service", first + 1), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("menu: entry 40115 cannot be picked now"), std::string::npos) << r.err;
}

// A service that takes the connection and never answers (a socket nobody reads): the game
// plays on, and neither the headless start nor the close waits on it for good.
TEST(Speech, AServiceThatNeverAnswersHoldsNothing) {
    if (void* lib = dlopen("libspeechd.so.2", RTLD_NOW | RTLD_LOCAL))
        dlclose(lib);
    else
        GTEST_SKIP() << "libspeechd.so.2 is not installed";
    TalkGame g;
    TempDir dir;
    const std::string path = (dir.path() / "silent.sock").string();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(fd, 4), 0);
    ::setenv("SPEECHD_ADDRESS", ("unix_socket:" + path).c_str(), 1);
    RunResult r = g.run({"--key", "V@100", "--click", "5,5@500", "--max-seconds", "1"}, false);
    ::unsetenv("SPEECHD_ADDRESS");
    ::close(fd);
    EXPECT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(r.err.find("no speech service"), std::string::npos) << r.err;
}

// A real speech-dispatcher, started on demand with its dummy output module in the test's own
// folders: the program connects and hands it the pages.
TEST(Speech, SpeechDispatcherIsReached) {
    if (!have("speech-dispatcher")) GTEST_SKIP() << "speech-dispatcher is not installed";
    if (void* lib = dlopen("libspeechd.so.2", RTLD_NOW | RTLD_LOCAL))
        dlclose(lib);
    else
        GTEST_SKIP() << "libspeechd.so.2 is not installed";
    TalkGame g;
    TempDir runtime, home;
    // The service reads its settings below XDG_CONFIG_HOME (the game's settings folder here) and
    // puts its socket below XDG_RUNTIME_DIR; with no client it ends after a second. Its modules
    // must open a sound device: libao's null driver (chosen in $HOME/.libao) stands in for one.
    g.data.write("speech-dispatcher/speechd.conf",
                 "AddModule \"dummy\" \"sd_dummy\" \"\"\nDefaultModule dummy\nAudioOutputMethod \"libao\"\n"
                 "Timeout 1\n");
    home.write(".libao", "default_driver=null\n");
    const char* oldHome = std::getenv("HOME");
    const std::string keptHome = oldHome ? oldHome : "";
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    ::unsetenv("SPEECHD_ADDRESS");
    RunResult r = g.run({"--verbose", "--key", "V@100", "--click", "5,5@1000", "--max-seconds", "3"}, false);
    ::unsetenv("XDG_RUNTIME_DIR");
    if (oldHome)
        ::setenv("HOME", keptHome.c_str(), 1);
    else
        ::unsetenv("HOME");
    ASSERT_EQ(r.status, 124) << r.err;
    EXPECT_EQ(r.err.find("no speech service"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("speech: connected to speech-dispatcher"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("speech: said"), std::string::npos) << r.err;
}
