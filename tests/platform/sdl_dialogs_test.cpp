// The entry boxes and the history list in the real window (SDL dummy driver): typed text,
// Enter, the default button, the CP932 length limit, the four fields, and the history from
// its menu entry.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "core/cp932.h"
#include "runtime.h"
#include "sdl_events.h"

using namespace yv;

namespace {

// Runs the shell's window loop while `ask` waits for dialogs on another thread (as the
// interpreter does) and `drive` plays the player; the window closes once both are done.
void play(SdlGame& g, const std::function<void()>& ask, const std::function<void()>& drive) {
    std::atomic<bool> asked{false};
    std::thread asker([&] {
        ask();
        asked = true;
    });
    std::thread player([&] {
        drive();
        waitFor([&] { return asked.load(); });
        g.platform->requestClose();
    });
    EXPECT_EQ(g.shell->run(), 0);
    player.join();
    asker.join();
    EXPECT_TRUE(asked);
}

InputBoxRequest nameBox(const std::string& initial, int32_t maxLength) {
    InputBoxRequest r;
    r.prompt = sjis("名前を入力してください");
    r.defaultText = sjis("太郎");
    r.initial = sjis(initial);
    r.maxLength = maxLength;
    return r;
}

bool boxOpen(SdlGame& g) { return g.rect("field:0:active").has_value(); }
bool boxClosed(SdlGame& g) { return !g.rect("field:0").has_value(); }

}  // namespace

TEST(SdlDialogs, TypedTextReplacesTheSelectedDefaultAndEnterAnswers) {
    SdlGame g("");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    std::optional<Bytes> answer;
    bool opened = false, keptOnEscape = false, hasDefaultButton = false;
    play(g, [&] { answer = g.platform->inputBox(nameBox("太郎", 20)); },
         [&] {
             opened = waitFor([&] { return boxOpen(g); });
             hasDefaultButton = g.rect("button:デフォルト").has_value() && g.rect("button:OK").has_value();
             pushText("花子");
             pushKey(SDLK_ESCAPE);  // the box stays, the typing too
             std::this_thread::sleep_for(std::chrono::milliseconds(150));
             keptOnEscape = g.rect("field:0").has_value();
             pushKey(SDLK_RETURN);
             waitFor([&] { return boxClosed(g); });
         });
    EXPECT_TRUE(opened);
    EXPECT_TRUE(hasDefaultButton);
    EXPECT_TRUE(keptOnEscape);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(cp932ToUtf8(*answer), "花子");
}

TEST(SdlDialogs, EnterWhileTheInputMethodComposesIsNotOk) {
    SdlGame g("");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    std::optional<Bytes> answer;
    bool stayed = false;
    play(g, [&] { answer = g.platform->inputBox(nameBox("太郎", 20)); },
         [&] {
             if (!waitFor([&] { return boxOpen(g); })) return;
             SDL_Event e{};
             e.type = SDL_TEXTEDITING;
             std::snprintf(e.edit.text, sizeof e.edit.text, "%s", "はなこ");
             SDL_PushEvent(&e);
             pushKey(SDLK_RETURN);
             std::this_thread::sleep_for(std::chrono::milliseconds(150));
             stayed = g.rect("field:0").has_value();
             pushText("花子");  // the input method hands over the text
             pushKey(SDLK_RETURN);
         });
    EXPECT_TRUE(stayed);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(cp932ToUtf8(*answer), "花子");
}

TEST(SdlDialogs, DefaultButtonPutsTheDefaultBack) {
    SdlGame g("");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    std::optional<Bytes> answer;
    play(g, [&] { answer = g.platform->inputBox(nameBox("次郎", 20)); },
         [&] {
             if (!waitFor([&] { return boxOpen(g); })) return;
             pushText("花子");
             std::this_thread::sleep_for(std::chrono::milliseconds(100));
             if (auto b = g.settled("button:デフォルト")) clickAt(*b);
             // The field takes the keyboard again, its text selected.
             std::this_thread::sleep_for(std::chrono::milliseconds(100));
             waitFor([&] { return boxOpen(g); });
             pushKey(SDLK_RETURN);
         });
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(cp932ToUtf8(*answer), "太郎");
}

TEST(SdlDialogs, LengthLimitCountsCp932Bytes) {
    SdlGame g("");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    std::optional<Bytes> kana, halfWidth;
    play(g,
         [&] {
             kana = g.platform->inputBox(nameBox("", 6));
             halfWidth = g.platform->inputBox(nameBox("", 4));
         },
         [&] {
             for (const char* typed : {"あいうえお", "ｱｲｳｴｵ"}) {
                 if (!waitFor([&] { return boxOpen(g); })) return;
                 pushText(typed);
                 pushKey(SDLK_RETURN);
                 waitFor([&] { return boxClosed(g); });
             }
         });
    ASSERT_TRUE(kana.has_value());
    EXPECT_EQ(cp932ToUtf8(*kana), "あいう");  // 6 bytes in CP932 (9 in UTF-8)
    ASSERT_TRUE(halfWidth.has_value());
    EXPECT_EQ(cp932ToUtf8(*halfWidth), "ｱｲｳｴ");  // one byte each in CP932, three in UTF-8
}

