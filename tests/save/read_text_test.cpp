// The read-text memory: pages by file, an edited file forgetting only its own, its bound, and a
// file that reads back exactly or, damaged, as an empty memory.
#include <gtest/gtest.h>

#include <random>

#include "save/read_text.h"

using namespace yv;

TEST(ReadText, AnEditedFileForgetsItsOwnPagesOnlyAndNamesFoldTheirCase) {
    ReadText t;
    EXPECT_TRUE(t.note("script.txt", 1, 10));
    EXPECT_TRUE(t.note("script.txt", 1, 11));
    EXPECT_FALSE(t.note("SCRIPT.TXT", 1, 10));  // the same page, spelt as another jump spells it
    EXPECT_TRUE(t.note("second.txt", 7, 10));
    EXPECT_TRUE(t.isRead("Script.txt", 1, 11));
    EXPECT_FALSE(t.isRead("script.txt", 1, 12));
    EXPECT_EQ(t.pageCount(), 3u);

    // script.txt changed: its pages are unread, and noting one there starts its list afresh.
    EXPECT_FALSE(t.isRead("script.txt", 2, 10));
    EXPECT_TRUE(t.note("script.txt", 2, 12));
    EXPECT_FALSE(t.isRead("script.txt", 2, 10));
    EXPECT_FALSE(t.isRead("script.txt", 1, 10));
    EXPECT_TRUE(t.isRead("second.txt", 7, 10));
    EXPECT_EQ(t.pageCount(), 2u);
}

TEST(ReadText, TheFileReadsBackExactlyAndDamageReadsAsNothing) {
    ReadText t;
    for (uint64_t p = 0; p < 50; ++p) t.note("a.txt", 5, p * 977);
    t.note("b.txt", 6, 1);
    const Bytes file = t.encode();
    const ReadText back = ReadText::decode(file);
    EXPECT_EQ(back.pageCount(), 51u);
    EXPECT_TRUE(back.isRead("a.txt", 5, 49 * 977));
    EXPECT_TRUE(back.isRead("b.txt", 6, 1));
    EXPECT_EQ(back.encode(), file);

    // Every shortening, and every single byte changed, is refused whole.
    for (size_t n = 0; n < file.size(); ++n) EXPECT_EQ(ReadText::decode(file.substr(0, n)).pageCount(), 0u) << n;
    for (size_t i = 0; i < file.size(); ++i) {
        Bytes bad = file;
        bad[i] = static_cast<char>(bad[i] ^ 0x41);
        const ReadText r = ReadText::decode(bad);
        EXPECT_EQ(r.pageCount() + r.fileCount(), 0u) << i;
    }
    // Garbage, and a well-formed file that claims more pages than it holds (its checksum right).
    std::mt19937 rng(7);
    for (int k = 0; k < 200; ++k) {
        Bytes junk(rng() % 400, '\0');
        for (char& c : junk) c = static_cast<char>(rng());
        if (k % 2) junk.replace(0, std::min<size_t>(8, junk.size()), "YVREAD1\n");
        EXPECT_EQ(ReadText::decode(junk).pageCount(), 0u);
    }
    Bytes claims = "YVREAD1\n";
    claims += std::string("\x01\x00\x00\x00\x01\x00" "a" "\0\0\0\0\0\0\0\0" "\xff\xff\xff\x7f", 19);
    uint64_t sum = ReadText::hash(claims);
    for (int i = 0; i < 8; ++i) claims += static_cast<char>((sum >> (8 * i)) & 0xFF);
    EXPECT_EQ(ReadText::decode(claims).pageCount(), 0u);
}

TEST(ReadText, AFullMemoryKeepsWhatItHasAndRemembersNoMore) {
    ReadText t;
    for (uint64_t p = 0; p < ReadText::kMaxPages; ++p) ASSERT_TRUE(t.note("a.txt", 1, p));
    EXPECT_FALSE(t.note("a.txt", 1, ReadText::kMaxPages));
    EXPECT_FALSE(t.note("b.txt", 1, 0));
    EXPECT_TRUE(t.isRead("a.txt", 1, 0));
    EXPECT_FALSE(t.isRead("b.txt", 1, 0));
    // What it writes stays within what it reads back.
    const Bytes file = t.encode();
    EXPECT_LE(static_cast<int64_t>(file.size()), ReadText::kMaxFileBytes);
    EXPECT_EQ(ReadText::decode(file).pageCount(), ReadText::kMaxPages);
    // An edited file gives its room back.
    EXPECT_TRUE(t.note("a.txt", 2, 5));
    EXPECT_TRUE(t.note("b.txt", 1, 0));
}
