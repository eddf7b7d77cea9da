#!/usr/bin/env python3
"""Draws the demo's movie: a shooting star over a piece of the night sky of sky.png (meteor.avi,
192 x 96 at (400, 24), 24 frames at 12 a second, MS RLE 8-bit). Its frames match the sky
around them, so the movie seems to play in the picture. Run it in this folder."""
import math
import random
import struct

X0, Y0, W, H, FRAMES, FPS = 400, 24, 192, 96, 24, 12


def sky_colour(x, y, stars):
    # The same sky as make_pictures.py draws (this piece lies above the hills).
    if (x, y) in stars:
        return (230, 230, 230)
    t = y / 340.0
    return (int(10 + 40 * t), int(14 + 30 * t), int(48 + 70 * t))


def frames():
    rnd = random.Random(7)
    stars = {(rnd.randrange(640), rnd.randrange(300)) for _ in range(140)}
    out = []
    for k in range(FRAMES):
        px = [[sky_colour(X0 + x, Y0 + y, stars) for x in range(W)] for y in range(H)]
        # The head runs from the top right down to the left in 16 frames; the tail fades.
        for back in range(12):
            s = (k - back * 0.35) / 16.0
            if not 0.0 <= s <= 1.0:
                continue
            hx, hy = 180 - 150 * s, 8 + 70 * s
            light = (1.0 - back / 12.0) ** 1.5
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    x, y = int(hx) + dx, int(hy) + dy
                    if 0 <= x < W and 0 <= y < H and (back == 0 or dx == 0 or dy == 0):
                        # Five shades between the sky's blue and the star's white keep the
                        # palette small.
                        a = round(light * (1.0 if dx == dy == 0 else 0.5) * 5) / 5.0
                        if a > 0:
                            px[y][x] = (int(30 + 225 * a), int(36 + 204 * a), int(84 + 116 * a))
        out.append(px)
    return out


def rle8(rows, index):
    data = bytearray()
    for row in reversed(rows):  # bottom-up
        x = 0
        while x < W:
            n = 1
            while x + n < W and n < 255 and row[x + n] == row[x]:
                n += 1
            data += bytes((n, index[row[x]]))
            x += n
        data += b"\0\0"
    return bytes(data[:-2] + b"\0\1")


def chunk(fourcc, body):
    return fourcc + struct.pack("<I", len(body)) + body + (b"\0" if len(body) & 1 else b"")


def main():
    fs = frames()
    colours = sorted({c for f in fs for row in f for c in row})
    assert len(colours) <= 256
    index = {c: i for i, c in enumerate(colours)}
    packed = [rle8(f, index) for f in fs]
    biggest = max(len(p) for p in packed)
    avih = struct.pack("<10I4I", 1000000 // FPS, biggest * FPS, 0, 0x10, FRAMES, 0, 1, biggest, W, H, 0, 0, 0, 0)
    strh = b"vidsmrle" + struct.pack("<IHHIIIIIIIIhhhh", 0, 0, 0, 0, 1, FPS, 0, FRAMES, biggest, 0xFFFFFFFF, 0, 0, 0, W, H)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours) + b"\0" * (4 * (256 - len(colours)))
    strf = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 8, 1, biggest, 2835, 2835, len(colours), 0) + palette
    strl = b"strl" + chunk(b"strh", strh) + chunk(b"strf", strf)
    hdrl_body = b"hdrl" + chunk(b"avih", avih) + b"LIST" + struct.pack("<I", len(strl)) + strl
    movi_body = bytearray(b"movi")
    index_entries = bytearray()
    for p in packed:
        index_entries += b"00dc" + struct.pack("<III", 0x10, len(movi_body), len(p))
        movi_body += chunk(b"00dc", p)
    body = (b"AVI " + b"LIST" + struct.pack("<I", len(hdrl_body)) + hdrl_body + b"LIST" +
            struct.pack("<I", len(movi_body)) + bytes(movi_body) + chunk(b"idx1", bytes(index_entries)))
    with open("meteor.avi", "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


if __name__ == "__main__":
    main()
