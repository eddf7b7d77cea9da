// Line breaking on real Japanese prose (Botchan, Shift-JIS with CR LF) at several line lengths.
#include <fstream>
#include <iterator>
#include <map>

#include "text_fixture.h"

using namespace yv;

namespace {

class Prose : public TextFixture {};

std::string readCorpus(const std::string& name) {
    std::ifstream in(std::string(YV_CORPUS_DIR) + "/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST_F(Prose, NoLineStartsWithAHungCharacterAndNothingIsLost) {
    std::string text = readCorpus("text/botchan.sjis.txt");
    if (text.empty()) GTEST_SKIP() << "corpus not found at " YV_CORPUS_DIR;
    // A few chapters' worth, cut at a line end.
    text.resize(text.rfind("\r\n", 24000) + 2);
    std::string expected;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\r' && text[i] != '\n') expected += text[i];
    std::vector<Bytes> hang;
    for (const char* m : {"、", "。", "」", "』", "）", "＞", "，", "！", "？"}) hang.push_back(sjis(m));
    auto hung = [&](const Bytes& u) { return std::find(hang.begin(), hang.end(), u) != hang.end(); };

    for (int length : {10, 17, 23, 40}) {
        trace.clear();
        table(2, 1, -1, length);
        rt->text.items[1].rows[0] = text + "\\e";
        cmd("printtextf", "(1, 1);");
        ASSERT_TRUE(advance()) << length;

        std::string drawn;
        std::map<int, int> perLine;
        int hungCount = 0, wrapped = 0;
        for (const DrawnUnit& u : trace) {
            drawn += u.unit;
            const int k = perLine[u.y]++;
            if (u.lineStart) {
                EXPECT_FALSE(hung(u.unit)) << "length " << length << ": a line starts with " << cp932ToUtf8(u.unit);
                if (u.y != trace.front().y) ++wrapped;
            }
            if (k >= length) {  // beyond the line length only hung characters stand
                EXPECT_TRUE(hung(u.unit)) << "length " << length << ": " << cp932ToUtf8(u.unit);
                ++hungCount;
            }
        }
        EXPECT_EQ(drawn, expected) << "length " << length;
        EXPECT_GT(hungCount, 0) << length;  // the rule was exercised
        EXPECT_GT(wrapped, 100) << length;
    }
}
