// Movie test files made at test time with FFmpeg's own encoders: each frame one flat, known
// colour; optionally a sine tone as the sound.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace yv::testvideo {

struct Colour {
    uint8_t r = 0, g = 0, b = 0;
};

struct Movie {
    int width = 64, height = 48;  // multiples of 4 (both encoders want them)
    int fps = 10;
    int frames = 6;
    int firstColour = 0;  // frame k has frameColour(firstColour + k)
    std::string codec = "msvideo1";  // or "cinepak", or "mpeg4" and "mjpeg" (YUV 4:2:0 pictures)
    bool video = true;
    bool textured = false;   // frames of changing patterns instead of flat colours (benchmarks)
    double toneHz = 0;       // 0: no sound stream
    int toneRate = 22050;    // 16-bit mono PCM
    double toneSeconds = -1; // -1: as long as the video
};

// Frame k's colour: far apart from every other frame's and from black, exact in 15-bit colour.
Colour frameColour(int k);

// Writes an AVI file; false when FFmpeg refused (the message in `why`).
bool writeAvi(const std::filesystem::path& file, const Movie& m, std::string* why = nullptr);

// Whether a colour is near another, channel by channel.
inline bool near(const uint8_t* rgb, Colour c, int tolerance) {
    auto d = [](int a, int b) { return a > b ? a - b : b - a; };
    return d(rgb[0], c.r) <= tolerance && d(rgb[1], c.g) <= tolerance && d(rgb[2], c.b) <= tolerance;
}

}  // namespace yv::testvideo
