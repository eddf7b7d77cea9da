// The "初期値" listing of the variable monitor.
#include "app/debug_settings.h"

#include "core/cp932.h"

namespace yv::app {

std::vector<ui::SettingLine> settingsListing(const Config& c, const std::string& iconFile) {
    std::vector<ui::SettingLine> out;
    auto section = [&](const char* name) { out.push_back({name, ""}); };
    auto key = [&](const char* name, const std::string& value) {
        out.push_back({name, std::string(name) + "=" + value});
    };
    auto num = [&](const char* name, int64_t v) { key(name, std::to_string(v)); };
    auto text = [&](const char* name, const Bytes& v) { key(name, cp932ToUtf8(v)); };

    section("[WindowTitle]");
    text("Title", c.title);
    section("[WindowSize]");
    num("Left", c.left);
    num("Right", c.width);
    num("Bottom", c.height);
    section("[WindowCenter]");
    num("Center", c.centerAtStart);
    section("[WindowScreen]");
    num("Right", c.fullWidth);
    num("Bottom", c.fullHeight);
    num("Center", c.centerOnReturn);
    num("Full", c.full);
    num("Bits", c.fullBits);
    num("Menu", c.menu);
    num("FullMenu", c.fullMenu);
    num("PopMenu", c.popMenu);
    num("PopFullMenu", c.popFullMenu);
    section("[WindowSet]");
    num("TopMost", c.topMost);
    section("[FONT]");
    text("Name", c.fontName);
    num("Size", c.fontSize);
    num("Hold", c.fontWeight);
    num("StrikeOut", c.fontStrikeOut);
    num("Italic", c.fontItalic);
    num("UnderLine", c.fontUnderline);
    section("[Text]");
    num("Wait", c.textWait);
    section("[ExitMessage]");
    num("EndMessage", c.endMessage);
    num("ScriptEnd", c.scriptEnd);
    section("[Script]");
    text("Script", c.script);
    section("[Icon]");
    key("Icon", iconFile);
    section("[MCI]");
    num("Midi", c.midi);
    num("Wave", c.wave);
    num("CDDA", c.cdda);
    section("[DATA]");
    text("DatInfo", c.datInfo);
    section("[DebugWindow]");
    num("Debug", c.debug);
    num("DebugPrev", c.debugPrev);
    return out;
}

}  // namespace yv::app
