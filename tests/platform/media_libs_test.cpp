// FFmpeg and FluidSynth come on first use: the player names neither among the libraries loaded
// with it (they cost a third of its start-up), and both open when asked.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/audio/media_libs.h"

using namespace yv::audio;

TEST(MediaLibs, ThePlayerStartsWithoutThemAndOpensThemWhenAsked) {
    std::string needed;
    if (FILE* p = popen("readelf -d '" YV_BINARY "' 2>/dev/null", "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, p)) needed += line;
        pclose(p);
    }
    if (needed.find("NEEDED") == std::string::npos) GTEST_SKIP() << "readelf (binutils) is missing";
    for (const char* lib : {"libavformat", "libavcodec", "libswscale", "libswresample", "libfluidsynth"})
        EXPECT_EQ(needed.find(lib), std::string::npos) << lib << " is loaded with the player";

    std::string why;
    EXPECT_TRUE(libs::load(libs::Group::Ffmpeg, &why)) << why;
    EXPECT_TRUE(libs::load(libs::Group::FluidSynth, &why)) << why;
    EXPECT_NE(libs::symbol(libs::Group::Ffmpeg, "avformat_open_input"), nullptr);
    EXPECT_NE(libs::symbol(libs::Group::FluidSynth, "new_fluid_synth"), nullptr);
}
