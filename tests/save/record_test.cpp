// Replay records: the reader's never-fails rules, text fields holding commas, the formats every
// command writes, and replaying them.
#include <gtest/gtest.h>

#include <regex>

#include "../graphics/gfx_util.h"
#include "save/replay.h"
#include "save/replay_log.h"
#include "save_fixture.h"

using namespace yv;
using namespace yv::test;

TEST(RecordReader, NeverFailsLoudly) {
    RecordReader r("@52,1,x,,-7,@7");
    EXPECT_EQ(r.nextId(), 52);
    EXPECT_EQ(r.number(), 1);
    EXPECT_EQ(r.number(), 0);  // not a number
    EXPECT_EQ(r.number(), 0);  // empty
    EXPECT_EQ(r.number(), -7);
    EXPECT_EQ(r.nextId(), -1);  // no comma left
    EXPECT_EQ(r.number(), 0);
    EXPECT_EQ(r.text(), "");
    EXPECT_EQ(RecordReader("").nextId(), -1);
    EXPECT_EQ(RecordReader("201,5,").nextId(), -1);       // no '@'
    EXPECT_EQ(RecordReader("xx@88,").nextId(), 88);       // the number after the first '@'
}

TEST(RecordReader, TextsWithCommasRoundTripAndOldTextsReadUnchanged) {
    const Bytes tricky = "a,b\x1b" "c,,\x1b";
    const Bytes rec = record::format(200, 3, tricky);
    EXPECT_EQ(std::count(rec.begin(), rec.end(), ','), 3);  // id, index, the text: nothing more
    RecordReader r(rec + record::format(201, 5, 1));
    EXPECT_EQ(r.nextId(), 200);
    EXPECT_EQ(r.number(), 3);
    EXPECT_EQ(r.text(), tricky);
    EXPECT_EQ(r.nextId(), 201);
    // A text without a comma or ESC is written as it is; a stray ESC of another writer stays.
    EXPECT_EQ(record::format(95, sjis("表示.txt")), "@95," + sjis("表示.txt") + ",");
    EXPECT_EQ(record::decodeText("a\x1bxb"), "a\x1bxb");
}

TEST(RecordReader, TellsShortFormsFromLongOnes) {
    RecordReader r("@58,2,@201,1,2,");
    EXPECT_EQ(r.nextId(), 58);
    EXPECT_EQ(r.fieldsBeforeNextRecord(5), 1);
    RecordReader s("@67,1,2,3,4,5,6,7,8,9,@1,0,0,");
    s.nextId();
    EXPECT_EQ(s.fieldsBeforeNextRecord(9), 9);
    RecordReader t("@67,1,2,3,");
    t.nextId();
    EXPECT_EQ(t.fieldsBeforeNextRecord(9), 3);
}

namespace {

// The record a statement appends while logging is on.
std::string recordOf(SaveGame& g, const std::string& statement) {
    g.rt.save.log.logging = 1;
    g.rt.save.log.text.clear();
    const std::string s = sjis(statement);
    const size_t open = s.find('(');
    g.rt.interp.stmtStart = 0;
    g.rt.interp.pos = 1;
    save::runCommandText(g.rt, s.substr(1, open - 1), s.substr(open));
    return g.rt.save.log.text;
}

// A format string of the documented kind ("@%d,%s,%d,") as a pattern for one record.
std::regex pattern(const std::string& format) {
    std::string p = "^";
    for (size_t i = 0; i < format.size(); ++i) {
        if (format.compare(i, 2, "%d") == 0) p += "-?[0-9]+", ++i;
        else if (format.compare(i, 2, "%s") == 0) p += "[^,]*", ++i;
        else p += format[i];
    }
    return std::regex(p + "$");
}

}  // namespace

