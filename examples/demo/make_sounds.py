#!/usr/bin/env python3
"""Writes the demo's sounds: tune.mid (a slow looping melody) and chime.wav (a short bell)."""
import math, struct, wave

def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, (n & 0x7F) | 0x80)
        n >>= 7
    return bytes(out)

def tune():
    # A pentatonic night melody over a held bass; 480 ticks a beat at 72 beats a minute.
    melody = [(69, 2), (72, 1), (74, 1), (76, 2), (74, 1), (72, 1), (69, 3), (67, 1),
              (69, 2), (72, 1), (69, 1), (67, 2), (64, 2), (69, 4)]
    ev = bytearray()
    ev += vlq(0) + bytes([0xFF, 0x51, 3]) + (833333).to_bytes(3, "big")
    ev += vlq(0) + bytes([0xC0, 73]) + vlq(0) + bytes([0xC1, 48])  # flute; strings
    ev += vlq(0) + bytes([0x91, 45, 50])
    for note, beats in melody:
        ev += vlq(0) + bytes([0x90, note, 70])
        ev += vlq(beats * 480) + bytes([0x80, note, 0])
    ev += vlq(0) + bytes([0x81, 45, 0])
    ev += vlq(0) + bytes([0xFF, 0x2F, 0])
    track = b"MTrk" + len(ev).to_bytes(4, "big") + bytes(ev)
    return b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) + track

def chime(path):
    rate, seconds = 11025, 0.6
    frames = bytearray()
    for i in range(int(rate * seconds)):
        t = i / rate
        v = sum(math.sin(2 * math.pi * f * t) * a for f, a in ((1318.5, 0.5), (1975.5, 0.3), (2637.0, 0.2)))
        v *= math.exp(-5 * t)
        frames.append(max(0, min(255, int(128 + 90 * v))))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(rate)
        w.writeframes(bytes(frames))

if __name__ == "__main__":
    with open("tune.mid", "wb") as f:
        f.write(tune())
    chime("chime.wav")
