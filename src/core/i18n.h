// The program's own words in the player's language: a GNU gettext catalogue (.mo) read by us.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yv::i18n {

// One compiled catalogue: English texts to their translations. A damaged file gives nothing
// (the program then speaks English), never a read out of bounds.
class Catalogue {
public:
    static std::optional<Catalogue> parse(std::string bytes);
    static std::optional<Catalogue> load(const std::filesystem::path& moFile);
    // The translation of `english`, or nullptr when the catalogue has none (or an empty one).
    const char* find(std::string_view english) const;
    size_t size() const { return count_; }

private:
    std::string bytes_;
    bool swapped_ = false;
    uint32_t count_ = 0, originals_ = 0, translations_ = 0;
    uint32_t word(uint32_t at) const;
    std::string_view text(uint32_t table, uint32_t i) const;
};

// The language gettext would pick from LANGUAGE, LC_ALL, LC_MESSAGES and LANG (null: unset):
// "ja" or "en".
std::string chooseLanguage(const char* language, const char* lcAll, const char* lcMessages, const char* lang);

// Where the catalogue of `language` is looked for, beside the program: installed
// (<bin>/../share/locale) and in the build tree (<bin>/locale).
std::vector<std::filesystem::path> catalogueFiles(const std::filesystem::path& exeDir, const std::string& language);

// Picks the language from the environment and loads its catalogue, once, in main() before any
// thread starts; the catalogue is read-only from then on. Without it every text is English.
void initFromEnvironment();

// Makes `c` the process's catalogue (nullptr: English) while it lives; for tests.
class ScopedCatalogue {
public:
    explicit ScopedCatalogue(std::shared_ptr<const Catalogue> c);
    ~ScopedCatalogue();
    ScopedCatalogue(const ScopedCatalogue&) = delete;
    ScopedCatalogue& operator=(const ScopedCatalogue&) = delete;

private:
    std::shared_ptr<const Catalogue> previous_;
};

// Whether the program speaks Japanese (a Japanese catalogue is in use).
bool japanese();

// The English text in the player's language (UTF-8); the text itself when untranslated.
const char* tr(const char* english);

// tr() with %s (in order) or %1$s, %2$s... (by number) replaced by `args`, %% by %. A
// translation whose placeholders do not match the English one's is not used.
std::string trf(const char* english, std::initializer_list<std::string_view> args);

// The same formatting without a translation (what trf does with the text it chose).
std::string format(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace yv::i18n
