// A desktop of scale 2 (Xft.dpi 192 in the X resources) on a virtual X server: the game window
// opens at twice the game's size, its menu bar twice as tall with text drawn at that size (not a
// doubled picture of the small one), --scale 1 still gives the picture its own size under the
// large menus, and the launcher is twice as large. Skipped without Xvfb, xdotool, xwd or xrdb.
#include <gtest/gtest.h>

#include "x_screen.h"

using namespace yv;

namespace {

const char* kBlueScript = "#fillclr(1, rgb(0, 128, 255));\r\n#paint();\r\n|idle:\r\n#wait(50);\r\n#goto(\"idle\");\r\n";

// Aligned 2 x 2 blocks of the area that are not of one colour: none in a picture doubled with
// nearest neighbour, many where text was drawn at twice the size.
long mixedBlocks(const Picture& p, Rect r) {
    long n = 0;
    for (int y = r.y; y + 1 < r.y + r.h; y += 2)
        for (int x = r.x; x + 1 < r.x + r.w; x += 2) {
            const uint8_t* a = p.at(x, y);
            for (const uint8_t* b : {p.at(x + 1, y), p.at(x, y + 1), p.at(x + 1, y + 1)})
                if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2]) {
                    ++n;
                    break;
                }
        }
    return n;
}

// Pixels of the area that are not the bar's background (its most common colour): the text.
long inkIn(const Picture& p, Rect r) {
    std::map<uint32_t, long> count;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            const uint8_t* c = p.at(x, y);
            ++count[(uint32_t{c[0]} << 16) | (uint32_t{c[1]} << 8) | c[2]];
        }
    long most = 0, all = 0;
    for (const auto& [c, k] : count) most = std::max(most, k), all += k;
    return all - most;
}

}  // namespace

TEST(XvfbHiDpi, WindowMenusAndLauncherFollowADesktopOfScale2) {
    const std::string missing = missingXTools(false);
    if (!missing.empty()) GTEST_SKIP() << missing;
    if (!have("xrdb")) GTEST_SKIP() << "xrdb missing (scripts/setup.sh installs it)";
    TempDir game, io;
    game.write("start.ini", "");
    game.write("script.txt", kBlueScript);
    const std::string out = runOnX(game, io, false,
                                   "start --scale 1; sleep 1.5; geom plain; shot plain; stop\n"
                                   "echo 'Xft.dpi: 192' | xrdb -nocpp -merge\n"
                                   "start; sleep 1.5; geom chosen; shot chosen; stop\n"
                                   "start --scale 1; sleep 1.5; geom small; shot small; stop\n"
                                   "mkdir -p \"$io/none\" \"$io/config\"\n"
                                   "(cd \"$io/none\" && XDG_CONFIG_HOME=\"$io/config\" \"$bin\" 2>>\"$io/err\") & pid=$!\n"
                                   "for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null "
                                   "| head -1); [ -n \"$w\" ] && break; sleep 0.05; done\n"
                                   "sleep 1; geom launcher; shot launcher; stop\n",
                                   true);
    ASSERT_NE(out.find("status 0"), std::string::npos) << out << io.read("err");
    const Rect plain = geometryIn(out, "plain"), chosen = geometryIn(out, "chosen"), small = geometryIn(out, "small");
    const int bar1 = plain.h - 480, bar2 = small.h - 480;
    ASSERT_EQ(plain.w, 640) << out;
    // The game's 640 x 480 at 2, under a bar as tall as at --scale 1.
    EXPECT_EQ(chosen.w, 1280) << out;
    EXPECT_EQ(chosen.h, 960 + bar2) << out;
    // --scale wins over the desktop's for the picture; the menus stay at the desktop's.
    EXPECT_EQ(small.w, 640) << out;
    EXPECT_GE(bar2, 2 * bar1 - 2) << out;
    EXPECT_LE(bar2, 2 * bar1 + 2) << out;

    const Picture p1 = readXwd(io.path() / "plain.xwd"), p2 = readXwd(io.path() / "chosen.xwd"),
                  ps = readXwd(io.path() / "small.xwd");
    ASSERT_GT(p1.w, 0);
    ASSERT_GT(p2.w, 0);
    ASSERT_GT(ps.w, 0);
    EXPECT_EQ(colourArea(p2, 0, 128, 255).count, 1280L * 960);
    EXPECT_EQ(colourArea(ps, 0, 128, 255).count, 640L * 480);
    // The bar's text at scale 2: about four times the ink of scale 1, drawn at that size (many
    // 2 x 2 blocks hold an edge), where the small bar has next to none.
    const Rect barPlain{plain.x, plain.y, 640, bar1}, barSmall{small.x, small.y, 640, bar2};
    const long ink1 = inkIn(p1, barPlain), ink2 = inkIn(ps, barSmall);
    EXPECT_GT(ink1, 50) << "no text in the bar at scale 1";
    EXPECT_GT(ink2, 2 * ink1) << ink1 << " " << ink2;
    EXPECT_GT(mixedBlocks(ps, barSmall), ink2 / 8) << ink2;
    if (std::getenv("YV_KEEP_SHOTS")) {
        writePngPart(p1, {plain.x, plain.y, 640, 80}, "/tmp/hidpi-bar-1.png");
        writePngPart(ps, {small.x, small.y, 640, 100}, "/tmp/hidpi-bar-2.png");
        writePngPart(p2, {chosen.x, chosen.y, chosen.w, chosen.h}, "/tmp/hidpi-window.png");
    }

    // The launcher: 640 x 460 twice over.
    const Rect launcher = geometryIn(out, "launcher");
    EXPECT_EQ(launcher.w, 1280) << out;
    EXPECT_EQ(launcher.h, 920) << out;
    if (std::getenv("YV_KEEP_SHOTS")) {
        const Picture pl = readXwd(io.path() / "launcher.xwd");
        writePngPart(pl, launcher, "/tmp/hidpi-launcher.png");
    }
}
