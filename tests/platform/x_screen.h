// The program on a virtual X server as a player sees it: runs under Xvfb, with or without a
// window manager (openbox), screenshots of the whole screen (xwd) read back, the window's place
// and size (xdotool). The pointer is never moved.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "core/picture.h"
#include "graphics/png_write.h"
#include "test_util.h"

namespace yv {

// What the X tests need; the reason when something is missing.
inline std::string missingXTools(bool windowManager) {
    for (const char* t : {"xvfb-run", "xdotool", "xwd"})
        if (!have(t)) return std::string(t) + " missing (scripts/setup.sh installs it)";
    if (windowManager)
        for (const char* t : {"openbox", "wmctrl"})
            if (!have(t)) return std::string(t) + " missing (scripts/setup.sh installs it)";
    return "";
}

// Runs `body` (sh) under Xvfb, with openbox managing the windows when `wm`. The body finds:
// $bin the program, $game the game folder, $io a folder for files; `start ARGS...` starts the
// program on the game and waits for its window ($pid, $w); `geom NAME` prints "NAME X Y W H" of
// the window's client area; `shot NAME` writes the screen to $io/NAME.xwd; `stop` ends the
// program with SIGTERM and prints "status N". Returns the script's output.
inline std::string runOnX(const TempDir& game, const TempDir& io, bool wm, const std::string& body,
                          bool large = false) {
    io.write("x.sh",
             "#!/bin/sh\n"
             "bin=\"$1\"; game=\"$2\"; io=\"$3\"\n"
             "if [ \"$4\" = wm ]; then openbox --sm-disable >/dev/null 2>&1 & wmpid=$!\n"
             "  for i in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.05; done; fi\n"
             "start() { \"$bin\" \"$@\" \"$game\" 2>>\"$io/err\" & pid=$!; w=''\n"
             "  for i in $(seq 200); do w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1); "
             "[ -n \"$w\" ] && break; sleep 0.05; done; }\n"
             "geom() { eval $(xdotool getwindowgeometry --shell \"$w\"); echo \"$1 $X $Y $WIDTH $HEIGHT\"; }\n"
             "shot() { xwd -root -silent >\"$io/$1.xwd\"; }\n"
             "stop() { kill -TERM $pid; for i in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.05; done\n"
             "  if kill -0 $pid 2>/dev/null; then kill -9 $pid; echo hung; fi; wait $pid; echo status $?; }\n" +
                 body + "\n[ -n \"$wmpid\" ] && kill $wmpid\nexit 0\n");
    const std::string cmd = underXvfb(large) + "sh '" + (io.path() / "x.sh").string() + "' '" YV_BINARY "' '" +
                            game.path().string() + "' '" + io.path().string() + "' " + (wm ? "wm" : "nowm") +
                            " >'" + (io.path() / "out").string() + "' 2>&1";
    const int st = std::system(cmd.c_str());
    std::string out = io.read("out");
    if (!WIFEXITED(st) || WEXITSTATUS(st) != 0) out += "\n(the X run ended with " + std::to_string(st) + ")";
    return out;
}

// "NAME X Y W H" as geom printed it.
inline Rect geometryIn(const std::string& out, const std::string& name) {
    Rect r{-1, -1, 0, 0};
    const size_t at = out.find(name + " ");
    if (at != std::string::npos) std::istringstream(out.substr(at + name.size())) >> r.x >> r.y >> r.w >> r.h;
    return r;
}

// A screenshot written by xwd (ZPixmap, 24 or 32 bits a pixel), top-down RGB.
inline Picture readXwd(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Picture p;
    if (d.size() < 100) return p;
    auto field = [&](size_t i) {
        const auto* b = reinterpret_cast<const uint8_t*>(d.data()) + i * 4;
        return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
    };
    const uint32_t headerSize = field(0), format = field(2), w = field(4), h = field(5), msbFirst = field(7),
                   bpp = field(11), stride = field(12), colours = field(19);
    const uint32_t masks[3] = {field(14), field(15), field(16)};
    const size_t bytes = bpp / 8, start = headerSize + size_t{colours} * 12;
    if (format != 2 || (bpp != 24 && bpp != 32) || w > 16384 || h > 16384 || stride < w * bytes ||
        start + size_t{stride} * h > d.size())
        return p;
    p.w = static_cast<int>(w);
    p.h = static_cast<int>(h);
    p.rgb.resize(size_t{w} * h * 3);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const auto* px = reinterpret_cast<const uint8_t*>(d.data()) + start + size_t{y} * stride + x * bytes;
            uint32_t v = 0;
            for (size_t k = 0; k < bytes; ++k) v |= uint32_t{px[k]} << (msbFirst ? 8 * (bytes - 1 - k) : 8 * k);
            for (int c = 0; c < 3; ++c) {
                uint32_t m = masks[c], shift = 0;
                while (m && !(m & 1)) m >>= 1, ++shift;
                p.rgb[(size_t{y} * w + x) * 3 + c] = static_cast<uint8_t>((v & masks[c]) >> shift);
            }
        }
    return p;
}

// The pixels of one colour on the screen: how many, and the rectangle around them.
struct ColourArea {
    long count = 0;
    Rect box{0, 0, 0, 0};
};
inline ColourArea colourArea(const Picture& p, uint8_t r, uint8_t g, uint8_t b, Rect within = {0, 0, 1 << 20, 1 << 20}) {
    ColourArea a;
    int x0 = p.w, y0 = p.h, x1 = -1, y1 = -1;
    for (int y = std::max(0, within.y); y < std::min(p.h, within.y + within.h); ++y)
        for (int x = std::max(0, within.x); x < std::min(p.w, within.x + within.w); ++x) {
            const uint8_t* c = p.at(x, y);
            if (c[0] != r || c[1] != g || c[2] != b) continue;
            ++a.count;
            x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    if (a.count) a.box = {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
    return a;
}

// Part of a screenshot as a PNG, for a look (the tests keep them when asked to).
inline bool writePngPart(const Picture& p, Rect r, const std::filesystem::path& file) {
    if (r.w <= 0 || r.h <= 0 || r.x < 0 || r.y < 0 || r.x + r.w > p.w || r.y + r.h > p.h) return false;
    std::vector<uint8_t> bgr(static_cast<size_t>(r.w) * r.h * 3);
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x) {
            const uint8_t* c = p.at(r.x + x, r.y + y);
            uint8_t* o = &bgr[(static_cast<size_t>(r.h - 1 - y) * r.w + x) * 3];
            o[0] = c[2], o[1] = c[1], o[2] = c[0];
        }
    return writePng(file, bgr.data(), r.w, r.h);
}

}  // namespace yv
