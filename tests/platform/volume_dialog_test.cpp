// The volume dialog "ﾎﾞﾘｭｰﾑ設定" in a real window: opened from the menu bar, its sliders change
// the game's volumes at once, its box mutes. Once more on an X server (Xvfb), where it leaves a
// screenshot of itself.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>

#include "graphics/png_write.h"
#include "platform/audio/audio_engine.h"
#include "sdl_events.h"

using namespace yv;

TEST(SdlVolumeDialog, SlidersAndTheMuteBoxChangeTheVolumesAtOnce) {
    // Run by the Xvfb test below on a real X server; on its own under the dummy drivers.
    const bool onX = std::getenv("YV_VOLUME_ON_X") != nullptr;
    if (!onX) setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    TempDir dir;
    dir.write("start.ini", sjis("[MCI]\r\nWave=1\r\n"));
    dir.write("script.txt", "|top:\r\n#mouseclickwait(1);\r\n#goto(\"top\");\r\n");
    Options opt;
    opt.gameDir = dir.path();
    opt.scale = 1;
    std::string why;
    auto platform = makeSdlPlatform(SdlWindowOptions{opt.scale}, why);
    if (!platform) GTEST_SKIP() << "no SDL video: " << why;
    ASSERT_NE(platform->audio(), nullptr) << "the dummy audio driver opens";
    Shell shell(*platform, opt);
    ASSERT_TRUE(shell.start(why)) << why;
    Runtime& rt = shell.runtime();
    auto rect = [&](const std::string& key) -> std::optional<SdlItemRect> {
        auto rects = sdlItemRects(*platform);
        auto it = rects.find(key);
        if (it == rects.end()) return std::nullopt;
        return it->second;
    };
    auto settled = [&](const std::string& key) {
        std::optional<SdlItemRect> last;
        for (int i = 0; i < 100; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            auto now = rect(key);
            if (now && last && now->x == last->x && now->y == last->y && now->w == last->w) return now;
            last = now;
        }
        return last;
    };
    auto percent = [&] {
        int32_t p = -1;
        rt.media.volume.percent(p);
        return p;
    };
    rt.media.volume.setWaveLevel(40000);

    bool opened = false, closed = false, muted = false, valueBelow = false;
    int atTop = -1, atMiddle = -1, atBottom = -1, lastAtTop = -1;
    uint16_t waveAfter = 0;
    std::thread player([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!waitFor([&] { return rect("設定").has_value(); })) return platform->requestClose();
        if (auto menu = settled("設定")) clickAt(*menu);
        if (!waitFor([&] { return rect("#32773").has_value(); })) return platform->requestClose();
        if (auto entry = settled("#32773")) clickAt(*entry);
        opened = waitFor([&] { return rect("slider:master").has_value(); });
        auto master = settled("slider:master");
        if (!master) return platform->requestClose();
        // A press on the slider sets the volume where it lands, at once; the top is the loudest.
        SdlItemRect r = *master;
        clickAt({r.x, r.y + r.h / 2 - 2, r.w, 4});
        waitFor([&] { return percent() >= 40 && percent() <= 60; }, 2000);
        atMiddle = percent();
        clickAt({r.x, r.y + r.h - 3, r.w, 2});
        waitFor([&] { return percent() == 0; }, 2000);
        atBottom = percent();
        clickAt({r.x, r.y + 1, r.w, 2});
        waitFor([&] { return percent() == 100; }, 2000);
        atTop = percent();
        lastAtTop = rt.media.volume.lastVolume;
        // The number stands under the slider, where the thumb at the top never covers it.
        if (auto value = settled("value:master")) valueBelow = value->y >= r.y + r.h;
        if (auto wave = settled("slider:wave")) {
            clickAt({wave->x, wave->y + wave->h - 3, wave->w, 2});
            waitFor([&] {
                rt.media.volume.waveLevel(waveAfter);
                return waveAfter < 40000;
            }, 2000);
        }
        if (auto box = settled("check:mute")) clickAt(*box);
        waitFor([&] {
            bool m = false;
            rt.media.volume.mute(m);
            return muted = m;
        }, 2000);
        if (const char* shot = std::getenv("YV_VOLUME_SHOT")) {
            // Back to the middle for the picture, with the status line showing.
            clickAt({r.x, r.y + r.h / 2 - 2, r.w, 4});
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            int w = 0, h = 0;
            auto px = sdlWindowPixels(*platform, w, h);
            if (!px.empty()) writePng(shot, px.data(), w, h);
        }
        if (auto ok = settled("button:OK")) clickAt(*ok);
        closed = waitFor([&] { return !rect("slider:master").has_value(); }, 3000);
        platform->requestClose();
    });
    EXPECT_EQ(shell.run(), 0);
    player.join();
    EXPECT_TRUE(opened);
    EXPECT_GE(atMiddle, 40);
    EXPECT_LE(atMiddle, 60);
    EXPECT_EQ(atBottom, 0);
    EXPECT_EQ(atTop, 100);
    EXPECT_EQ(lastAtTop, 100);
    EXPECT_TRUE(valueBelow);
    EXPECT_LT(waveAfter, 2000);
    EXPECT_TRUE(muted);
    EXPECT_TRUE(closed);
}

