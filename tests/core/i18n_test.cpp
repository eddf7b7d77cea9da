// The .mo reader on catalogues msgfmt wrote (either byte order) and on damaged ones, the
// language gettext's variables choose, and the placeholders a translation may reorder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>

#include "core/i18n.h"
#include "test_util.h"

using namespace yv;
using namespace yv::i18n;

namespace {

const char* kPo =
    "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
    "msgid \"Open\"\nmsgstr \"開く\"\n\n"
    "msgid \"Zebra\"\nmsgstr \"シマウマ\"\n\n"
    "msgid \"Untranslated\"\nmsgstr \"\"\n\n"
    "#, c-format\nmsgid \"cannot read %s: %s\"\nmsgstr \"%2$s のため %1$s を読めません\"\n\n"
    "#, c-format\nmsgid \"in %s\"\nmsgstr \"%s の中\"\n";

// The bytes msgfmt makes of kPo; empty when msgfmt is missing.
std::string compiled() {
    if (std::system("command -v " YV_MSGFMT " >/dev/null 2>&1") != 0) return {};
    TempDir d;
    d.write("t.po", kPo);
    const std::string cmd = std::string(YV_MSGFMT) + " -o '" + (d.path() / "t.mo").string() + "' '" +
                            (d.path() / "t.po").string() + "'";
    const int st = std::system(cmd.c_str());
    if (!WIFEXITED(st) || WEXITSTATUS(st) != 0) return {};
    return d.read("t.mo");
}

uint32_t le(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
    return v;
}

void putLe(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
}

// The same catalogue as a big-endian machine's msgfmt writes it: every header and table word
// with its bytes the other way round.
std::string bigEndian(std::string b) {
    const uint32_t n = le(b, 8), originals = le(b, 12), translations = le(b, 16);
    std::vector<size_t> words = {0, 4, 8, 12, 16, 20, 24};
    for (uint32_t table : {originals, translations})
        for (uint32_t i = 0; i < 2 * n; ++i) words.push_back(table + 4 * i);
    for (size_t at : words) std::reverse(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
    return b;
}

}  // namespace

TEST(Catalogue, FindsWhatMsgfmtWroteInEitherByteOrder) {
    const std::string mo = compiled();
    if (mo.empty()) GTEST_SKIP() << "msgfmt missing";
    for (const std::string& bytes : {mo, bigEndian(mo)}) {
        const auto c = Catalogue::parse(bytes);
        ASSERT_TRUE(c);
        EXPECT_STREQ(c->find("Open"), "開く");
        EXPECT_STREQ(c->find("Zebra"), "シマウマ");
        EXPECT_EQ(c->find("Untranslated"), nullptr);  // an empty msgstr means the English
        EXPECT_EQ(c->find("Opens"), nullptr);
        EXPECT_EQ(c->find(""), nullptr) << "the header is no translation";
    }
}

TEST(Catalogue, DamagedBytesGiveNoCatalogueOrOneThatReadsInBounds) {
    const std::string mo = compiled();
    if (mo.empty()) GTEST_SKIP() << "msgfmt missing";
    // Every truncation: refused, never read past the end (ASan builds watch this).
    for (size_t n = 0; n < mo.size(); ++n) {
        const auto c = Catalogue::parse(mo.substr(0, n));
        if (c) (void)c->find("Open"), (void)c->find("Zebra");
    }
    EXPECT_FALSE(Catalogue::parse(mo.substr(0, mo.size() - 1)));  // the last string's zero byte
    const uint32_t originals = le(mo, 12);
    auto patched = [&](size_t at, uint32_t v) {
        std::string b = mo;
        putLe(b, at, v);
        return Catalogue::parse(b);
    };
    EXPECT_FALSE(patched(originals + 8 + 4, 0xfffffff0u)) << "a string's offset past the end";
    EXPECT_FALSE(patched(originals + 8, 0xffffffffu)) << "a string's length past the end";
    EXPECT_FALSE(patched(8, 0x7fffffffu)) << "more strings than the file holds";
    EXPECT_FALSE(patched(16, static_cast<uint32_t>(mo.size()) - 4)) << "the translations' table past the end";
    EXPECT_FALSE(patched(0, 0x12345678u)) << "no magic";
    EXPECT_FALSE(Catalogue::parse(std::string(20, '\xff')));

    // A damaged catalogue on disk: the program speaks English.
    TempDir d;
    d.write("bad.mo", mo.substr(0, mo.size() / 2));
    EXPECT_FALSE(Catalogue::load(d.path() / "bad.mo"));
    EXPECT_FALSE(Catalogue::load(d.path() / "missing.mo"));
    EXPECT_FALSE(Catalogue::load(d.path()));  // a folder under the name
    ASSERT_EQ(::mkfifo((d.path() / "fifo.mo").c_str(), 0600), 0);
    EXPECT_FALSE(Catalogue::load(d.path() / "fifo.mo"));  // read as nothing, without waiting for a writer
}

TEST(Catalogue, TrAndTrfUseTheCatalogueAndKeepArgumentsWhereTheTranslationPutsThem) {
    const std::string mo = compiled();
    if (mo.empty()) GTEST_SKIP() << "msgfmt missing";
    EXPECT_STREQ(tr("Open"), "Open");
    {
        ScopedCatalogue ja(std::make_shared<const Catalogue>(*Catalogue::parse(mo)));
        EXPECT_TRUE(japanese());
        EXPECT_STREQ(tr("Open"), "開く");
        EXPECT_STREQ(tr("Not in it"), "Not in it");
        EXPECT_EQ(trf("cannot read %s: %s", {"a.txt", "EIO"}), "EIO のため a.txt を読めません");
        EXPECT_EQ(trf("in %s", {"/x"}), "/x の中");
    }
    EXPECT_FALSE(japanese());
    EXPECT_STREQ(tr("Open"), "Open");
    EXPECT_EQ(trf("cannot read %s: %s", {"a.txt", "EIO"}), "cannot read a.txt: EIO");
}

TEST(Catalogue, ATranslationWithOtherPlaceholdersIsNotUsed) {
    if (std::system("command -v " YV_MSGFMT " >/dev/null 2>&1") != 0) GTEST_SKIP() << "msgfmt missing";
    TempDir d;
    // msgfmt without --check lets a wrong translation through; the program must not.
    d.write("t.po", "msgid \"in %s\"\nmsgstr \"%s と %s\"\n\nmsgid \"at %s: %s\"\nmsgstr \"%3$s\"\n");
    const std::string cmd = std::string(YV_MSGFMT) + " -o '" + (d.path() / "t.mo").string() + "' '" +
                            (d.path() / "t.po").string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    auto c = Catalogue::load(d.path() / "t.mo");
    ASSERT_TRUE(c);
    ScopedCatalogue ja(std::make_shared<const Catalogue>(std::move(*c)));
    EXPECT_EQ(trf("in %s", {"x"}), "in x");
    EXPECT_EQ(trf("at %s: %s", {"x", "y"}), "at x: y");
    EXPECT_EQ(format("100%% of %s, %z", {"it"}), "100% of it, %z");
    EXPECT_EQ(format("%s %s", {"only"}), "only ");
}

TEST(Language, ChosenAsGettextChoosesIt) {
    struct Case {
        const char *language, *lcAll, *lcMessages, *lang, *want;
    } cases[] = {
        {nullptr, nullptr, nullptr, nullptr, "en"},
        {nullptr, nullptr, nullptr, "ja_JP.UTF-8", "ja"},
        {nullptr, nullptr, nullptr, "ja", "ja"},
        {nullptr, nullptr, nullptr, "en_US.UTF-8", "en"},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", "en"},
        {nullptr, nullptr, nullptr, "jav_ID", "en"},  // Javanese, not Japanese
        {nullptr, "C.UTF-8", nullptr, "ja_JP.UTF-8", "en"},
        {nullptr, "ja_JP.eucJP", nullptr, "en_GB.UTF-8", "ja"},
        {nullptr, "", "ja_JP.UTF-8", "en_GB.UTF-8", "ja"},  // empty counts as unset
        {nullptr, nullptr, "en_US.UTF-8", "ja_JP.UTF-8", "en"},
        {"ja", nullptr, nullptr, "en_US.UTF-8", "ja"},
        {"ja", nullptr, nullptr, "C", "en"},  // LANGUAGE is ignored in the C locale
        {"ja", nullptr, nullptr, nullptr, "en"},
        {"en:ja", nullptr, nullptr, "ja_JP.UTF-8", "en"},
        {"fr:ja_JP", nullptr, nullptr, "fr_FR.UTF-8", "ja"},  // no French: the next one
        {"fr", nullptr, nullptr, "ja_JP.UTF-8", "en"},  // gettext then translates nothing
        {"", nullptr, nullptr, "ja_JP.UTF-8", "ja"},
        {"ja@kana:en", "POSIX", nullptr, nullptr, "en"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseLanguage(c.language, c.lcAll, c.lcMessages, c.lang), c.want)
            << (c.language ? c.language : "-") << " " << (c.lcAll ? c.lcAll : "-") << " "
            << (c.lcMessages ? c.lcMessages : "-") << " " << (c.lang ? c.lang : "-");
}

TEST(Language, CataloguesAreLookedForBesideTheProgram) {
    const auto files = catalogueFiles("/usr/games", "ja");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].lexically_normal(), "/usr/share/locale/ja/LC_MESSAGES/yorvane.mo");
    EXPECT_EQ(files[1], "/usr/games/locale/ja/LC_MESSAGES/yorvane.mo");
}
