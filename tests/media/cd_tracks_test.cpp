// Finding CD tracks among a game's files: numbered track files, CUE sheets with BIN images.
#include <gtest/gtest.h>

#include "media/audio_util.h"
#include "media/cd_tracks.h"
#include "platform/audio/stream_source.h"
#include "test_util.h"

using namespace yv;
using namespace yv::media::cd;

namespace {

// Lengths without decoding: raw files by size, others by a table of names.
Prober fakeProbe(std::map<std::string, int64_t> lengths) {
    return [lengths](const std::filesystem::path& p, bool raw) -> int64_t {
        std::error_code ec;
        if (raw) return static_cast<int64_t>(std::filesystem::file_size(p, ec) / 4);
        auto it = lengths.find(p.filename().string());
        return it == lengths.end() ? -1 : it->second;
    };
}

}  // namespace

TEST(CdTracks, TrackFileNames) {
    EXPECT_EQ(trackNumberOf("track02.ogg"), 2);
    EXPECT_EQ(trackNumberOf("Track2.OGG"), 2);
    EXPECT_EQ(trackNumberOf("TRACK_07.flac"), 7);
    EXPECT_EQ(trackNumberOf("track_7.mp3"), 7);
    EXPECT_EQ(trackNumberOf("track99.wav"), 99);
    EXPECT_EQ(trackNumberOf("track00.ogg"), 0);
    EXPECT_EQ(trackNumberOf("track100.ogg"), 0);
    EXPECT_EQ(trackNumberOf("track02.ogg.bak"), 0);
    EXPECT_EQ(trackNumberOf("track.ogg"), 0);
    EXPECT_EQ(trackNumberOf("bgmtrack02.ogg"), 0);
    EXPECT_EQ(trackNumberOf("track02.txt"), 0);
}

TEST(CdTracks, NumberedFilesMakeADiscInTheFirstFolderThatHasThem) {
    TempDir d;
    d.write("Music/Track03.OGG", "x");
    d.write("Music/track02.ogg", "x");
    d.write("Music/track_02.flac", "x");  // the same number again: the first name wins
    d.write("Music/track05.mp3", "x");
    d.write("cd/readme.txt", "x");
    const Disc disc = findDisc(d.path(), fakeProbe({{"track02.ogg", 1000}, {"Track03.OGG", 2000}, {"track05.mp3", 500}}));
    ASSERT_EQ(disc.first(), 2);
    ASSERT_EQ(disc.last(), 5);
    EXPECT_EQ(disc.track(2)->file.filename(), "track02.ogg");
    EXPECT_EQ(disc.track(3)->discFrame, 1000);
    EXPECT_FALSE(disc.track(4)->audio);  // no file: silent, no room on the disc
    EXPECT_EQ(disc.track(5)->discFrame, 3000);
    EXPECT_EQ(disc.track(5)->frames, 500);
    EXPECT_EQ(disc.track(1), nullptr);

    // Files in the game folder itself come first.
    d.write("track04.wav", "x");
    const Disc top = findDisc(d.path(), fakeProbe({{"track04.wav", 10}}));
    EXPECT_EQ(top.first(), 4);
    EXPECT_EQ(top.last(), 4);

    // Unreadable files make no disc.
    TempDir e;
    e.write("track02.ogg", "not sound");
    EXPECT_TRUE(findDisc(e.path(), fakeProbe({})).tracks.empty());
}

TEST(CdTracks, CueSheets) {
    const auto files = parseCue(
        "\xEF\xBB\xBFREM a sheet\r\nFILE \"Game Disc.bin\" BINARY\r\n  TRACK 01 MODE1/2352\r\n    INDEX 01 00:00:00\r\n"
        "  TRACK 02 AUDIO\r\n    PREGAP 00:02:00\r\n    INDEX 00 00:10:00\r\n    INDEX 01 00:12:00\r\n"
        "  track 03 audio\r\n    index 01 01:00:74\r\nFILE extra.wav WAVE\r\n  TRACK 04 AUDIO\r\n    INDEX 01 00:00:00\r\n"
        "TRACK 05 AUDIO\nINDEX 01 bad\nFILE\n");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name, "Game Disc.bin");
    EXPECT_EQ(files[0].type, "binary");
    ASSERT_EQ(files[0].tracks.size(), 3u);
    EXPECT_FALSE(files[0].tracks[0].audio);
    EXPECT_EQ(files[0].tracks[1].index1Frame, 12 * 75 * 588);
    EXPECT_EQ(files[0].tracks[2].index1Frame, (60 * 75 + 74) * 588);
    ASSERT_EQ(files[1].tracks.size(), 2u);
    EXPECT_EQ(files[1].tracks[1].index1Frame, -1);  // a malformed time

    TempDir d;
    // A BIN of 3 seconds (data track for 1 s, two audio tracks of 1 s), then a WAVE file.
    d.write("CD/game disc.BIN", std::string(3 * 44100 * 4, '\0'));
    d.write("CD/Extra.wav", "x");
    d.write("CD/game.cue",
            "FILE \"game disc.bin\" BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n"
            "TRACK 03 AUDIO\nINDEX 01 00:02:00\nFILE \"C:\\GAME\\extra.wav\" WAVE\nTRACK 04 AUDIO\nINDEX 01 00:00:00\n");
    const Disc disc = findDisc(d.path(), fakeProbe({{"Extra.wav", 22050}}));
    ASSERT_EQ(disc.first(), 1);
    ASSERT_EQ(disc.last(), 4);
    EXPECT_FALSE(disc.track(1)->audio);
    EXPECT_TRUE(disc.track(2)->raw);
    EXPECT_EQ(disc.track(2)->startFrame, 44100);
    EXPECT_EQ(disc.track(2)->frames, 44100);
    EXPECT_EQ(disc.track(3)->frames, 44100);
    EXPECT_EQ(disc.track(3)->discFrame, 88200);
    EXPECT_EQ(disc.track(4)->file.filename(), "Extra.wav");
    EXPECT_EQ(disc.track(4)->discFrame, 3 * 44100);
    EXPECT_EQ(disc.track(4)->frames, 22050);

    // A sheet whose files are missing gives way to numbered files beside it.
    TempDir e;
    e.write("broken.cue", "FILE missing.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    e.write("track02.ogg", "x");
    const Disc fallback = findDisc(e.path(), fakeProbe({{"track02.ogg", 5}}));
    EXPECT_EQ(fallback.first(), 2);
}

TEST(CdTracks, DamagedSheetsParseWithoutOverrun) {
    // Cut-off lines, huge numbers, lone quotes: nothing to crash on.
    for (const char* text : {"FILE \"", "TRACK", "INDEX 01 99999999999:00:00", "FILE a BINARY\nTRACK 999 AUDIO\nINDEX 01 1:2:3",
                             "FILE a BINARY\nINDEX 01 00:00:00", "\"\"\"\n\n\r\r", "FILE a\nTRACK 01\nINDEX 01 ::"}) {
        const auto files = parseCue(text);
        for (const auto& f : files)
            for (const auto& t : f.tracks) EXPECT_TRUE(t.number >= 1 && t.number <= 99);
    }
}
