// Face-name mapping through fontconfig and glyph rendering through FreeType.
#include "text/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>

#include "core/cp932.h"

namespace yv {
namespace {

std::vector<uint32_t> decodeUtf8(const std::string& s) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        if (i + static_cast<size_t>(n) > s.size()) n = 1;
        for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += static_cast<size_t>(n);
    }
    return out;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void replaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
        s.replace(p, from.size(), to);
}

struct FaceKind {
    bool mincho = false;
    bool proportional = false;
};

// What a Windows face looks like, so that an installed face of the same kind stands in.
FaceKind kindOf(const std::string& key) {
    static const std::map<std::string, FaceKind> known = {
        {"msgothic", {false, false}},   {"mspgothic", {false, true}}, {"msuigothic", {false, true}},
        {"msmincho", {true, false}},    {"mspmincho", {true, true}},  {"meiryo", {false, true}},
        {"meiryoui", {false, true}},    {"yugothic", {false, true}},  {"yugothicui", {false, true}},
        {"yumincho", {true, true}},     {"osaka", {false, false}},    {"hgmincho", {true, false}},
    };
    if (auto it = known.find(key); it != known.end()) return it->second;
    FaceKind k;
    k.mincho = key.find("mincho") != std::string::npos || key.find("serif") != std::string::npos;
    k.proportional = key.find("pgothic") != std::string::npos || key.find("pmincho") != std::string::npos;
    return k;
}

std::vector<std::string> candidates(const FaceKind& k) {
    if (k.mincho && k.proportional)
        return {"IPAPMincho", "IPAexMincho", "TakaoPMincho", "Noto Serif CJK JP", "IPAMincho", "serif"};
    if (k.mincho) return {"IPAMincho", "IPAexMincho", "TakaoMincho", "Noto Serif CJK JP", "serif"};
    if (k.proportional)
        return {"IPAPGothic", "IPAexGothic", "VL PGothic", "TakaoPGothic", "Noto Sans CJK JP",
                "IPAGothic", "sans-serif"};
    return {"IPAGothic", "IPAexGothic", "VL Gothic", "TakaoGothic", "Noto Sans Mono CJK JP",
            "Noto Sans CJK JP", "sans-serif"};
}

bool isKnownWindowsFace(const std::string& key) {
    return key.rfind("ms", 0) == 0 || key.find("gothic") != std::string::npos ||
           key.find("mincho") != std::string::npos || key == "meiryo" || key == "meiryoui";
}

bool coversJapanese(FcPattern* font) {
    FcCharSet* cs = nullptr;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &cs) != FcResultMatch || !cs) return false;
    return FcCharSetHasChar(cs, 0x3042) && FcCharSetHasChar(cs, 0x6F22) && FcCharSetHasChar(cs, 0x3002);
}

// Our own fontconfig configuration, loaded once and released at exit (callers hold the
// resolver's mutex).
FcConfig* fontConfig() {
    struct Holder {
        FcConfig* config = FcInitLoadConfigAndFonts();
        ~Holder() {
            if (config) FcConfigDestroy(config);
        }
    };
    static Holder holder;
    return holder.config;
}

ResolvedFont matchFamilies(const std::vector<std::string>& families, int32_t weight, bool italic) {
    ResolvedFont out;
    FcConfig* config = fontConfig();
    if (!config) return out;
    FcPattern* p = FcPatternCreate();
    for (const std::string& f : families)
        FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(f.c_str()));
    FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    const int ot = weight <= 0 ? 400 : std::clamp(weight, 1, 1000);
    FcPatternAddInteger(p, FC_WEIGHT, FcWeightFromOpenType(ot));
    FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(config, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult res = FcResultNoMatch;
    FcFontSet* set = FcFontSort(config, p, FcTrue, nullptr, &res);
    if (set) {
        for (int i = 0; i < set->nfont; ++i) {
            FcPattern* f = set->fonts[i];
            if (!coversJapanese(f)) continue;
            FcChar8* file = nullptr;
            if (FcPatternGetString(f, FC_FILE, 0, &file) != FcResultMatch || !file) continue;
            out.file = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(f, FC_INDEX, 0, &out.index);
            FcChar8* fam = nullptr;
            if (FcPatternGetString(f, FC_FAMILY, 0, &fam) == FcResultMatch && fam)
                out.family = reinterpret_cast<const char*>(fam);
            int w = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(f, FC_WEIGHT, 0, &w);
            FcPatternGetInteger(f, FC_SLANT, 0, &slant);
            out.synthBold = ot >= 600 && w < FC_WEIGHT_DEMIBOLD;
            out.synthItalic = italic && slant == FC_SLANT_ROMAN;
            break;
        }
        FcFontSetDestroy(set);
    }
    FcPatternDestroy(p);
    return out;
}

}  // namespace

