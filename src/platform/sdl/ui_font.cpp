// Finds a Japanese gothic font file for the menus and dialogs through fontconfig.
#include <fontconfig/fontconfig.h>

#include <string>

#include "platform/sdl/sdl_ui.h"

namespace yv {

std::string findUiFontFile() {
    // A configuration of our own, released when done (the global one is never freed).
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return {};
    std::string result;
    // Faces that carry kana, half-width katakana and the common kanji, best first.
    static const char* const kCandidates[] = {"IPAGothic:lang=ja", "IPAPGothic:lang=ja",
                                              "VL Gothic:lang=ja", "Noto Sans CJK JP:lang=ja",
                                              "TakaoGothic:lang=ja", "sans-serif:lang=ja"};
    for (const char* name : kCandidates) {
        FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(name));
        if (!pat) continue;
        FcConfigSubstitute(config, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult r = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pat, &r);
        FcPatternDestroy(pat);
        if (!match) continue;
        std::string file;
        FcChar8* f = nullptr;
        FcCharSet* cs = nullptr;
        int index = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        // ImGui reads the first face of a collection only.
        if (FcPatternGetString(match, FC_FILE, 0, &f) == FcResultMatch && index == 0 &&
            FcPatternGetCharSet(match, FC_CHARSET, 0, &cs) == FcResultMatch &&
            FcCharSetHasChar(cs, 0x30A2) && FcCharSetHasChar(cs, 0xFF71) && FcCharSetHasChar(cs, 0x6F22))
            file = reinterpret_cast<const char*>(f);
        FcPatternDestroy(match);
        if (!file.empty()) {
            result = file;
            break;
        }
    }
    FcConfigDestroy(config);
    return result;
}

}  // namespace yv
