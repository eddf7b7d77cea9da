// The 46 start-up settings of start.ini (and of _$debug, read a second time over them).
#pragma once

#include <cstdint>
#include <filesystem>

#include "io/ini.h"
#include "core/bytes.h"
#include "core/shared_int.h"

namespace yv {

struct Config {
    double fps = 30;                 // [FPS] Fps: pacing interval in ms, 0 = off
    Bytes title;                     // [WindowTitle] Title
    int32_t left = 0, top = 0;       // [WindowSize] Left, Top: screen origin and window position
    int32_t width = 640, height = 480;  // [WindowSize] Right, Bottom: screen size W x H
    int32_t fullWidth = 640, fullHeight = 480;  // [WindowScreen] Right, Bottom
    // The display-mode switch (window thread) sets these two while a step may read them.
    SharedInt fullBits = 0;          // [WindowScreen] Bits
    SharedInt full = 0;              // [WindowScreen] Full
    int32_t key = 1;                 // [WindowScreen] Key: 0 removes "skip to the next choice"
    int32_t centerOnReturn = 1;      // [WindowScreen] Center
    int32_t topMost = 0;             // [WindowSet] TopMost
    int32_t mmx = 1;                 // [WindowSet] MMX
    int32_t menu = 1;                // [WindowScreen] MENU
    int32_t fullMenu = 0;            // [WindowScreen] FULLMENU
    int32_t centerAtStart = 1;       // [WindowCenter] Center
    int32_t popMenu = 0;             // [WindowScreen] POPMENU
    int32_t popFullMenu = 0;         // [WindowScreen] POPFULLMENU
    int32_t dat = 0;                 // [DATA] DAT
    Bytes datInfo;                   // [DATA] DATINFO
    Bytes datInfo2;                  // [DATA] DATINFO2
    Bytes aboutBmp;                  // [DATA] ABOUTBMP
    Bytes fontName;                  // [FONT] Name
    int32_t fontSize = 24;           // [FONT] Size
    int32_t fontWeight = 700;        // [FONT] Hold
    uint8_t fontStrikeOut = 0;       // [FONT] StrikeOut
    uint8_t fontItalic = 0;          // [FONT] Italic
    uint8_t fontUnderline = 0;       // [FONT] UnderLine
    int32_t textSpeed = 30;          // [TEXT] Speed
    int32_t textWait = 1000;         // [TEXT] Wait
    int32_t textLeft = 0, textTop = 0;  // [TEXT] Left, Top
    int32_t smoothing = 1;           // [FONT] SMOOTHING
    int32_t endMessage = 0;          // [ExitMessage] EndMessage
    int32_t scriptEnd = 0;           // [ExitMessage] ScriptEnd
    Bytes exitMessage;               // [ExitMessage] Message
    Bytes script;                    // [Script] Script
    int32_t debug = 0;               // [DebugWindow] Debug
    int32_t debugPrev = 0;           // [DebugWindow] DebugPrev
    int32_t midi = 0, wave = 0, cdda = 0, movie = 0, avi = 0;  // [MCI] Midi, Wave, Cdda, MOVIE, AVI
    int32_t contrast = 0;            // [WINDOWSSET] CONTRAST

    Config();  // the defaults of a missing or empty file

    // Reads every setting from the file; a key the file lacks takes its default, never the
    // value of an earlier reading (so a _$debug without Title gives the default title).
    void read(const IniFile& ini);

    // Which pop-up speed item a pacing interval checks: 0 fast, 1 normal, 2 slow.
    static int speedItemFor(double fps);
};

}  // namespace yv