TEST(Records, EveryCommandWritesItsDocumentedFormat) {
    SaveGame g("|sub:\n#return();\n");
    g.dir.write("p.bmp", bmp24(2, 2, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}}));
    g.dir.write("t.txt", sjis("\"a\",\"b\"\r\n"));
    g.rt.interp.running = 0;  // `end` must not matter here
    const struct {
        const char* statement;
        const char* format;
    } cases[] = {
        {"#createimage(2, 3, 16, 16);", "@57,%d,%d,%d,%d,"},
        {"#loadimage(2, \"p.bmp\");", "@51,%d,%d,%s,"},
        {"#bitblt(2, 0, 0, 4, 4, 3, 0, 0, 0);", "@52,%d,%d,%d,%d,%d,%d,%d,%d,%d,"},
        {"#blt(2, 1, 1, 3);", "@52,%d,%d,%d,%d,%d,%d,%d,%d,%d,"},
        {"#mosaicblt(2, 4, 0, 3);", "@53,%d,%d,%d,"},
        {"#mosaicfade(2, 8, 1, 0, 0, 3);", "@52,%d,%d,%d,%d,%d,%d,%d,%d,%d,"},
        {"#alphablt(2, 0, 0, 3, 3, 128);", "@55,%d,%d,%d,%d,%d,%d,"},
        {"#clr(2, 3);", "@56,%d,%d,"},
        {"#fillclr(2, rgb(1, 2, 3));", "@58,%d,%d,%d,%d,%d,"},
        {"#fillclr(2);", "@58,%d,"},
        {"#alphabitblt(2, 0, 0, 4, 4, 3, 3, 0, 0, 100);", "@66,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,"},
        {"#transblt(2, 0, 0, 3, 8);", "@67,%d,%d,%d,%d,%d,%d,%d,%d,%d,"},
        {"#transbitblt(2, 0, 0, 4, 4, 3, 0, 0, 8);", "@67,%d,%d,%d,%d,%d,%d,%d,%d,%d,"},
        {"#transfill(2, 0, 0, 4, 4, rgb(10, 0, 0));", "@68,%d,%d,%d,%d,%d,%d,%d,%d,%d,"},
        {"#monofill(2, 0, 0, 4, 4, rgb(10, 0, 0));", "@69,%d,%d,%d,%d,%d,%d,%d,%d,%d,"},
        {"#releaseimage(3);", "@59,%d,"},
        {"#createtextf(2, 3);", "@70,%d,%d,"},
        {"#loadtextf(\"t.txt\", 2, 3);", "@72,%s,%d,%d,"},
        {"#locatef(0, 10, 20);", "@73,%d,%d,%d,"},
        {"#settextspeed(5);", "@79,%d,"},
        {"#settextspeedf(0, 5);", "@80,%d,%d,"},
        {"#setdefaultcolor(0, rgb(1, 2, 3));", "@81,%d,%d,%d,%d,%d,"},
        {"#setmessagelength(0, 12);", "@85,%d,%d,"},
        {"#settextwaitpos(1, 2, 3);", "@86,%d,%d,%d,"},
        {"#settextprintf(2, rgb(1, 2, 3));", "@87,%d,%d,%d,%d,%d,"},
        {"#settexttype(4, rgb(1, 2, 3));", "@89,%d,%d,%d,%d,%d,"},
        {"#selectcolor(rgb(1, 2, 3));", "@90,%d,%d,%d,%d,"},
        {"#setrectwaiticon(3, 0, 0, 8, 8, 2, 50);", "@92,%d,%d,%d,%d,%d,%d,%d,"},
        {"#settextwait(500);", "@94,%d,"},
        {"#setfont(\"ＭＳ ゴシック\", 20, 400, 0, 1, 0);", "@78,%s,%d,%d,%d,%d,%d,"},
        {"#releasetextf();", "@77,"},
        {"#if(1 == 1);", "@71,%d,%d,%d,%d,"},
        {"#memoryset(5, 6, 7);", "@74,%d,%d,%d,%s,%s,%s,"},
        {"#memcmp(\"a\", \"b\");", "@75,%d,%d,%s,%s,"},
        {"#zeromemory(5, 6);", "@84,%d,%d,"},
        {"#wipe(2, 4, 0, 1);", "@83,%d,%d,%d,%d,"},
        {"#settitle(\"T\");", "@88,%s,"},
        {"#showcursor(1);", "@91,%d,"},
        {"#gosub(\"sub\", \"script.txt\");", "@61,%s,%s,%d,%d,%d,"},
        {"#return();", "@63,"},
        {"#goto(\"sub\", \"script.txt\");", "@62,%s,%s,"},
        {"#fade(2, 8, 1, 0, 0, 4, 4);", "@54,%d,%d,%d,%d,%d,%d,%d,"},
        {"#transfade(2, 8, 1, 0, 0, 4, 4, 3);", "@65,%d,%d,%d,%d,%d,%d,%d,"},
        {"#savetmp();", "@82,"},
        {"#end();", "@64,"},
    };
    for (const auto& c : cases) {
        const std::string rec = recordOf(g, c.statement);
        EXPECT_TRUE(std::regex_match(rec, pattern(c.format))) << c.statement << " wrote " << rec;
        g.rt.screens.fadeOn = g.rt.screens.transfadeOn = g.rt.screens.mosaicfadeOn = g.rt.screens.wipeOn = false;
    }
}

TEST(Replay, DrawingRecordsAimedAtScreenZeroArePassedOver) {
    SaveGame g;
    Screen& s0 = g.rt.screens.table[0];
    Screen& s1 = g.rt.screens.table[1];
    std::fill(s1.pixels.begin(), s1.pixels.end(), uint8_t{200});
    save::replayRecords(g.rt, "@52,0,0,0,64,48,1,0,0,0,@58,0,-200010001,9,9,9,@55,0,0,0,1,1,255,");
    EXPECT_EQ(std::count(s0.pixels.begin(), s0.pixels.end(), 0), static_cast<long>(s0.pixels.size()));
    save::replayRecords(g.rt, "@52,1,0,0,64,48,1,0,0,0,@58,1,-200010001,9,8,7,");
    EXPECT_EQ(at(s1, 5, 5), (Bgr{7, 8, 9}));
}

