#!/usr/bin/env python3
"""Draws the demo's own pictures: a night sky with hills (sky.png), a soft lantern glow whose
alpha channel is authored for the engine's blend (glow.png: 0 where the light is strongest), and a
small palette lantern with a magenta key colour (lantern.bmp). Run it in this folder."""
import math
import random
import struct
import zlib


def png(path, w, h, rows, alpha):
    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(r) for r in rows)
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def sky():
    w, h = 640, 480
    rnd = random.Random(7)
    stars = {(rnd.randrange(w), rnd.randrange(300)) for _ in range(140)}
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            ridge = 340 + 30 * math.sin(x / 70.0) + 18 * math.sin(x / 23.0 + 1.3)
            if y > ridge:
                g = 40 + int(20 * (y - ridge) / 140)
                row += [12, g, 24]
            else:
                t = y / 340.0
                r, g, b = int(10 + 40 * t), int(14 + 30 * t), int(48 + 70 * t)
                if (x, y) in stars:
                    r = g = b = 230
                row += [r, g, b]
        rows.append(row)
    png("sky.png", w, h, rows, False)


def glow():
    n = 128
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            d = math.hypot(x - 63.5, y - 63.5) / 64.0
            light = max(0.0, 1.0 - d) ** 1.6
            # The blend keeps the destination where alpha is 255: the light goes where it is low.
            row += [255, 214, 120, 255 - int(200 * light)]
        rows.append(row)
    png("glow.png", n, n, rows, True)


def lantern():
    w, h = 32, 48
    pal = [(255, 0, 255), (40, 30, 30), (70, 160, 250), (160, 230, 255), (20, 20, 20)]  # BGR: key first
    pix = []
    for y in range(h):
        row = []
        for x in range(w):
            c = 0
            if 4 <= y < 8 and 12 <= x < 20:
                c = 4  # handle
            elif 8 <= y < 12 and 8 <= x < 24:
                c = 1  # cap
            elif 12 <= y < 40 and 8 <= x < 24:
                c = 1 if x in (8, 23) or y in (12, 39) else (3 if 12 <= x < 20 and 18 <= y < 34 else 2)
            elif 40 <= y < 44 and 10 <= x < 22:
                c = 1
            row.append(c)
        pix.append(row)
    stride = (w + 3) & ~3
    off = 54 + 256 * 4
    data = bytearray()
    for y in reversed(range(h)):
        data += bytes(pix[y]) + b"\0" * (stride - w)
    palette = b"".join(bytes((b, g, r, 0)) for b, g, r in pal) + b"\0" * (4 * (256 - len(pal)))
    header = b"BM" + struct.pack("<IHHI", off + len(data), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open("lantern.bmp", "wb") as f:
        f.write(header + info + palette + data)


if __name__ == "__main__":
    sky()
    glow()
    lantern()
