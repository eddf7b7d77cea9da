// The resource reader with archives: lookup order, the substring search, scrambling, the
// _$debug effects, version keys, and temporary resource files.
#include <gtest/gtest.h>

#include <stdexcept>

#include "io/archive.h"
#include "io/resources.h"
#include "io/temp_file.h"
#include "test_util.h"

using namespace yv;

namespace {

// Writes an index whose decoded text after the key is `body` (byte 1, the data name, '#',
// entries) and a data file holding `plain`, both scrambled with `key`.
void writeArchive(const TempDir& d, const std::string& index, unsigned char key, const std::string& body,
                  const std::string& dataName, std::string plain) {
    std::string idx(1, static_cast<char>(key));
    idx += body;
    for (size_t i = 1; i < idx.size(); ++i) idx[i] = static_cast<char>(idx[i] ^ key);
    d.write(index, idx);
    io::archive::scramble(plain, io::archive::dataKeyFor(key));
    d.write(dataName, plain);
}

struct Game {
    TempDir dir;
    Resources res{dir.path()};
};

}  // namespace

TEST(Archive, LookupIsALowerCasedSubstringSearchWithFieldsInEitherOrder) {
    Game g;
    // "*" before "$" in the second entry; the request is written in upper case.
    writeArchive(g.dir, "Lump.cpn", 0x3C, std::string("\x01") + "data.bin#one.txt$0*3+two.txt*4$3",
                 "data.bin", "ONEtwo!");
    g.res.openArchives(1, "Lump.cpn", "Lump2.cpn");
    ASSERT_TRUE(g.res.archiveMode());
    EXPECT_FALSE(g.res.secondaryOpen());
    EXPECT_EQ(g.res.read("ONE.TXT").value_or("?"), "ONE");
    EXPECT_EQ(g.res.read("two.txt").value_or("?"), "two!");
    // The lookup is a substring search: "ne.txt" finds the text inside "one.txt".
    EXPECT_EQ(g.res.read("ne.txt").value_or("?"), "ONE");
    // The header and the data file's name are searched too: "data" is found there, and the
    // first fields after it are those of the first entry.
    EXPECT_EQ(g.res.read("data").value_or("?"), "ONE");
}

TEST(Archive, AnEarlierNameEndingWithTheRequestWins) {
    Game g;
    writeArchive(g.dir, "Lump.cpn", 0x11, std::string("\x01") + "d.bin#xbg.bmp$0*1#bg.bmp$1*1", "d.bin", "XB");
    g.res.openArchives(1, "Lump.cpn", "Lump2.cpn");
    EXPECT_EQ(g.res.read("bg.bmp").value_or("?"), "X");
}

TEST(Archive, SecondaryBeforePrimaryBeforeDisk) {
    Game g;
    writeArchive(g.dir, "Lump.cpn", 0x42, std::string("\x01") + "p.dat#a.txt$0*7#b.txt$7*5", "p.dat",
                 "primaryprimB");
    writeArchive(g.dir, "Lump2.cpn", 0x99, std::string("\x01") + "s.dat#a.txt$0*9", "s.dat", "secondary");
    g.dir.write("a.txt", "disk a");
    g.dir.write("c.txt", "disk c");
    g.res.openArchives(1, "Lump.cpn", "Lump2.cpn");
    ASSERT_TRUE(g.res.secondaryOpen());
    EXPECT_EQ(g.res.read("a.txt").value_or("?"), "secondary");
    EXPECT_EQ(g.res.read("b.txt").value_or("?"), "primB");
    EXPECT_EQ(g.res.read("C.TXT").value_or("?"), "disk c");
    EXPECT_FALSE(g.res.read("missing.txt"));
    // Versions tell the archive entry from the loose file of the same name.
    const Resources::Version inArchive = g.res.version("a.txt");
    EXPECT_TRUE(inArchive.known);
    EXPECT_EQ(inArchive.size, 9);
    EXPECT_TRUE(g.res.version("C.TXT").known);  // as read above

    g.res.setArchiveMode(0);  // only loose files now
    EXPECT_EQ(g.res.read("a.txt").value_or("?"), "disk a");
    EXPECT_FALSE(g.res.read("b.txt"));
    EXPECT_FALSE(g.res.version("a.txt") == inArchive);
}

