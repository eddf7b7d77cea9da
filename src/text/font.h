// Fonts: Windows face names mapped to installed Japanese fonts, glyphs rendered antialiased
// through FreeType and cached per two-byte text unit.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "core/bytes.h"
#include "text/text_state.h"

namespace yv {

// Coverage (0..255) of one text unit, placed relative to the cell's top-left corner.
struct GlyphCell {
    int left = 0, top = 0;  // offset of the coverage box from the cell corner
    int width = 0, height = 0;
    std::vector<uint8_t> coverage;  // width * height, top-down
};

// The font file chosen for a face name.
struct ResolvedFont {
    std::string file;
    int index = 0;
    std::string family;
    bool synthBold = false;
    bool synthItalic = false;
};

// Normalised key of a Windows face name: full-width letters made ASCII, spaces dropped, lower
// case, the Japanese words for gothic and mincho spelt out ("ＭＳ Ｐゴシック" -> "mspgothic").
std::string faceKey(const std::string& faceUtf8);

// Finds an installed font for the face: a Japanese face of the same kind (gothic -> sans,
// mincho -> serif, fixed or proportional), else any font that covers Japanese.
ResolvedFont resolveFace(const std::string& faceUtf8, int32_t weight, bool italic);

class FontEngine {
public:
    FontEngine();
    ~FontEngine();
    FontEngine(const FontEngine&) = delete;
    FontEngine& operator=(const FontEngine&) = delete;

    // Selects the font; the glyph cache is emptied when anything changed.
    void select(const FontRecord& rec);
    // The unit's coverage (one double-byte character or one or two single-byte characters);
    // an empty cell when no font could be loaded.
    const GlyphCell& cell(BytesView unit);
    const ResolvedFont& resolved() const { return resolved_; }
    bool loaded() const;
    size_t cachedCells() const { return cache_.size(); }

private:
    void load();
    GlyphCell renderUnit(BytesView unit);

    struct Impl;
    std::unique_ptr<Impl> impl_;
    FontRecord rec_;
    bool selected_ = false;
    ResolvedFont resolved_;
    // Faces already resolved, by (faceKey, weight, italic).
    std::map<std::tuple<std::string, int32_t, bool>, ResolvedFont> faces_;
    std::unordered_map<uint32_t, GlyphCell> cache_;
    GlyphCell empty_;
};

}  // namespace yv
