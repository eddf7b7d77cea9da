// Where the picture goes in windows of any size and how points map to the game screen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/window_layout.h"

using namespace yv;

TEST(WindowLayout, PictureKeepsItsAspectWithBarsInAnyArea) {
    struct Case {
        Rect area;
        Rect want;
    } cases[] = {
        {{0, 20, 640, 480}, {0, 20, 640, 480}},      // its own size
        {{0, 20, 1280, 960}, {0, 20, 1280, 960}},    // a whole scale
        {{0, 0, 1920, 1080}, {240, 0, 1440, 1080}},  // wide: bars left and right
        {{0, 0, 1280, 1024}, {0, 32, 1280, 960}},    // tall: bars above and below
        {{0, 44, 1000, 656}, {63, 44, 874, 656}},    // a window the player dragged
        {{0, 0, 1, 1}, {0, 0, 1, 1}},                // never empty
    };
    for (const auto& c : cases) {
        const Rect r = fitPicture(c.area, 640, 480);
        EXPECT_EQ(r.x, c.want.x) << c.area.w << "x" << c.area.h;
        EXPECT_EQ(r.y, c.want.y) << c.area.w << "x" << c.area.h;
        EXPECT_EQ(r.w, c.want.w) << c.area.w << "x" << c.area.h;
        EXPECT_EQ(r.h, c.want.h) << c.area.w << "x" << c.area.h;
    }
}

TEST(WindowLayout, EveryGamePixelIsHitAtItsOwnPlaceAtEverySize) {
    // The pointer put on a game pixel maps back to that pixel, and the picture's corners and
    // the bars outside it clamp to the screen's edges.
    for (const Rect area : {Rect{0, 22, 640, 480}, Rect{0, 44, 1280, 960}, Rect{0, 44, 1440, 956},
                            Rect{0, 0, 1920, 1080}, Rect{0, 33, 900, 500}, Rect{0, 22, 661, 497}}) {
        const Rect pic = fitPicture(area, 640, 480);
        for (int gy = 0; gy < 480; gy += 7)
            for (int gx = 0; gx < 640; gx += 5) {
                int wx, wy, bx, by;
                gameToWindow(pic, 640, 480, gx, gy, wx, wy);
                windowToGame(pic, 640, 480, wx, wy, bx, by);
                ASSERT_EQ(bx, gx) << area.w << "x" << area.h;
                ASSERT_EQ(by, gy) << area.w << "x" << area.h;
            }
        int gx, gy;
        windowToGame(pic, 640, 480, pic.x - 50, pic.y - 50, gx, gy);
        EXPECT_EQ(gx, 0);
        EXPECT_EQ(gy, 0);
        windowToGame(pic, 640, 480, pic.x + pic.w + 50, pic.y + pic.h + 50, gx, gy);
        EXPECT_EQ(gx, 639);
        EXPECT_EQ(gy, 479);
        // One window pixel left of the picture is outside it and clamps to the edge.
        windowToGame(pic, 640, 480, pic.x - 1, pic.y + pic.h / 2, gx, gy);
        EXPECT_EQ(gx, 0);
        EXPECT_EQ(gy, 240);
    }
}

TEST(WindowLayout, SharpFilterPrescalesToTheLargestWholeScale) {
    EXPECT_EQ(sharpPrescale({0, 0, 1440, 1080}, 640, 480), 2);  // 2.25
    EXPECT_FALSE(wholeScale({0, 0, 1440, 1080}, 640, 480));
    EXPECT_EQ(sharpPrescale({0, 0, 1280, 960}, 640, 480), 2);
    EXPECT_TRUE(wholeScale({0, 0, 1280, 960}, 640, 480));
    EXPECT_EQ(sharpPrescale({0, 0, 500, 375}, 640, 480), 1);  // smaller than the game
    EXPECT_FALSE(wholeScale({0, 0, 500, 375}, 640, 480));
}

TEST(WindowLayout, AScaleThatDoesNotFitTheDesktopIsLowered) {
    // 640 x 480 at 3 on a 1280 x 1024 desktop would be 1920 wide: 1 is what fits.
    EXPECT_EQ(fitWindowScale(3, 640, 480, 22, 1280, 1024, 8, 32), 1);
    // 320 x 240 at 3 fits (960 x 720 and a bar of three times the height).
    EXPECT_EQ(fitWindowScale(3, 320, 240, 22, 1280, 1024, 8, 32), 3);
    // 320 x 240 at 4 is as wide as the desktop, with no room for the frame: 3 it is.
    EXPECT_EQ(fitWindowScale(4, 320, 240, 22, 1280, 1024, 8, 32), 3);
    EXPECT_EQ(fitWindowScale(2, 4000, 4000, 22, 1280, 1024, 8, 32), 1);  // never below 1
    // Chosen for the player: the largest that leaves some room.
    EXPECT_EQ(fitWindowScale(0, 640, 480, 22, 1920, 1080, 8, 32), 1);
    EXPECT_EQ(fitWindowScale(0, 640, 480, 22, 2560, 1440, 8, 32), 2);
}