TEST(Archive, ShortReadsAndBadEntriesFallThroughToDisk) {
    Game g;
    writeArchive(g.dir, "Lump.cpn", 0x07,
                 std::string("\x01") + "d.bin#past.txt$2*100#neg.txt$-1*2#nofields.txt#empty.txt$0*0", "d.bin",
                 "abc");
    g.dir.write("past.txt", "disk past");
    g.dir.write("nofields.txt", "disk nofields");
    g.dir.write("empty.txt", "disk empty");
    g.res.openArchives(1, "Lump.cpn", "");
    EXPECT_EQ(g.res.read("past.txt").value_or("?"), "disk past");
    EXPECT_FALSE(g.res.read("neg.txt"));
    // No fields after the name: the skip runs on to the next "$", the one of empty.txt (size 0).
    EXPECT_FALSE(g.res.read("nofields.txt"));
    // A found entry of size 0 is an empty resource, which consumers take as missing.
    EXPECT_FALSE(g.res.read("empty.txt"));
}

TEST(Archive, ResultHasAZeroTail) {
    Game g;
    writeArchive(g.dir, "Lump.cpn", 0x5A, std::string("\x01") + "d.bin#t.txt$0*4", "d.bin", "text");
    g.dir.write("plain.txt", "loose");
    g.res.openArchives(1, "Lump.cpn", "");
    for (const char* name : {"t.txt", "plain.txt"}) {
        auto data = g.res.read(name);
        ASSERT_TRUE(data) << name;
        EXPECT_EQ(data->c_str()[data->size()], '\0');
        EXPECT_GE(data->capacity(), data->size() + 4);
    }
}

TEST(Archive, UpperCaseKeyScramblesDataWithTheLowerCaseLetter) {
    // 'K' is lower-cased with the rest of the index text, so the data key is 'k'.
    EXPECT_EQ(io::archive::dataKeyFor('K'), 'k');
    Game g;
    writeArchive(g.dir, "Lump.cpn", 'K', std::string("\x01") + "d.bin#x$0*2", "d.bin", "ok");
    g.res.openArchives(1, "Lump.cpn", "");
    EXPECT_EQ(g.res.read("x").value_or("?"), "ok");
}

TEST(Archive, MissingPrimarySwitchesReadingOff) {
    Game g;
    writeArchive(g.dir, "Lump2.cpn", 0x21, std::string("\x01") + "s.dat#a.txt$0*1", "s.dat", "S");
    g.dir.write("a.txt", "disk");
    g.res.openArchives(1, "Lump.cpn", "Lump2.cpn");
    EXPECT_FALSE(g.res.archiveMode());
    EXPECT_EQ(g.res.read("a.txt").value_or("?"), "disk");

    Game h;  // an index whose data file is missing counts as missing
    writeArchive(h.dir, "Lump.cpn", 0x21, std::string("\x01") + "gone.dat#a.txt$0*1", "other.dat", "P");
    h.res.openArchives(1, "Lump.cpn", "Lump2.cpn");
    EXPECT_FALSE(h.res.archiveMode());
}

