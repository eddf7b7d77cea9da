// The ring of kept pages: exact bytes back, the count and memory bounds, and a move back that
// forgets the later pages once another page is reached.
#include <gtest/gtest.h>

#include <random>

#include "save/pages.h"

using namespace yv;

namespace {

constexpr size_t kPicture = 640 * 480 * 3;

// A save file's size for a 640 x 480 game whose picture is noise: LZ4 cannot shrink it.
Bytes noisyPage(uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(kPicture + 600, '\0');
    for (char& c : b) c = static_cast<char>(rng());
    return b;
}

// Gradients under rows of glyph-like strokes, as a message page over a background.
Bytes picturePage(int n) {
    Bytes b(kPicture + 600, '\0');
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            auto* p = reinterpret_cast<uint8_t*>(b.data()) + (static_cast<size_t>(y) * 640 + x) * 3;
            p[0] = static_cast<uint8_t>(x / 3 + n);
            p[1] = static_cast<uint8_t>(y / 2);
            p[2] = static_cast<uint8_t>((x + y) / 5);
            const bool textRow = y >= 330 && y < 450 && y % 30 < 22;
            if (textRow && ((x * 7 + y * 3 + n) % 11 < 3)) p[0] = p[1] = p[2] = 255;
        }
    return b;
}

}  // namespace

TEST(Pages, GiveBackExactlyWhatWasKept) {
    Pages pages;
    EXPECT_FALSE(pages.newest());
    const Bytes a = picturePage(1), b = noisyPage(2);
    pages.keep(a);
    pages.keep(b);
    ASSERT_EQ(pages.count(), 2u);
    EXPECT_EQ(*pages.at(0), a);
    EXPECT_EQ(*pages.newest(), b);
    EXPECT_FALSE(pages.at(2));
    EXPECT_LT(pages.storedBytes(), a.size() + b.size() + 8192);
}

TEST(Pages, KeepTheShownPageAndTheHundredBefore) {
    Pages pages;
    for (int i = 0; i < 150; ++i) pages.keep("page " + std::to_string(i));
    EXPECT_EQ(pages.count(), 101u);
    EXPECT_EQ(*pages.at(0), "page 49");
    EXPECT_EQ(*pages.newest(), "page 149");
    EXPECT_EQ(pages.shown(), 100u);
}

TEST(Pages, NoisyPicturesStayWithinTheMemoryBound) {
    Pages pages;
    Bytes last;
    for (uint32_t i = 0; i < 101; ++i) {
        last = noisyPage(i);
        pages.keep(last);
        ASSERT_LE(pages.storedBytes(), Pages::kMaxBytes);
    }
    // About 70 noisy pages fit; the oldest went first.
    EXPECT_GT(pages.count(), 60u);
    EXPECT_LT(pages.count(), 101u);
    EXPECT_EQ(*pages.newest(), last);
    EXPECT_EQ(*pages.at(0), noisyPage(101 - static_cast<uint32_t>(pages.count())));
    EXPECT_EQ(pages.shown(), pages.count() - 1);
}

TEST(Pages, APageTooLargeForTheBoundIsNotKept) {
    Pages pages;
    pages.keep("small");
    std::mt19937 rng(7);
    Bytes huge(Pages::kMaxBytes + 1, '\0');
    for (char& c : huge) c = static_cast<char>(rng());
    pages.keep(huge);
    EXPECT_EQ(pages.count(), 0u);
    EXPECT_EQ(pages.storedBytes(), 0u);
    pages.keep("again");
    EXPECT_EQ(*pages.newest(), "again");
}

TEST(Pages, AMoveBackThenANewPageForgetsTheLaterOnes) {
    Pages pages;
    for (int i = 0; i < 5; ++i) pages.keep("p" + std::to_string(i));
    EXPECT_EQ(*pages.moveTo(2), "p2");
    EXPECT_EQ(pages.shown(), 2u);
    EXPECT_EQ(*pages.newest(), "p2");  // the page shown, for a resume file
    EXPECT_TRUE(pages.takeMove());     // its statement shows it again: no new page
    EXPECT_FALSE(pages.takeMove());
    EXPECT_EQ(pages.count(), 5u);      // still there to go forward to
    EXPECT_EQ(*pages.moveTo(3), "p3");
    pages.takeMove();
    pages.keep("q4");
    ASSERT_EQ(pages.count(), 5u);
    EXPECT_EQ(*pages.at(3), "p3");
    EXPECT_EQ(*pages.at(4), "q4");
    EXPECT_EQ(pages.shown(), 4u);
    EXPECT_FALSE(pages.moveTo(5));
    EXPECT_EQ(*pages.moveTo(0), "p0");
    pages.takeMove();
    pages.keep("r1");
    EXPECT_EQ(pages.count(), 2u);
    EXPECT_EQ(*pages.newest(), "r1");
}
