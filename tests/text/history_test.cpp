// The history ring, label pairing, logstop, and the dialog's line building.
#include "text/history.h"
#include "text_fixture.h"

using namespace yv;

namespace {

class HistoryTest : public TextFixture {
protected:
    void message(int item, const std::string& utf8) {
        show(item, utf8);
        finish();
    }
    std::vector<std::string> lines() {
        std::vector<std::string> out;
        for (const Bytes& l : text::history::dialogLines(rt->text.history)) out.push_back(cp932ToUtf8(l));
        return out;
    }
};

}  // namespace

TEST_F(HistoryTest, NameAndMessageMakeOneLine) {
    table(2, 1, -1);
    message(0, "太郎\\u");
    message(1, "こんにちは\\e");
    EXPECT_EQ(lines(), std::vector<std::string>{"太郎　こんにちは"});

    text::history::show(*rt);
    const auto log = p.dialogLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "メッセージ履歴: 太郎　こんにちは");
}

TEST_F(HistoryTest, RingHoldsTwentyMessages) {
    table(2, 1, -1);
    for (int i = 1; i <= 20; ++i) message(1, "m" + std::to_string(i) + "\\e");
    auto l = lines();
    ASSERT_EQ(l.size(), 20u);
    EXPECT_EQ(l.front(), "　m1");
    EXPECT_EQ(l.back(), "　m20");
    EXPECT_EQ(rt->text.history.writeIndex, 0);  // full circle

    message(1, "m21\\e");  // overwrites the oldest label and text
    l = lines();
    ASSERT_EQ(l.size(), 20u);
    EXPECT_EQ(l.front(), "　m2");
    EXPECT_EQ(l.back(), "　m21");
}

TEST_F(HistoryTest, LogstopKeepsTheLabelPending) {
    table(2, 1, -1);
    cmd("logstop", "();");
    message(0, "花子\\u");
    message(1, "聞こえない\\e");
    EXPECT_TRUE(lines().empty());
    cmd("logstart", "();");
    message(1, "聞こえる\\e");
    EXPECT_EQ(lines(), std::vector<std::string>{"花子　聞こえる"});
}

TEST_F(HistoryTest, ResetKeepsTheWriteIndexAndRestartsTheDisplay) {
    table(2, 1, -1);
    message(1, "一\\e");
    cmd("logstop", "();");
    rt->resetForLoad();
    EXPECT_TRUE(rt->text.history.recording);
    EXPECT_EQ(rt->text.history.writeIndex, 2);
    EXPECT_EQ(rt->text.history.displayIndex, 0);
}

TEST(HistoryLines, CutsNeverSplitADoubleByteCharacter) {
    History h;
    h.labels[0] = "L";
    h.texts[1] = "a";
    for (int i = 0; i < 60; ++i) h.texts[1] += sjis("女");
    h.displayIndex = 0;
    h.writeIndex = 2;
    const auto l = text::history::dialogLines(h);
    ASSERT_GE(l.size(), 2u);
    // "L" + "　" + "a" leaves 92 bytes: 46 whole characters, never 46 and a half.
    EXPECT_EQ(l[0].size(), 1u + 2u + 1u + 92u);
    for (const Bytes& line : l) {
        EXPECT_LE(line.size(), 96u);
        EXPECT_EQ(cp932ToUtf8(line).find("\xef\xbf\xbd"), std::string::npos);
        size_t i = 0;
        while (i < line.size()) i += isLeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1;
        EXPECT_EQ(i, line.size());  // ends on a character boundary
    }
    Bytes all;
    for (size_t k = 0; k < l.size(); ++k) all += k == 0 ? l[k].substr(3) : l[k].substr(2);
    EXPECT_EQ(all, h.texts[1]);
}

TEST(HistoryLines, LongTextsAreCutAt96Bytes) {
    History h;
    h.labels[0] = "L";
    h.texts[1] = std::string(150, 'a');
    h.labels[2] = "";
    h.texts[3] = sjis("一行目\n二行目\n") + std::string(200, 'b');
    h.displayIndex = 4;
    h.writeIndex = 4;
    // Listing starts with the oldest pair, the one at the display index (empty here).
    h.displayIndex = 0;
    const auto l = text::history::dialogLines(h);
    ASSERT_EQ(l.size(), 2u + 1u + 1u + 3u);
    const Bytes sp = sjis("　");
    EXPECT_EQ(l[0], "L" + sp + std::string(93, 'a'));  // exactly 96 bytes
    EXPECT_EQ(l[0].size(), 96u);
    EXPECT_EQ(l[1], sp + std::string(57, 'a'));
    EXPECT_EQ(cp932ToUtf8(l[2]), "　一行目");
    EXPECT_EQ(cp932ToUtf8(l[3]), "　二行目");
    EXPECT_EQ(l[4], sp + std::string(94, 'b'));
    EXPECT_EQ(l[5], sp + std::string(94, 'b'));
    EXPECT_EQ(l[6], sp + std::string(12, 'b'));

    // The dialog shows each cut text as one line again (it wraps to its own width); the rows
    // that follow a line feed still start their own line.
    const auto j = text::history::joinedLines(h);
    ASSERT_EQ(j.size(), 4u);
    EXPECT_EQ(j[0], "L" + sp + std::string(150, 'a'));
    EXPECT_EQ(cp932ToUtf8(j[1]), "　一行目");
    EXPECT_EQ(cp932ToUtf8(j[2]), "　二行目");
    EXPECT_EQ(j[3], sp + std::string(200, 'b'));
}

TEST(HistoryLines, TwoLineBreaksGiveThreeLinesAndTheListKeeps41) {
    History h;
    h.texts[1] = sjis("あ\nい\nう");
    auto l = text::history::dialogLines(h);
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(cp932ToUtf8(l[1]), "　い");
    EXPECT_EQ(cp932ToUtf8(l[2]), "　う");

    for (int i = 0; i < History::kSize; i += 2) h.texts[static_cast<size_t>(i + 1)] = sjis("a\nb\nc");
    l = text::history::dialogLines(h);
    EXPECT_EQ(l.size(), 41u);  // 60 lines made, the oldest dropped
    EXPECT_EQ(l.back(), sjis("　") + "c");
}
