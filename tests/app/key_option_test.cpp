// Headless --key through the real program: keys reach the game as the window's do.
#include <gtest/gtest.h>

#include "test_util.h"

using namespace yv;

namespace {

// One message from text.txt, then @901 = 1 kept in system.dat and the end. `speed` is the
// message's wait per character (-1: shown at once).
struct KeyGame {
    TempDir dir;
    KeyGame(const std::string& message, int speed, const std::string& after = "") {
        dir.write("start.ini", sjis("[WindowTitle]\r\nTitle=keys\r\n"));
        dir.write("text.txt", sjis("\"" + message + "\";\r\n"));
        dir.write("script.txt", sjis("#createtextf(1, 1);\r\n#loadtextf(\"text.txt\");\r\n#locatef(0, 20, 100);\r\n"
                                     "#settextspeedf(0, " + std::to_string(speed) + ");\r\n#printtextf(0, 1);\r\n" +
                                     after + "@901 = 1;\r\n#systemsave();\r\n#end();\r\n"));
    }
    RunResult run(std::vector<std::string> args) {
        args.insert(args.begin(), "--headless");
        args.push_back(dir.path().string());
        return runYorvane(args);
    }
    bool finished() {
        return readSystemDat(dir.path() / "system.dat") == std::vector<std::pair<int, int>>{{901, 1}};
    }
};

}  // namespace

TEST(KeyOption, EnterClicksAClickWait) {
    KeyGame g("待つ\\p", -1);
    RunResult none = g.run({"--max-seconds", "3"});
    EXPECT_EQ(none.status, 124) << none.err;
    EXPECT_FALSE(g.finished());
    // Any letter case, as SDL names the key.
    RunResult r = g.run({"--key", "return@500", "--max-seconds", "3"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(g.finished());
}

TEST(KeyOption, CtrlHeldSkipsTypedText) {
    // Forty characters at half a second each: 20 s typed, at once when skipped.
    const std::string forty(40, 'x');
    KeyGame g(forty + "\\e", 500);
    RunResult typed = g.run({"--max-seconds", "5"});
    EXPECT_EQ(typed.status, 124) << typed.err;
    EXPECT_FALSE(g.finished());
    RunResult held = g.run({"--key", "Left Ctrl@0,down", "--max-seconds", "5"});
    EXPECT_EQ(held.status, 0) << held.err;
    EXPECT_TRUE(g.finished());
    // Let go at once (a plain press), Ctrl skips nothing.
    RunResult pressed = g.run({"--key", "LEFT CTRL@0", "--max-seconds", "5"});
    EXPECT_EQ(pressed.status, 124) << pressed.err;
    // Held, then let go before the message starts: typed again.
    RunResult released = g.run({"--key", "Right Ctrl@0,down", "--key", "right ctrl@0,up", "--max-seconds", "5"});
    EXPECT_EQ(released.status, 124) << released.err;
}

TEST(KeyOption, EscapeCloses) {
    KeyGame g("x\\e", -1, "#wait(100000);\r\n");
    RunResult r = g.run({"--key", "Escape@1000", "--max-seconds", "20"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(g.finished());  // closed inside the wait
}

TEST(KeyOption, WrongValuesAreCommandLineErrors) {
    TempDir d;
    for (const char* bad : {"Nosuchkey@10", "Return", "Return@", "Return@x", "@10", "Return@10,sideways",
                            "Return@-5"}) {
        RunResult r = runYorvane({"--headless", "--key", bad, d.path().string()});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_EQ(r.err.rfind("yorvane: --key: ", 0), 0u) << r.err;
    }
    RunResult missing = runYorvane({"--headless", "--key"});
    EXPECT_EQ(missing.status, 2);
}
