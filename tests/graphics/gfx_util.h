// Helpers for the graphics tests: screens from colours, random screens, small BMP and PNG files,
// and an in-process runtime that runs a script step by step.
#pragma once

#include <png.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "graphics/present.h"
#include "graphics/screens.h"
#include "platform/headless/headless_platform.h"
#include "runtime.h"
#include "script/interpreter.h"
#include "test_util.h"

namespace yv::test {

struct Bgr {
    uint8_t b, g, r;
    bool operator==(const Bgr&) const = default;
};

inline Screen solid(int w, int h, Bgr c) {
    Screen s;
    s.allocate(w, h);
    for (size_t i = 0; i < s.pixels.size(); i += 3) s.pixels[i] = c.b, s.pixels[i + 1] = c.g, s.pixels[i + 2] = c.r;
    return s;
}
inline Bgr at(const Screen& s, int x, int y) {
    const uint8_t* p = s.row(y) + x * 3;
    return {p[0], p[1], p[2]};
}
inline void set(Screen& s, int x, int y, Bgr c) {
    uint8_t* p = s.row(y) + x * 3;
    p[0] = c.b, p[1] = c.g, p[2] = c.r;
}
inline Screen randomScreen(std::mt19937& rng, int w, int h) {
    Screen s;
    s.allocate(w, h);
    for (auto& v : s.pixels) v = static_cast<uint8_t>(rng());
    return s;
}

// 24-bit bottom-up BMP of rows given top-down.
inline std::string bmp24(int w, int h, const std::vector<Bgr>& px, bool topDown = false) {
    const int stride = (w * 3 + 3) & ~3;
    std::string f(54 + static_cast<size_t>(stride) * h, '\0');
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) f[at + i] = static_cast<char>(v >> (8 * i)); };
    f[0] = 'B', f[1] = 'M';
    put32(2, static_cast<uint32_t>(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(topDown ? -h : h));
    f[26] = 1, f[28] = 24;
    for (int y = 0; y < h; ++y) {
        const int fileRow = topDown ? y : h - 1 - y;
        for (int x = 0; x < w; ++x) {
            const Bgr c = px[static_cast<size_t>(y) * w + x];
            char* p = &f[54 + static_cast<size_t>(fileRow) * stride + x * 3];
            p[0] = static_cast<char>(c.b), p[1] = static_cast<char>(c.g), p[2] = static_cast<char>(c.r);
        }
    }
    return f;
}

// 8-bit palette BMP.
inline std::string bmp8(int w, int h, const std::vector<Bgr>& pal, const std::vector<uint8_t>& idx) {
    const int stride = (w + 3) & ~3;
    const size_t off = 54 + pal.size() * 4;
    std::string f(off + static_cast<size_t>(stride) * h, '\0');
    auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) f[at + i] = static_cast<char>(v >> (8 * i)); };
    f[0] = 'B', f[1] = 'M';
    put32(2, static_cast<uint32_t>(f.size()));
    put32(10, static_cast<uint32_t>(off));
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    f[26] = 1, f[28] = 8;
    put32(46, static_cast<uint32_t>(pal.size()));
    for (size_t i = 0; i < pal.size(); ++i) {
        f[54 + i * 4] = static_cast<char>(pal[i].b), f[55 + i * 4] = static_cast<char>(pal[i].g);
        f[56 + i * 4] = static_cast<char>(pal[i].r);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) f[off + static_cast<size_t>(h - 1 - y) * stride + x] = static_cast<char>(idx[static_cast<size_t>(y) * w + x]);
    return f;
}

// PNG with an alpha channel from RGBA bytes, top-down.
inline std::string pngRgba(int w, int h, const std::vector<uint8_t>& rgba) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    img.width = static_cast<png_uint_32>(w);
    img.height = static_cast<png_uint_32>(h);
    img.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&img, nullptr, &size, 0, rgba.data(), 0, nullptr);
    std::string out(size, '\0');
    png_image_write_to_memory(&img, out.data(), &size, 0, rgba.data(), 0, nullptr);
    out.resize(size);
    png_image_free(&img);
    return out;
}

// A runtime on a temporary game folder with its screens made, ready to run script text.
struct Game {
    TempDir dir;
    HeadlessPlatform platform;
    std::unique_ptr<Runtime> rt;
    explicit Game(int w = 64, int h = 48) {
        rt = std::make_unique<Runtime>(platform, dir.path());
        rt->config.width = w;
        rt->config.height = h;
        graphics::createScreens(*rt);
    }
    // Runs the script until it ends; returns the number of steps taken.
    int run(const std::string& script, int maxSteps = 10000) {
        rt->interp.setText(sjis(script + "\n#end();\n"));
        rt->interp.pos = 0;
        rt->interp.running = 1;
        rt->interp.halt = 0;
        rt->interp.stepsEnabled = 1;
        int steps = 0;
        while (rt->interp.running && !rt->interp.halt && steps < maxSteps) {
            script::step(*rt);
            platform.manualClock().advance(30);  // the pacing interval between steps
            ++steps;
        }
        return steps;
    }
    Screen& screen(int n) { return rt->screens.table[static_cast<size_t>(n)]; }
};

}  // namespace yv::test
