// Plain per-pixel versions of the pixel loops: every pixel is bounds-checked on its own, every
// formula written as stated. Slow on purpose; the fast loops are tested against these, and
// YORVANE_REFERENCE_PIXELS=1 runs whole games on them.
#include <algorithm>
#include <vector>

#include "pixels/pixel_ops.h"

namespace yv::pixels::ref {
namespace {

bool inside(ConstView s, int64_t x, int64_t y) { return s.exists() && x >= 0 && y >= 0 && x < s.width && y < s.height; }
uint8_t clampByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }
uint8_t S(int a, int b) { return scaleTable().v[a][b]; }

// A copy of a picture, so that everything is read before anything is written: a source may be
// the destination itself.
struct Copy {
    std::vector<uint8_t> bytes;
    ConstView view;
    explicit Copy(ConstView v) {
        if (!v.exists()) return;
        bytes.assign(v.data, v.data + static_cast<size_t>(v.width) * v.height * 3);
        view = ConstView{bytes.data(), v.width, v.height};
    }
};

}  // namespace

void copyRect(View dst, int x, int y, int w, int h, ConstView srcIn, int sx, int sy, int mode, int contrast) {
    if (mode != 0 && mode != 1) return;
    const Copy copy(srcIn);
    const ConstView src = copy.view;
    auto both = [&](int i, int j) {
        return inside(dst, int64_t{x} + i, int64_t{y} + j) && inside(src, int64_t{sx} + i, int64_t{sy} + j);
    };
    uint8_t key[3] = {0, 0, 0};
    bool haveKey = false;
    for (int j = h - 1; j >= 0 && !haveKey; --j)
        for (int i = 0; i < w && !haveKey; ++i)
            if (both(i, j)) {
                std::copy_n(src.at(sx + i, sy + j), 3, key);
                haveKey = true;
            }
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!both(i, j)) continue;
            const uint8_t* s = src.at(sx + i, sy + j);
            uint8_t* d = dst.at(x + i, y + j);
            if (mode == 1) {
                if (s[0] == key[0] && s[1] == key[1] && s[2] == key[2]) continue;
                for (int c = 0; c < 3; ++c) d[c] = s[c];
            } else {
                for (int c = 0; c < 3; ++c) d[c] = contrast < 0 ? static_cast<uint8_t>(std::max(0, s[c] + contrast))
                                                                : static_cast<uint8_t>(std::min(255, s[c] + contrast));
            }
        }
}

void alphaRect(View dst, int x, int y, int w, int h, ConstView srcIn, int sx, int sy, ConstView maskIn, int alpha) {
    const Copy srcCopy(srcIn), maskCopy(maskIn);
    const ConstView src = srcCopy.view, mask = maskCopy.view;
    const int A = std::min(alpha, 255);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j) || !inside(src, int64_t{sx} + i, int64_t{sy} + j) ||
                !inside(mask, int64_t{sx} + i, int64_t{sy} + j))
                continue;
            const uint8_t* s = src.at(sx + i, sy + j);
            uint8_t* d = dst.at(x + i, y + j);
            const int m = mask.at(sx + i, sy + j)[0];
            if (m == 255) continue;
            if (A < 0) {
                for (int c = 0; c < 3; ++c) d[c] = m == 0 ? s[c] : static_cast<uint8_t>(S(d[c], m) + S(s[c], 255 - m));
            } else if (m == 0) {
                for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(S(s[c], 255 - A) + S(d[c], A));
            } else {
                for (int c = 0; c < 3; ++c) d[c] = S(d[c], A);
                for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(S(d[c], A >> 1) + S(s[c], (255 - A) >> 1));
            }
        }
}

void stepToward(View dst, int x, int y, int w, int h, ConstView srcIn, int sx, int sy, int step) {
    const Copy copy(srcIn);
    const ConstView src = copy.view;
    const int k = step & 0xFFFF;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j) || !inside(src, int64_t{sx} + i, int64_t{sy} + j))
                continue;
            uint8_t* d = dst.at(x + i, y + j);
            const uint8_t* s = src.at(sx + i, sy + j);
            for (int c = 0; c < 3; ++c) {
                if (d[c] < s[c])
                    d[c] = d[c] + k > s[c] ? s[c] : static_cast<uint8_t>(d[c] + k);
                else
                    d[c] = d[c] - k < s[c] ? s[c] : static_cast<uint8_t>(d[c] - k);
            }
        }
}

void fadeDown(View dst, int x, int y, int w, int h, int amount) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j)) continue;
            uint8_t* d = dst.at(x + i, y + j);
            for (int c = 0; c < 3; ++c) d[c] = clampByte(d[c] - amount);
        }
}

void fadeUp(View dst, int x, int y, int w, int h, ConstView src, int amount) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int64_t px = int64_t{x} + i, py = int64_t{y} + j;
            if (!inside(dst, px, py) || !inside(src, px, py)) continue;
            uint8_t* d = dst.at(x + i, y + j);
            const uint8_t* s = src.at(x + i, y + j);
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(std::min<int64_t>(s[c], int64_t{d[c]} + amount));
        }
}