TEST(Replay, ClrZeroOneClearsOneAndTwo) {
    SaveGame g;
    save::replayRecords(g.rt, "@57,2,2,8,8,@58,2,-200010001,5,5,5,@58,1,-200010001,5,5,5,");
    g.rt.screens.table[0].pixels.assign(g.rt.screens.table[0].pixels.size(), 5);
    save::replayRecords(g.rt, "@56,0,1,");
    EXPECT_EQ(g.rt.screens.table[0].pixels[0], 5);  // screen 0 keeps its picture
    EXPECT_EQ(g.rt.screens.table[1].pixels[0], 0);
    EXPECT_EQ(g.rt.screens.table[2].pixels[0], 0);
}

TEST(Replay, ReadsWhatTheWritersWroteAndStopsWhereItCannotRead) {
    SaveGame g;
    // Record 67 in its nine-field and its five-field form, and 58 in its one-field form: the
    // records after them are still read in step.
    EXPECT_EQ(save::replayRecords(g.rt, "@57,2,3,8,8,@67,2,0,0,8,8,3,0,0,4,@201,5,7,"), 3);
    EXPECT_EQ(g.var(5), 7);
    EXPECT_EQ(save::replayRecords(g.rt, "@67,2,3,8,8,2,@201,6,8,"), 2);
    EXPECT_EQ(g.var(6), 8);
    EXPECT_EQ(save::replayRecords(g.rt, "@58,2,@201,7,9,"), 2);
    EXPECT_EQ(g.var(7), 9);
    // The title record and ids outside the table end the replay there.
    EXPECT_EQ(save::replayRecords(g.rt, "@201,8,1,@88,Title,@201,9,1,"), 1);
    EXPECT_EQ(g.var(9), 0);
    EXPECT_EQ(save::replayRecords(g.rt, "@201,10,1,@150,3,@201,11,1,"), 1);
    EXPECT_EQ(g.var(11), 0);
    // 86 reads a fourth field, the next record's "@id", and the replay ends after it.
    EXPECT_EQ(save::replayRecords(g.rt, "@86,1,5,6,@201,12,1,"), 1);
    EXPECT_EQ(g.rt.text.icon.posX, 5);
    EXPECT_EQ(g.var(12), 0);
    EXPECT_EQ(save::replayRecords(g.rt, ""), 0);
    // Indices outside the tables are passed over.
    EXPECT_EQ(save::replayRecords(g.rt, "@201,99999,1,@200,-1,x,@300,5000,f,1,1,@201,13,2,"), 4);
    EXPECT_EQ(g.var(13), 2);
}

TEST(Replay, TheLogOfDrawingCommandsRebuildsTheScreens) {
    // Every drawing command run with logging on, then the log replayed on a fresh runtime: the
    // screens come out the same, so each record carries what its command needs.
    const std::string script =
        "#savetmp();\n#createimage(2, 4, 32, 24);\n#loadimage(5, \"p.bmp\");\n"
        "#fillclr(2, rgb(200, 100, 50));\n#fillclr(3);\n#bitblt(3, 2, 2, 10, 10, 2, 0, 0, 0);\n"
        "#blt(4, 1, 1, 5);\n#alphabitblt(4, 0, 0, 8, 8, 2, 5, 0, 0, 100);\n"
        "#transbitblt(2, 4, 4, 8, 8, 5, 0, 0, 4);\n#transblt(3, 0, 0, 5, 8);\n"
        "#transfill(1, 0, 0, 16, 16, rgb(40, -20, 10));\n#monofill(1, 4, 4, 16, 16, rgb(0, 0, 0));\n"
        "#clr(2, 2);\n#releaseimage(3);\n"
        "#memoryset(100, 102, 9);\n#zeromemory(101, 101);\n@900 = 1;\n";
    std::vector<Bgr> px;
    for (int i = 0; i < 12 * 10; ++i) px.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 77});
    SaveGame a(script);
    a.dir.write("p.bmp", bmp24(12, 10, px));
    ASSERT_TRUE(a.runUntil(900, 1));
    const Bytes log = a.rt.save.log.text;

    SaveGame b;
    b.dir.write("p.bmp", bmp24(12, 10, px));
    save::replayRecords(b.rt, log);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(b.rt.screens.table[static_cast<size_t>(n)].pixels, a.rt.screens.table[static_cast<size_t>(n)].pixels)
            << "screen " << n;
    for (int v = 100; v <= 102; ++v) EXPECT_EQ(b.var(v), a.var(v));
}