TEST(WindowLayout, AScaledDesktopOpensTheWindowAtItsScaleWhereItFits) {
    // 1920 x 1080 at desktop scale 2: 1280 x 960 with a doubled bar (44) and the frame fit,
    // where the choice for a plain desktop leaves more room and takes 1.
    EXPECT_EQ(fitWindowScale(0, 640, 480, 22, 1920, 1080, 8, 32, 2), 2);
    // 1280 x 1024 cannot hold 960 lines, a bar and a frame: 1.
    EXPECT_EQ(fitWindowScale(0, 640, 480, 22, 1280, 1024, 8, 32, 2), 1);
    // A larger choice of the plain rule stays.
    EXPECT_EQ(fitWindowScale(0, 320, 240, 22, 2560, 1440, 8, 32, 2), 4);
    // The desktop's larger bar counts when --scale is lowered: at 2 on a desktop of scale 3,
    // 960 + 66 + 32 > 1040, where the bar of 44 the window's scale gives would fit.
    EXPECT_EQ(fitWindowScale(2, 640, 480, 22, 1920, 1040, 8, 32, 3), 1);
    EXPECT_EQ(fitWindowScale(2, 640, 480, 22, 1920, 1040, 8, 32, 1), 2);
    // --scale wins over the desktop's.
    EXPECT_EQ(fitWindowScale(1, 640, 480, 22, 3840, 2160, 8, 32, 2), 1);
}

TEST(WindowLayout, MenusAreNeverSmallerThanTheDesktopDrawsThem) {
    EXPECT_EQ(uiScaleFor({0, 0, 640, 480}, 640, 480, 2), 2.0f);
    EXPECT_EQ(uiScaleFor({0, 0, 1600, 1200}, 640, 480, 2), 2.5f);  // a larger picture still grows them
    EXPECT_EQ(uiScaleFor({0, 0, 1600, 1200}, 640, 480, 1), 2.5f);
}

TEST(WindowLayout, MenusGrowWithThePictureInHalfSteps) {
    EXPECT_EQ(uiScaleFor({0, 0, 640, 480}, 640, 480), 1.0f);
    EXPECT_EQ(uiScaleFor({0, 0, 1280, 1024}, 640, 480), 2.0f);
    EXPECT_EQ(uiScaleFor({0, 0, 1600, 1200}, 640, 480), 2.5f);
    EXPECT_EQ(uiScaleFor({0, 0, 3840, 2160}, 640, 480), 3.0f);  // at most 3
    EXPECT_EQ(uiScaleFor({0, 0, 320, 240}, 640, 480), 1.0f);    // never below 1
}

TEST(WindowLayout, FilterNames) {
    EXPECT_EQ(parseScaleFilter("sharp"), ScaleFilter::Sharp);
    EXPECT_EQ(parseScaleFilter("nearest"), ScaleFilter::Nearest);
    EXPECT_EQ(parseScaleFilter("smooth"), ScaleFilter::Smooth);
    EXPECT_FALSE(parseScaleFilter("Sharp").has_value());
    EXPECT_FALSE(parseScaleFilter("").has_value());
    for (ScaleFilter f : {ScaleFilter::Sharp, ScaleFilter::Nearest, ScaleFilter::Smooth})
        EXPECT_EQ(parseScaleFilter(scaleFilterName(f)), f);
}

TEST(WindowLayout, ASmallerPictureStillMapsEveryPointNearItsPlace) {
    const Rect pic = fitPicture({0, 22, 500, 400}, 640, 480);  // 500 x 375
    for (int gy = 0; gy < 480; gy += 3)
        for (int gx = 0; gx < 640; gx += 3) {
            int wx, wy, bx, by;
            gameToWindow(pic, 640, 480, gx, gy, wx, wy);
            windowToGame(pic, 640, 480, wx, wy, bx, by);
            ASSERT_LE(std::abs(bx - gx), 1);
            ASSERT_LE(std::abs(by - gy), 1);
        }
}

// Debug windows open beside the game, never over it: where there is room beside it, else
// beside each other over none of the game, else with the game moved to one side of the desktop.
TEST(WindowLayout, ToolWindowsGoBesideTheGameNeverOverIt) {
    auto overlap = [](const Rect& a, const Rect& b) {
        return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
    };
    const Rect wide{0, 0, 1920, 1200};
    // Room on both sides: the monitor to the right, the preview to the left.
    ToolSpot s = placeToolWindow(wide, {640, 349, 640, 502}, 470, 620, {}, true);
    ASSERT_TRUE(s.found);
    EXPECT_FALSE(s.moveGame);
    EXPECT_EQ(s.x, 640 + 640 + 8);
    EXPECT_EQ(s.y, 349);
    s = placeToolWindow(wide, {640, 349, 640, 502}, 537, 590, {{1288, 349, 470, 620}}, false);
    EXPECT_EQ(s.x, 640 - 537 - 8);
    // Near the desktop's foot, level with as much of the game as fits.
    s = placeToolWindow(wide, {640, 900, 640, 300}, 470, 620, {}, true);
    EXPECT_EQ(s.y, 1200 - 620);

    // A centred game on 1280 x 1024 leaves no room either side: it moves to the left edge.
    const Rect desk{0, 0, 1280, 1024};
    const Rect game{320, 261, 640, 502};
    s = placeToolWindow(desk, game, 470, 620, {}, true);
    ASSERT_TRUE(s.found);
    ASSERT_TRUE(s.moveGame);
    const Rect moved{s.gameX, s.gameY, game.w, game.h};
    EXPECT_EQ(moved.x, 0);
    const Rect monitor{s.x, s.y, 470, 620};
    EXPECT_FALSE(overlap(monitor, moved));
    // The second window shares the free side with the first rather than cover the game.
    s = placeToolWindow(desk, moved, 537, 590, {monitor}, false);
    ASSERT_TRUE(s.found);
    EXPECT_FALSE(s.moveGame);
    const Rect preview{s.x, s.y, 537, 590};
    EXPECT_FALSE(overlap(preview, moved));
    EXPECT_GE(preview.x, 0);
    EXPECT_LE(preview.x + preview.w, 1280);
    EXPECT_LE(preview.y + preview.h, 1024);

    // No room anywhere: nothing is found (the window manager places it).
    EXPECT_FALSE(placeToolWindow({0, 0, 800, 600}, {0, 0, 800, 600}, 470, 620, {}, true).found);
}
