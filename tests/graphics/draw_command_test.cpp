// The blit, fill and transition commands through the interpreter: argument forms, results,
// presenting, records, and for each transition the number of increments and the final picture.
#include <gtest/gtest.h>

#include "graphics/present.h"
#include "gfx_util.h"

using namespace yv;
using namespace yv::test;

TEST(DrawCommands, BitbltFormsContrastAndPresenting) {
    Game g(8, 4);
    g.rt->config.contrast = 40;
    const int before = g.platform.presentCount();
    g.run("#savetmp();\n#fillclr(1, rgb(250, 100, 0));\n@1 = #bitblt(0, 0, 0, 8, 4, 1, 0, 0, 0);\n"
          "@2 = #bitblt(3, 0, 0, 8, 4, 1, 0, 0, 0);\n@3 = #bitblt(-0, 0, 0, 1);");
    EXPECT_EQ(g.rt->interp.ivar[1], 1);
    EXPECT_EQ(g.rt->interp.ivar[2], 0);  // screen 3 does not exist
    EXPECT_EQ(at(g.screen(0), 7, 3), (Bgr{40, 140, 255}));
    EXPECT_EQ(g.platform.presentCount(), before);  // no negative destination: nothing presented
    g.run("#bitblt(-2, 0, 0, 8, 4, 1, 0, 0, 1);\n#createimage(2);\n#bitblt(-2, 0, 0, 8, 4, 1, 0, 0, 1);");
    EXPECT_EQ(g.platform.presentCount(), before + 1);
    EXPECT_NE(g.rt->save.log.text.find("@52,0,0,0,8,4,1,0,0,0,@52,0,0,0,8,4,1,0,0,0,"), std::string::npos)
        << g.rt->save.log.text;
}

TEST(DrawCommands, BltAlphabltAndTheMaskFromAPng) {
    Game g(6, 2);
    std::vector<uint8_t> rgba;
    for (int i = 0; i < 4; ++i) rgba.insert(rgba.end(), {200, 100, 50, static_cast<uint8_t>(i % 2 ? 255 : 0)});
    g.dir.write("s.png", pngRgba(2, 2, rgba));
    g.run("#fillclr(1, rgb(1, 1, 1));\n#loadimage(4, \"s.png\", 5);\n@1 = #alphablt(2, 0, 4, 5);\n"
          "@2 = #alphablt(1, 0, 0, 4, 6);\n#blt(1, 4, 0, 4);");
    EXPECT_EQ(g.rt->interp.ivar[1], 1);
    EXPECT_EQ(g.rt->interp.ivar[2], 0);  // mask screen 6 missing
    // Transparent PNG pixels are copied, opaque ones leave the destination as it was.
    EXPECT_EQ(at(g.screen(1), 2, 0), (Bgr{50, 100, 200}));
    EXPECT_EQ(at(g.screen(1), 3, 0), (Bgr{1, 1, 1}));
    EXPECT_EQ(at(g.screen(1), 5, 1), (Bgr{50, 100, 200}));
}