// Without a sound device every control is greyed, and the dialog says why; the slider tracks
// and the boxes show without the pointer on them (their ground is not the dialog's white).
TEST(SdlVolumeDialog, WithoutASoundDeviceItSaysSoAndItsControlsShow) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    TempDir dir;
    dir.write("start.ini", "");
    dir.write("script.txt", "|top:\r\n#mouseclickwait(1);\r\n#goto(\"top\");\r\n");
    Options opt;
    opt.gameDir = dir.path();
    opt.scale = 1;
    std::string why;
    auto platform = makeSdlPlatform(SdlWindowOptions{opt.scale}, why);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!platform) GTEST_SKIP() << "no SDL video: " << why;
    ASSERT_EQ(platform->audio(), nullptr);
    Shell shell(*platform, opt);
    ASSERT_TRUE(shell.start(why)) << why;
    auto rect = [&](const std::string& key) -> std::optional<SdlItemRect> {
        auto rects = sdlItemRects(*platform);
        auto it = rects.find(key);
        if (it == rects.end()) return std::nullopt;
        return it->second;
    };
    bool said = false;
    std::vector<std::array<int, 3>> grounds;  // the wave track's middle, the wave mute box's
    std::thread player([&] {
        if (!waitFor([&] { return rect("設定").has_value(); })) return platform->requestClose();
        clickAt(*rect("設定"));
        if (!waitFor([&] { return rect("#32773").has_value(); })) return platform->requestClose();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        clickAt(*rect("#32773"));
        said = waitFor([&] { return rect("status:no sound device").has_value(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const auto track = rect("slider:wave");
        const auto box = rect("check:mute");
        int w = 0, h = 0;
        const std::vector<uint8_t> px = sdlWindowPixels(*platform, w, h);
        auto at = [&](int x, int y) {
            const uint8_t* p = &px[(static_cast<size_t>(h - 1 - y) * w + x) * 3];
            return std::array<int, 3>{p[2], p[1], p[0]};
        };
        if (track && box && px.size() == static_cast<size_t>(w) * h * 3) {
            grounds.push_back(at(track->x + track->w / 2, track->y + track->h / 3));
            // The box's square is at the start of its item, as tall as the item.
            grounds.push_back(at(box->x + box->h / 2, box->y + box->h / 2));
        }
        platform->dismissDialogs();
        platform->requestClose();
    });
    EXPECT_EQ(shell.run(), 0);
    player.join();
    EXPECT_TRUE(said);
    ASSERT_EQ(grounds.size(), 2u);
    for (const auto& c : grounds) EXPECT_LT(c[0] + c[1] + c[2], 3 * 245) << c[0] << "," << c[1] << "," << c[2];
}

TEST(XvfbVolumeDialog, OnARealXServerWithAScreenshot) {
    if (!have("xvfb-run")) GTEST_SKIP() << "xvfb-run missing";
    TempDir io;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::filesystem::path shot = io.path() / "volume-dialog.png";
    const std::string cmd = std::string("export YV_VOLUME_ON_X=1 YV_VOLUME_SHOT='") + shot.string() + "'; " + underXvfb() + "'" +
                            self + "' --gtest_filter=SdlVolumeDialog.* >'" + (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st));
    EXPECT_EQ(WEXITSTATUS(st), 0) << io.read("out");
    const Picture p = readPng(shot);
    ASSERT_GT(p.w, 0) << io.read("out");
    // Kept for a look when asked for.
    if (const char* keep = std::getenv("YV_KEEP_VOLUME_SHOT")) std::filesystem::copy_file(shot, keep, std::filesystem::copy_options::overwrite_existing);
    // The dialog is drawn over the black game picture: a good part of the window is not black.
    size_t lit = 0;
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            const uint8_t* c = p.at(x, y);
            if (c[0] + c[1] + c[2] > 120) ++lit;
        }
    EXPECT_GT(lit, static_cast<size_t>(p.w) * p.h / 20);
}

TEST(SdlSound, WithoutAnAudioDeviceThePlayersAreOffAndTheGameRunsSilent) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    TempDir dir;
    dir.write("start.ini", sjis("[MCI]\r\nWave=1\r\nMidi=1\r\nCdda=1\r\n"));
    dir.write("script.txt", "#openplaymciwave(\"x.wav\", 1);\r\n@901 = #getvolume();\r\n@901 += 7;\r\n#systemsave();\r\n#end();\r\n");
    Options opt;
    opt.gameDir = dir.path();
    opt.scale = 1;
    std::string why;
    auto platform = makeSdlPlatform(SdlWindowOptions{opt.scale}, why);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!platform) GTEST_SKIP() << "no SDL video: " << why;
    EXPECT_EQ(platform->audio(), nullptr);
    Shell shell(*platform, opt);
    ASSERT_TRUE(shell.start(why)) << why;
    Runtime& rt = shell.runtime();
    EXPECT_EQ(rt.media.wave.enabled, 0);
    EXPECT_EQ(rt.media.midi.enabled, 0);
    EXPECT_EQ(rt.media.cd.enabled, 0);
    std::thread closer([&] {
        waitFor([&] { return readSystemDat(dir.path() / "system.dat").size() == 1; }, 5000);
        platform->requestClose();
    });
    EXPECT_EQ(shell.run(), 0);
    closer.join();
    // No mixer: getvolume answers 0.
    EXPECT_EQ(readSystemDat(dir.path() / "system.dat"), (std::vector<std::pair<int, int>>{{901, 7}}));
}