TEST(Archive, SecondConfigurationReading) {
    Game g;
    writeArchive(g.dir, "Lump.cpn", 0x30, std::string("\x01") + "d.bin#a.txt$0*3", "d.bin", "arc");
    g.dir.write("a.txt", "disk");
    g.res.openArchives(1, "Lump.cpn", "Lump2.cpn");
    EXPECT_EQ(g.res.read("a.txt").value_or("?"), "arc");
    // DAT non-zero: the index texts become the configured file names; lookups fall through.
    g.res.applySecondReading(1, "Lump.cpn", "Lump2.cpn");
    EXPECT_TRUE(g.res.archiveMode());
    EXPECT_EQ(g.res.read("a.txt").value_or("?"), "disk");
    // DAT 0: archive reading is off for good.
    Game h;
    writeArchive(h.dir, "Lump.cpn", 0x30, std::string("\x01") + "d.bin#a.txt$0*3", "d.bin", "arc");
    h.dir.write("a.txt", "disk");
    h.res.openArchives(1, "Lump.cpn", "Lump2.cpn");
    h.res.applySecondReading(0, "Lump.cpn", "Lump2.cpn");
    EXPECT_EQ(h.res.read("a.txt").value_or("?"), "disk");
}

TEST(Archive, EncodeDecodeAndListRoundTrip) {
    const Bytes idx = io::archive::encodeIndex(0xA5, "Lump.dat", {{"BG\\Sky.bmp", 0, 10}, {"a.txt", 10, 3}});
    const io::archive::DecodedIndex d = io::archive::decodeIndex(idx);
    EXPECT_EQ(d.dataName, "Lump.dat");
    EXPECT_EQ(d.dataKey, 0xA5);
    const auto list = io::archive::listEntries(d.text);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "bg\\sky.bmp");
    EXPECT_EQ(list[1].offset, 10);
    EXPECT_EQ(list[1].size, 3);
    auto ref = io::archive::lookup(d.text, "a.txt");
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->offset, 10);
    // A malformed index: only a key byte, or a zero key (empty text).
    EXPECT_TRUE(io::archive::decodeIndex(Bytes("\x05", 1)).dataName.empty());
    EXPECT_TRUE(io::archive::decodeIndex(Bytes("\0abc", 4)).text.empty());
    EXPECT_FALSE(io::archive::lookup("abc$1", ""));
}

TEST(TempResourceFile, WrittenInTheTempFolderAndAlwaysDeleted) {
    std::filesystem::path seen;
    {
        TempResourceFile f("RIFF data");
        ASSERT_TRUE(f.ok());
        seen = f.path();
        EXPECT_EQ(seen.parent_path(), std::filesystem::temp_directory_path());
        EXPECT_EQ(seen.filename().string().rfind("~yv", 0), 0u);
        std::ifstream in(seen, std::ios::binary);
        std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(got, "RIFF data");
        TempResourceFile other("x");
        EXPECT_NE(other.path(), seen);
    }
    EXPECT_FALSE(std::filesystem::exists(seen));
    // A consumer that fails half-way (here by throwing) still leaves nothing behind.
    try {
        TempResourceFile f("y");
        seen = f.path();
        throw std::runtime_error("decoder failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(std::filesystem::exists(seen));
}

TEST(Archive, MalformedIndexesNeverCrash) {
    // Random index and data files: the reader must only ever return bytes that exist.
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    const std::string alphabet = "ab.$*+#-0123456789 \x81\x40";
    for (int round = 0; round < 60; ++round) {
        Game g;
        std::string idx(1, static_cast<char>(next() & 0xFF));
        const int len = static_cast<int>(next() % 60);
        std::string body;
        for (int i = 0; i < len; ++i) body += alphabet[next() % alphabet.size()];
        if (round % 2) body = std::string("\x01") + "d.bin#" + body;
        idx += body;
        for (size_t i = 1; i < idx.size(); ++i) idx[i] = static_cast<char>(idx[i] ^ idx[0]);
        g.dir.write("Lump.cpn", idx);
        g.dir.write("d.bin", std::string(next() % 40, 'z'));
        g.res.openArchives(1, "Lump.cpn", "Lump2.cpn");
        for (const char* name : {"a", "b.a", "1", "$", "ab", "d.bin"}) {
            auto data = g.res.read(name);
            if (data) {
                EXPECT_LE(data->size(), 40u);
            }
            (void)g.res.version(name);
        }
        (void)io::archive::listEntries(io::archive::decodeIndex(idx).text);
    }
}
