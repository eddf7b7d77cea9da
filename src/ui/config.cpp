// Reading the start-up settings in their documented order.
#include "ui/config.h"

#include <algorithm>
#include <cstdio>

#include "core/cp932.h"
#include "graphics/screens.h"

namespace yv {

Config::Config() { read(IniFile{}); }

void Config::read(const IniFile& ini) {
    static const Bytes kDefaultFont = utf8ToCp932("ＭＳ ゴシック");
    static const Bytes kDefaultEnd = utf8ToCp932("プログラムが終端にきました");

    fps = ini.getInt("FPS", "Fps", 30);
    title = ini.getString("WindowTitle", "Title", "Yorvane");
    left = ini.getInt("WindowSize", "Left", 0);
    top = ini.getInt("WindowSize", "Top", 0);
    width = ini.getInt("WindowSize", "Right", 640);
    height = ini.getInt("WindowSize", "Bottom", 480);
    if (width > kMaxScreenSide || height > kMaxScreenSide) {
        std::fprintf(stderr, "yorvane: the screen size %d x %d is cut down to at most %d x %d\n", width, height,
                     kMaxScreenSide, kMaxScreenSide);
        width = std::min(width, kMaxScreenSide);
        height = std::min(height, kMaxScreenSide);
    }
    fullWidth = ini.getInt("WindowScreen", "Right", 640);
    fullHeight = ini.getInt("WindowScreen", "Bottom", 480);
    fullBits = ini.getInt("WindowScreen", "Bits", 0);
    full = ini.getInt("WindowScreen", "Full", 0);
    key = ini.getInt("WindowScreen", "Key", 1);
    centerOnReturn = ini.getInt("WindowScreen", "Center", 1);
    topMost = ini.getInt("WindowSet", "TopMost", 0);
    mmx = ini.getInt("WindowSet", "MMX", 1);
    menu = ini.getInt("WindowScreen", "MENU", 1);
    fullMenu = ini.getInt("WindowScreen", "FULLMENU", 0);
    centerAtStart = ini.getInt("WindowCenter", "Center", 1);
    popMenu = ini.getInt("WindowScreen", "POPMENU", 0);
    popFullMenu = ini.getInt("WindowScreen", "POPFULLMENU", 0);
    dat = ini.getInt("DATA", "DAT", 0);
    // The archive names are read only when archives are on; otherwise they keep their defaults.
    if (dat != 0) {
        datInfo = ini.getString("DATA", "DATINFO", "Lump.cpn");
        datInfo2 = ini.getString("DATA", "DATINFO2", "Lump2.cpn");
    } else if (datInfo.empty()) {
        datInfo = "Lump.cpn";
        datInfo2 = "Lump2.cpn";
    }
    aboutBmp = ini.getString("DATA", "ABOUTBMP", "sysetc.bmp");
    fontName = ini.getString("FONT", "Name", kDefaultFont);
    // No font is larger than a screen; clamping also keeps the size's negation defined.
    fontSize = std::clamp(ini.getInt("FONT", "Size", 24), -kMaxScreenSide, kMaxScreenSide);
    fontWeight = ini.getInt("FONT", "Hold", 700);
    fontStrikeOut = static_cast<uint8_t>(ini.getInt("FONT", "StrikeOut", 0));
    fontItalic = static_cast<uint8_t>(ini.getInt("FONT", "Italic", 0));
    fontUnderline = static_cast<uint8_t>(ini.getInt("FONT", "UnderLine", 0));
    textSpeed = ini.getInt("TEXT", "Speed", 30);
    textWait = ini.getInt("TEXT", "Wait", 1000);
    textLeft = ini.getInt("TEXT", "Left", 0);
    textTop = ini.getInt("TEXT", "Top", 0);
    smoothing = ini.getInt("FONT", "SMOOTHING", 1);
    endMessage = ini.getInt("ExitMessage", "EndMessage", 0);
    scriptEnd = ini.getInt("ExitMessage", "ScriptEnd", 0);
    exitMessage = ini.getString("ExitMessage", "Message", kDefaultEnd);
    script = ini.getString("Script", "Script", "script.txt");
    debug = ini.getInt("DebugWindow", "Debug", 0);
    debugPrev = ini.getInt("DebugWindow", "DebugPrev", 0);
    midi = ini.getInt("MCI", "Midi", 0);
    wave = ini.getInt("MCI", "Wave", 0);
    cdda = ini.getInt("MCI", "Cdda", 0);
    movie = ini.getInt("MCI", "MOVIE", 0);
    avi = ini.getInt("MCI", "AVI", 0);
    contrast = ini.getInt("WINDOWSSET", "CONTRAST", 0);
}

int Config::speedItemFor(double f) {
    if (f >= 0 && f < 20) return 0;
    if (f >= 40 && f < 60) return 2;
    return 1;
}

}  // namespace yv