void fill(View dst, int x, int y, int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j)) continue;
            uint8_t* d = dst.at(x + i, y + j);
            d[0] = b;
            d[1] = g;
            d[2] = r;
        }
}

int grey(int r, int g, int b) { return static_cast<int>(0.30 * r + 0.59 * g + 0.11 * b); }

void greyTone(View dst, int x, int y, int w, int h, int r, int g, int b) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j)) continue;
            uint8_t* d = dst.at(x + i, y + j);
            const int Y = grey(d[2], d[1], d[0]);
            d[2] = static_cast<uint8_t>(r != 0 ? r : Y);
            d[1] = static_cast<uint8_t>(g != 0 ? g : Y);
            d[0] = static_cast<uint8_t>(b != 0 ? b : Y);
        }
}

void tint(View dst, int x, int y, int w, int h, int dr, int dg, int db) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j)) continue;
            uint8_t* d = dst.at(x + i, y + j);
            d[2] = static_cast<uint8_t>(std::clamp<int64_t>(int64_t{d[2]} + dr, 0, 255));
            d[1] = static_cast<uint8_t>(std::clamp<int64_t>(int64_t{d[1]} + dg, 0, 255));
            d[0] = static_cast<uint8_t>(std::clamp<int64_t>(int64_t{d[0]} + db, 0, 255));
        }
}

void mosaic(View dst, ConstView srcIn, int n, bool noise, Rand& rnd) {
    if (n < 1 || !dst.exists() || !srcIn.exists()) return;
    const Copy copy(srcIn);
    const ConstView src = copy.view;
    const int w = std::min(dst.width, src.width), h = std::min(dst.height, src.height);
    // Storage order: stored row r is the top-down row height-1-r of each picture.
    auto spx = [&](int col, int r) { return src.data + (static_cast<size_t>(r) * src.width + col) * 3; };
    auto dpx = [&](int col, int r) { return dst.data + (static_cast<size_t>(r) * dst.width + col) * 3; };
    for (int br = 0; br < h / n; ++br)
        for (int bc = 0; bc < w / n; ++bc) {
            long sum[3] = {0, 0, 0};
            for (int r = br * n; r < br * n + n; ++r)
                for (int c = bc * n; c < bc * n + n; ++c)
                    for (int k = 0; k < 3; ++k) sum[k] += spx(c, r)[k];
            int avg[3];
            for (int k = 0; k < 3; ++k) avg[k] = static_cast<int>(sum[k] / (static_cast<long>(n) * n));
            if (noise)
                for (int k = 2; k >= 0; --k) avg[k] = std::clamp(avg[k] + rnd.next() % 96 - 48, 0, 255);
            for (int r = br * n; r < br * n + n; ++r)
                for (int c = bc * n; c < bc * n + n; ++c)
                    for (int k = 0; k < 3; ++k) dpx(c, r)[k] = static_cast<uint8_t>(avg[k]);
        }
}

void maskedBlit(View dst, int x, int y, int w, int h, ConstView picIn, int px, int py, ConstView maskIn, int mx,
                int my) {
    const Copy picCopy(picIn), maskCopy(maskIn);
    const ConstView pic = picCopy.view, mask = maskCopy.view;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j) || !inside(pic, int64_t{px} + i, int64_t{py} + j) ||
                !inside(mask, int64_t{mx} + i, int64_t{my} + j))
                continue;
            uint8_t* d = dst.at(x + i, y + j);
            const uint8_t* p = pic.at(px + i, py + j);
            const uint8_t* m = mask.at(mx + i, my + j);
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((d[c] & m[c]) | p[c]);
        }
}

void compose(View dst, ConstView mask, ConstView image, int x, int y, int w, int h) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int64_t px = int64_t{x} + i, py = int64_t{y} + j;
            if (!inside(dst, px, py) || !inside(mask, px, py) || !inside(image, px, py)) continue;
            uint8_t* d = dst.at(x + i, y + j);
            const uint8_t* m = mask.at(x + i, y + j);
            const uint8_t* im = image.at(x + i, y + j);
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((d[c] & m[c]) | im[c]);
        }
}

void drawCoverage(View dst, int x, int y, const uint8_t* coverage, int cw, int ch, uint8_t b, uint8_t g, uint8_t r) {
    if (!coverage) return;
    const uint8_t colour[3] = {b, g, r};
    for (int j = 0; j < ch; ++j)
        for (int i = 0; i < cw; ++i) {
            if (!inside(dst, int64_t{x} + i, int64_t{y} + j)) continue;
            uint8_t* d = dst.at(x + i, y + j);
            const int k = coverage[static_cast<size_t>(j) * cw + i];
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((d[c] * (255 - k) + colour[c] * k + 127) / 255);
        }
}

}  // namespace yv::pixels::ref
