// The pixel library as a whole: the grey formula over its whole domain, the switch to the
// plain twins, and that it reaches nothing above it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "pixels/pixel_ops.h"

using namespace yv::pixels;

// Every 24-bit colour: the integer grey level is the double formula's truncation, also where the
// formula's exact value is a whole number and the doubles land a hair below it.
TEST(PixelLibrary, IntegerGreyEqualsTheDoubleFormulaForEveryColour) {
    long below = 0;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                const int want = ref::grey(r, g, b);
                if (fast::grey(r, g, b) != want) FAIL() << "r " << r << " g " << g << " b " << b << " want " << want;
                below += want * 100 != 30 * r + 59 * g + 11 * b && (30 * r + 59 * g + 11 * b) % 100 == 0;
            }
    EXPECT_GT(below, 0);  // the cases that make the exact rounding necessary were met
}

// The same through the row loops (64, 32 and 16 pixels at a time, as far as the processor
// allows): every colour at least once, in rows whose width leaves work for each narrower loop
// and the scalar tail, each channel kept or greyed as asked.
TEST(PixelLibrary, GreyToneRowsGiveTheFormulaForEveryColour) {
    constexpr int kWidth = 4093, kHeight = (1 << 24) / kWidth + 1;  // 4093 = 63 x 64 + 32 + 16 + 13
    std::vector<uint8_t> all(size_t{kWidth} * kHeight * 3);
    for (size_t i = 0; i < size_t{kWidth} * kHeight; ++i) {
        const uint32_t c = static_cast<uint32_t>(i) & 0xffffff;
        all[3 * i] = static_cast<uint8_t>(c);            // blue
        all[3 * i + 1] = static_cast<uint8_t>(c >> 8);   // green
        all[3 * i + 2] = static_cast<uint8_t>(c >> 16);  // red
    }
    struct Keep {
        int r, g, b;
    };
    for (const int lanes : {64, 32, 16})
        for (const Keep keep : {Keep{0, 0, 0}, Keep{0, 77, 0}, Keep{200, 0, 5}}) {
            std::vector<uint8_t> px = all;
            fast::greyToneLanes(View{px.data(), kWidth, kHeight}, 0, 0, kWidth, kHeight, keep.r, keep.g, keep.b, lanes);
            for (size_t i = 0; i < size_t{kWidth} * kHeight; ++i) {
                const uint8_t* o = &all[3 * i];
                const int want = ref::grey(o[2], o[1], o[0]);
                const uint8_t* p = &px[3 * i];
                if (p[0] != (keep.b ? keep.b : want) || p[1] != (keep.g ? keep.g : want) || p[2] != (keep.r ? keep.r : want))
                    FAIL() << lanes << " lanes, pixel " << i << " (" << int(o[2]) << " " << int(o[1]) << " " << int(o[0])
                           << "): " << int(p[2]) << " " << int(p[1]) << " " << int(p[0]) << " want " << want;
            }
        }
}

TEST(PixelLibrary, ReferenceSwitchSelectsTheTwins) {
    EXPECT_FALSE(referenceRequested(nullptr));
    EXPECT_FALSE(referenceRequested(""));
    EXPECT_FALSE(referenceRequested("0"));
    EXPECT_TRUE(referenceRequested("1"));
    EXPECT_EQ(loops().compose, &fast::compose);
    useReferenceLoops(true);
    const Loops& r = loops();
    EXPECT_TRUE(r.copyRect == &ref::copyRect && r.alphaRect == &ref::alphaRect && r.stepToward == &ref::stepToward &&
                r.fadeDown == &ref::fadeDown && r.fadeUp == &ref::fadeUp && r.fill == &ref::fill &&
                r.greyTone == &ref::greyTone && r.tint == &ref::tint && r.mosaic == &ref::mosaic &&
                r.maskedBlit == &ref::maskedBlit && r.compose == &ref::compose && r.drawCoverage == &ref::drawCoverage);
    useReferenceLoops(false);
    const Loops& f = loops();
    EXPECT_TRUE(f.copyRect == &fast::copyRect && f.alphaRect == &fast::alphaRect && f.stepToward == &fast::stepToward &&
                f.fadeDown == &fast::fadeDown && f.fadeUp == &fast::fadeUp && f.fill == &fast::fill &&
                f.greyTone == &fast::greyTone && f.tint == &fast::tint && f.mosaic == &fast::mosaic &&
                f.maskedBlit == &fast::maskedBlit && f.compose == &fast::compose &&
                f.drawCoverage == &fast::drawCoverage);
}

// The loops sit below the screens, the text and the platform: they include nothing of them.
TEST(PixelLibrary, IncludesNothingAboveIt) {
    const std::filesystem::path dir = std::filesystem::path(YV_SOURCE_DIR) / "src" / "pixels";
    const std::regex include(R"re(#include\s+"([^"/]+)/)re");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            std::smatch m;
            if (std::regex_search(line, m, include)) {
                EXPECT_EQ(m[1].str(), "pixels") << entry.path() << ": " << line;
            }
        }
        ++files;
    }
    EXPECT_GT(files, 5);
}