std::string faceKey(const std::string& faceUtf8) {
    std::string s;
    for (uint32_t cp : decodeUtf8(faceUtf8)) {
        if (cp >= 0xFF01 && cp <= 0xFF5E) cp -= 0xFEE0;  // full-width ASCII
        if (cp == ' ' || cp == 0x3000 || cp == '\t') continue;
        if (cp >= 'A' && cp <= 'Z') cp += 32;
        appendUtf8(s, cp);
    }
    replaceAll(s, "ゴシック", "gothic");
    replaceAll(s, "ｺﾞｼｯｸ", "gothic");
    replaceAll(s, "明朝", "mincho");
    replaceAll(s, "メイリオ", "meiryo");
    replaceAll(s, "游", "yu");
    return s;
}

ResolvedFont resolveFace(const std::string& faceUtf8, int32_t weight, bool italic) {
    const std::string key = faceKey(faceUtf8);
    std::vector<std::string> fams;
    if (!isKnownWindowsFace(key) && !faceUtf8.empty()) fams.push_back(faceUtf8);
    for (std::string& c : candidates(kindOf(key))) fams.push_back(std::move(c));
    ResolvedFont r = matchFamilies(fams, weight, italic);
    if (r.file.empty()) r = matchFamilies({"sans-serif"}, weight, italic);
    return r;
}

struct FontEngine::Impl {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    int px = 24;
    int ascent = 21;
    FT_Pos embolden = 0;  // 26.6
    bool italic = false;
    bool underline = false, strike = false;
    int underlineY = 0, underlineT = 1;

    ~Impl() {
        if (face) FT_Done_Face(face);
        if (lib) FT_Done_FreeType(lib);
    }
};

FontEngine::FontEngine() : impl_(std::make_unique<Impl>()) {
    if (FT_Init_FreeType(&impl_->lib) != 0) impl_->lib = nullptr;
}

FontEngine::~FontEngine() = default;

bool FontEngine::loaded() const { return impl_->face != nullptr; }

void FontEngine::select(const FontRecord& rec) {
    if (selected_ && rec.face == rec_.face && rec.height == rec_.height && rec.weight == rec_.weight &&
        rec.strikeOut == rec_.strikeOut && rec.italic == rec_.italic && rec.underline == rec_.underline)
        return;
    rec_ = rec;
    selected_ = true;
    cache_.clear();
    load();
}

void FontEngine::load() {
    Impl& m = *impl_;
    if (m.face) {
        FT_Done_Face(m.face);
        m.face = nullptr;
    }
    if (!m.lib) return;
    // A fontconfig match costs milliseconds and scripts switch between a few faces: each face
    // is looked up once per engine (the engine is the interpreter's alone, so no lock).
    const std::string face = cp932ToUtf8(rec_.face);
    const auto ck = std::make_tuple(faceKey(face), rec_.weight, rec_.italic != 0);
    if (auto it = faces_.find(ck); it != faces_.end()) {
        resolved_ = it->second;
    } else {
        resolved_ = resolveFace(face, rec_.weight, rec_.italic != 0);
        if (faces_.size() > 256) faces_.clear();
        faces_.emplace(ck, resolved_);
    }
    if (resolved_.file.empty() || FT_New_Face(m.lib, resolved_.file.c_str(), resolved_.index, &m.face) != 0) {
        m.face = nullptr;
        return;
    }
    const int h = rec_.height < 0 ? -rec_.height : rec_.height;
    m.px = h == 0 ? 16 : std::min(h, 512);
    FT_Size_RequestRec req{};
    req.type = FT_SIZE_REQUEST_TYPE_REAL_DIM;  // ascender + descender = the cell height
    req.height = static_cast<FT_Long>(m.px) * 64;
    if (FT_Request_Size(m.face, &req) != 0) FT_Set_Pixel_Sizes(m.face, 0, static_cast<FT_UInt>(m.px));
    m.ascent = static_cast<int>((m.face->size->metrics.ascender + 32) >> 6);
    m.embolden = resolved_.synthBold ? std::max<FT_Pos>(32, static_cast<FT_Pos>(m.px) * 64 / 24) : 0;
    m.italic = resolved_.synthItalic;
    m.underline = rec_.underline != 0;
    m.strike = rec_.strikeOut != 0;
    const FT_Fixed ys = m.face->size->metrics.y_scale;
    m.underlineY = m.ascent - static_cast<int>(FT_MulFix(m.face->underline_position, ys) >> 6);
    m.underlineT = std::max(1, static_cast<int>(FT_MulFix(m.face->underline_thickness, ys) >> 6));
    if (m.face->underline_thickness == 0) {
        m.underlineY = m.ascent + std::max(1, m.px / 16);
        m.underlineT = std::max(1, m.px / 16);
    }
}