TEST(DrawCommands, ClrRangesAndFills) {
    Game g(4, 4);
    g.run("#createimage(2, 4, 4, 4);\n#fillclr(2, rgb(9, 9, 9));\n#fillclr(3, rgb(9, 9, 9));\n#savetmp();\n"
          "#clr(3);\n#clr(3, 3);\n#clr(0, 6);");
    EXPECT_EQ(at(g.screen(2), 0, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(at(g.screen(3), 0, 0), (Bgr{0, 0, 0}));
    EXPECT_NE(g.rt->save.log.text.find("@56,3,3,@56,3,4,@56,0,7,"), std::string::npos);
    g.run("#fillclr(2, rgb(9, 9, 9));\n#clr(3);");
    EXPECT_EQ(at(g.screen(2), 0, 0), (Bgr{9, 9, 9}));
}

TEST(DrawCommands, MonofillTransfillAndMosaicThroughScripts) {
    Game g(4, 2);
    g.run("#fillclr(1, rgb(100, 200, 50));\n#monofill(1, 0, 0, 2, 1, rgb(0, 0, 0));\n"
          "#transfill(1, 3, 1, 1, 1, rgb(-120, 60, 0));\n@1 = #mosaicblt(1, 2, 0);");
    EXPECT_EQ(at(g.screen(1), 0, 0), (Bgr{153, 153, 153}));
    EXPECT_EQ(at(g.screen(1), 2, 0), (Bgr{50, 200, 100}));
    EXPECT_EQ(at(g.screen(1), 3, 1), (Bgr{50, 255, 0}));
    EXPECT_EQ(g.rt->interp.ivar[1], 0);  // mosaicblt needs all four numbers
}

TEST(DrawCommands, TransbltConvergesInEightRuns) {
    Game g(4, 2);
    g.run("#createimage(2);\n#fillclr(2, rgb(255, 255, 255));");
    for (int i = 0; i < 7; ++i) g.run("#transblt(1, 0, 0, 2, 32);");
    EXPECT_EQ(at(g.screen(1), 1, 1), (Bgr{224, 224, 224}));
    g.run("#transblt(1, 0, 0, 2, 32);");
    EXPECT_EQ(at(g.screen(1), 1, 1), (Bgr{255, 255, 255}));
}

namespace {

// Presents made by a transition = its increments (each presents exactly once).
int increments(Game& g, const std::string& setup, const std::string& command) {
    g.run(setup);
    const int before = g.platform.presentCount();
    g.run(command);
    return g.platform.presentCount() - before;
}

}  // namespace

TEST(Transitions, FadeOutTakesSixteenIncrementsToBlack) {
    Game g(8, 4);
    EXPECT_EQ(increments(g, "#fillclr(0, rgb(255, 128, 3));", "#fade(0, -16, 256);"), 16);
    EXPECT_EQ(at(g.screen(0), 7, 3), (Bgr{0, 0, 0}));
    EXPECT_FALSE(g.rt->screens.fadeOn);
}

TEST(Transitions, FadeInStopsAtTheSourceAndWorksOffScreenWithNegativeDst) {
    Game g(8, 4);
    EXPECT_EQ(increments(g, "#fillclr(1, rgb(200, 100, 10));\n#createimage(2);", "#fade(-2, 64, 256, 0, 0, 0, 8, 4, 1);"), 4);
    EXPECT_EQ(at(g.screen(2), 0, 0), (Bgr{10, 100, 200}));
    EXPECT_EQ(at(g.screen(0), 0, 0), (Bgr{10, 100, 200}));  // copied to screen 0 each time
}

TEST(Transitions, ALeftClickCutsAFadeShort) {
    Game g(8, 4);
    g.run("#fillclr(1, rgb(255, 255, 255));");
    g.rt->interp.setText(sjis("#fade(0, 32, 256, 1);\n#end();\n"));
    g.rt->interp.pos = 0;
    g.rt->interp.running = 1;
    g.rt->interp.halt = 0;
    script::step(*g.rt);
    script::step(*g.rt);
    EXPECT_EQ(at(g.screen(0), 0, 0), (Bgr{64, 64, 64}));
    g.rt->interp.leftClick = 1;
    script::step(*g.rt);
    EXPECT_EQ(at(g.screen(0), 0, 0), (Bgr{255, 255, 255}));
    EXPECT_FALSE(g.rt->screens.fadeOn);
}

TEST(Transitions, NoWaitFinishesInOneIncrement) {
    Game g(8, 4);
    g.rt->app.noWait = 1;
    EXPECT_EQ(increments(g, "#fillclr(0, rgb(255, 255, 255));", "#fade(0, -8, 255);"), 1);
    EXPECT_EQ(at(g.screen(0), 0, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(increments(g, "#fillclr(1, rgb(9, 200, 9));", "#transfade(0, 4, 255);"), 1);
    EXPECT_EQ(at(g.screen(0), 0, 0), (Bgr{9, 200, 9}));
}

TEST(Transitions, TransfadeCrossFadesAndRecords) {
    Game g(8, 4);
    EXPECT_EQ(increments(g, "#fillclr(1, rgb(255, 0, 128));\n#savetmp();", "#transfade(0, 32, 256, 0, 2, 1, 4, 2, 1);"), 8);
    EXPECT_EQ(at(g.screen(0), 2, 1), (Bgr{128, 0, 255}));
    EXPECT_EQ(at(g.screen(0), 5, 2), (Bgr{128, 0, 255}));
    EXPECT_EQ(at(g.screen(0), 1, 1), (Bgr{0, 0, 0}));  // outside the rectangle
    EXPECT_EQ(at(g.screen(0), 6, 1), (Bgr{0, 0, 0}));
    EXPECT_NE(g.rt->save.log.text.find("@65,0,256,2,1,4,2,1,"), std::string::npos) << g.rt->save.log.text;
    EXPECT_EQ(increments(g, "", "@1 = #transfade(0, 32, 256, 0, 0, 0, 8, 4, 9);"), 0);
    EXPECT_EQ(g.rt->interp.ivar[1], 0);
}

TEST(Transitions, MosaicfadeRunsUpThenDownAndEndsOnTheSource) {
    Game g(32, 16);
    std::mt19937 rng(1);
    g.screen(1) = randomScreen(rng, 32, 16);
    // Up: sizes 2..15 (14 increments), down: 16..1 (16 increments).
    EXPECT_EQ(increments(g, "", "#mosaicfade(0, 16, 0, 1, 0, 1, 0, 0, 0, 0, 0);"), 30);
    EXPECT_EQ(g.screen(0).pixels, g.screen(1).pixels);  // the last mosaic has blocks of one pixel
}

TEST(Transitions, MosaicfadeModeOneEndsInAFadeToBlack) {
    Game g(16, 8);
    g.run("#fillclr(1, rgb(100, 100, 100));\n#createimage(2);");
    const int n = increments(g, "", "#mosaicfade(2, 4, 0, 1, 0, 1, 0, 1, 25, 100, 0);");
    EXPECT_EQ(n, 2 + 1 + 4);  // sizes 2, 3; the turn; then the fade's four increments
    EXPECT_EQ(at(g.screen(0), 3, 3), (Bgr{0, 0, 0}));
}

TEST(Transitions, WipePushTakesFortyIncrements) {
    Game g(64, 8);
    g.run("#createimage(2);\n#fillclr(2, rgb(0, 255, 0));\n#fillclr(0, rgb(255, 0, 0));");
    const int before = g.platform.presentCount();
    g.run("#wipe(2, 16, 640, 1);");
    EXPECT_EQ(g.platform.presentCount() - before, 40);
    EXPECT_EQ(at(g.screen(0), 0, 0), (Bgr{0, 255, 0}));
    EXPECT_EQ(at(g.screen(0), 63, 7), (Bgr{0, 255, 0}));
}

TEST(Transitions, WipePushSlidesTheNewPictureInFromTheLeft) {
    Game g(8, 2);
    g.run("#createimage(2);");
    for (int x = 0; x < 8; ++x) set(g.screen(2), x, 0, {static_cast<uint8_t>(x), 0, 0});
    g.rt->interp.setText(sjis("#wipe(2, 2, 8, 1);\n#end();\n"));
    g.rt->interp.pos = 0;
    g.rt->interp.running = 1;
    g.rt->interp.halt = 0;
    script::step(*g.rt);
    EXPECT_EQ(at(g.screen(0), 0, 0).b, 6);  // the new picture's right edge enters first
    EXPECT_EQ(at(g.screen(0), 1, 0).b, 7);
    script::step(*g.rt);
    EXPECT_EQ(at(g.screen(0), 0, 0).b, 4);
    EXPECT_EQ(at(g.screen(0), 3, 0).b, 7);
}

TEST(Transitions, BlindsShakesAndUnknownTypes) {
    Game g(16, 8);
    g.run("#createimage(2);\n#fillclr(2, rgb(1, 2, 3));\n#fillclr(1, rgb(7, 7, 7));\n#fillclr(0, rgb(7, 7, 7));");
    int before = g.platform.presentCount();
    g.run("#wipe(2, 4, 16, 5);");  // 4 bands, finished when 4k > 16: 5 increments
    EXPECT_EQ(g.platform.presentCount() - before, 5);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(at(g.screen(0), x, 5), (Bgr{3, 2, 1}));
    before = g.platform.presentCount();
    g.run("#wipe(3, 2, 1, 7);");  // a shake: 9 frames, one increment, back to screen 1 afterwards
    EXPECT_EQ(g.platform.presentCount() - before, 10);
    EXPECT_EQ(g.screen(0).pixels, g.screen(1).pixels);
    before = g.platform.presentCount();
    g.run("#wipe(2, 4, 16, 99);\n#wipe(2, 0, 16, 1);");
    EXPECT_EQ(g.platform.presentCount() - before, 2);
}

TEST(Transitions, EffectDrawsParticlesButLeavesScreenZero) {
    Game g(64, 48);
    g.run("#fillclr(0, rgb(10, 20, 30));");
    const Screen before = g.screen(0);
    g.run("#effect();\n#wait(10);\n#wait(10);");
    EXPECT_TRUE(g.rt->screens.effectOn);
    EXPECT_EQ(g.screen(0).pixels, before.pixels);  // restored after every frame
    int w = 0, h = 0;
    const auto shown = g.platform.shownFrame(w, h);
    ASSERT_EQ(w, 64);
    EXPECT_NE(shown, before.pixels);  // what was presented had sparkles on it
}