TEST(SdlDialogs, FourFieldBoxAnswersLeftToRight) {
    SdlGame g("");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    InputBox2Request r;
    r.title = sjis("登録");
    r.labels = {sjis("姓"), sjis("名"), sjis("趣味"), sjis("出身")};
    r.defaults = {sjis("一"), sjis("二"), sjis("三"), sjis("四")};
    r.initial = r.defaults;
    r.maxLengths = {10, 10, 10, 10};
    std::optional<std::array<Bytes, 4>> answer;
    std::vector<int> xs;
    play(g, [&] { answer = g.platform->inputBox2(r); },
         [&] {
             if (!waitFor([&] { return boxOpen(g); })) return;
             for (int k = 0; k < 4; ++k)
                 if (auto f = g.rect("field:" + std::to_string(k))) xs.push_back(f->x);
             pushText("山");
             std::this_thread::sleep_for(std::chrono::milliseconds(100));
             if (auto f = g.settled("field:2")) clickAt(*f);
             waitFor([&] { return g.rect("field:2:active").has_value(); });
             pushText("川");
             std::this_thread::sleep_for(std::chrono::milliseconds(100));
             pushKey(SDLK_RETURN);
         });
    ASSERT_EQ(xs.size(), 4u);
    EXPECT_TRUE(xs[0] < xs[1] && xs[1] < xs[2] && xs[2] < xs[3]);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(cp932ToUtf8((*answer)[0]), "山");
    EXPECT_EQ(cp932ToUtf8((*answer)[1]), "二");
    EXPECT_EQ(cp932ToUtf8((*answer)[2]), "川");
    EXPECT_EQ(cp932ToUtf8((*answer)[3]), "四");
}

TEST(SdlDialogs, HistoryOpensFromTheMenuEntryAndCloses) {
    SdlGame g("");
    if (!g.platform) GTEST_SKIP() << "no SDL video: " << g.why;
    ASSERT_TRUE(g.started) << g.why;
    {
        History& h = g.shell->runtime().text.history;
        MutexLock lock(h.mutex);
        h.labels[0] = sjis("太郎");
        h.texts[1] = sjis("こんにちは");
        h.labels[2] = sjis("花子");
        h.texts[3] = sjis("さようなら\n#またね");
    }
    bool listed = false, closed = false, okShown = false;
    std::optional<SdlItemRect> line2, line3;
    std::thread player([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!waitFor([&] { return g.rect("ﾌｧｲﾙ(F)").has_value(); })) return;
        if (auto file = g.settled("ﾌｧｲﾙ(F)")) clickAt(*file);
        if (!waitFor([&] { return g.rect("#32864").has_value(); })) return g.platform->requestClose();
        if (auto entry = g.settled("#32864")) clickAt(*entry);
        listed = waitFor([&] { return g.rect("list").has_value(); });
        const auto ok = g.settled("button:OK");
        line2 = g.rect("line:2");
        line3 = g.rect("line:3");
        okShown = ok.has_value();
        if (ok) clickAt(*ok);
        closed = waitFor([&] { return !g.rect("list").has_value(); }, 2000);
        if (!closed) pushKey(SDLK_RETURN);  // the window cannot close while the list is up
        waitFor([&] { return !g.rect("list").has_value(); }, 2000);
        g.platform->requestClose();
    });
    EXPECT_EQ(g.shell->run(), 0);
    player.join();
    EXPECT_TRUE(listed);
    EXPECT_TRUE(line2.has_value());   // three lines: one per message and the second line
    EXPECT_FALSE(line3.has_value());
    EXPECT_TRUE(okShown);
    EXPECT_TRUE(closed);
}

TEST(SdlDialogs, TimeLimitEndsAnOpenEntryBox) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    TempDir d;
    d.write("start.ini", "");
    // Nobody answers: the entry keeps its default, and the game ends at the limit.
    d.write("script.txt", sjis("@A = #inputbox(\"名前\", \"入力BOX\", \"太郎\", 20);\r\n@901 = 5;\r\n"
                               "|top:\r\n#mouseclickwait(1);\r\n#goto(\"top\");\r\n"));
    Options o;
    o.gameDir = d.path();
    o.scale = 1;
    o.maxSeconds = 0.5;
    std::string why;
    auto p = makeSdlPlatform(SdlWindowOptions{o.scale}, why);
    if (!p) GTEST_SKIP() << "no SDL video: " << why;
    Shell shell(*p, o);
    ASSERT_TRUE(shell.start(why)) << why;
    EXPECT_EQ(shell.run(), 124);
    EXPECT_EQ(shell.runtime().interp.threadActive.load(), 0);
}