const GlyphCell& FontEngine::cell(BytesView unit) {
    if (!impl_->face || unit.empty()) return empty_;
    const auto b0 = static_cast<unsigned char>(unit[0]);
    const auto b1 = unit.size() > 1 ? static_cast<unsigned char>(unit[1]) : 0u;
    const uint32_t key = b0 | (b1 << 8) | (static_cast<uint32_t>(std::min<size_t>(unit.size(), 2)) << 16);
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;
    if (cache_.size() > 8192) cache_.clear();
    return cache_.emplace(key, renderUnit(unit.substr(0, 2))).first->second;
}

GlyphCell FontEngine::renderUnit(BytesView unit) {
    Impl& m = *impl_;
    const int pad = m.px / 2 + 8;
    const int cw = 3 * m.px + 2 * pad, ch = m.px + 2 * pad;
    std::vector<uint8_t> canvas(static_cast<size_t>(cw) * ch, 0);
    auto plot = [&](int x, int y, uint8_t a) {
        x += pad;
        y += pad;
        if (x < 0 || y < 0 || x >= cw || y >= ch) return;
        uint8_t& c = canvas[static_cast<size_t>(y) * cw + x];
        c = std::max(c, a);
    };
    int pen = 0;
    for (uint32_t cp : decodeUtf8(cp932ToUtf8(unit))) {
        if (cp < 0x20) continue;
        const FT_UInt gi = FT_Get_Char_Index(m.face, cp);
        if (FT_Load_Glyph(m.face, gi, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0) continue;
        FT_GlyphSlot slot = m.face->glyph;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            if (m.embolden) FT_Outline_EmboldenXY(&slot->outline, m.embolden, 0);
            if (m.italic) {
                FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
                FT_Outline_Transform(&slot->outline, &shear);
            }
        }
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) continue;
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
            const int ox = pen + slot->bitmap_left, oy = m.ascent - slot->bitmap_top;
            for (unsigned r = 0; r < bm.rows; ++r) {
                const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(r) * bm.pitch;
                for (unsigned c = 0; c < bm.width; ++c)
                    if (src[c]) plot(ox + static_cast<int>(c), oy + static_cast<int>(r), src[c]);
            }
        }
        pen += static_cast<int>((slot->advance.x + m.embolden + 32) >> 6);
    }
    const int lineW = pen > 0 ? pen : m.px;
    auto line = [&](int y0, int t) {
        for (int y = y0; y < y0 + t; ++y)
            for (int x = 0; x < lineW; ++x) plot(x, y, 255);
    };
    if (m.underline) line(m.underlineY, m.underlineT);
    if (m.strike) line(m.px / 2 - m.underlineT / 2, m.underlineT);

    // Keep only the box that holds ink.
    int x0 = cw, y0 = ch, x1 = -1, y1 = -1;
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x)
            if (canvas[static_cast<size_t>(y) * cw + x]) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    GlyphCell g;
    if (x1 < 0) return g;
    g.left = x0 - pad;
    g.top = y0 - pad;
    g.width = x1 - x0 + 1;
    g.height = y1 - y0 + 1;
    g.coverage.resize(static_cast<size_t>(g.width) * g.height);
    for (int y = 0; y < g.height; ++y)
        std::copy_n(canvas.begin() + static_cast<ptrdiff_t>((y0 + y) * cw + x0), g.width,
                    g.coverage.begin() + static_cast<ptrdiff_t>(y * g.width));
    return g;
}

}  // namespace yv
