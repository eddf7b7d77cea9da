// Sound test helpers.
#include "media/audio_util.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace yv::testaudio {
namespace {

void le16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void le32(std::string& s, uint32_t v) {
    le16(s, v & 0xFFFF);
    le16(s, v >> 16);
}
void be16(std::string& s, uint32_t v) {
    s += static_cast<char>((v >> 8) & 0xFF);
    s += static_cast<char>(v & 0xFF);
}
void be32(std::string& s, uint32_t v) {
    be16(s, v >> 16);
    be16(s, v & 0xFFFF);
}
uint32_t rd32(const std::string& s, size_t at) {
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 | uint32_t(uint8_t(s[at + 2])) << 16 |
           uint32_t(uint8_t(s[at + 3])) << 24;
}
uint16_t rd16(const std::string& s, size_t at) { return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8); }

}  // namespace

std::string wavFile(const std::vector<int16_t>& samples, int rate, int channels, int bits) {
    std::string data;
    for (int16_t v : samples) {
        if (bits == 8)
            data += static_cast<char>((v >> 8) + 128);
        else
            le16(data, static_cast<uint16_t>(v));
    }
    std::string s = "RIFF";
    le32(s, static_cast<uint32_t>(36 + data.size()));
    s += "WAVEfmt ";
    le32(s, 16);
    le16(s, 1);
    le16(s, static_cast<uint32_t>(channels));
    le32(s, static_cast<uint32_t>(rate));
    le32(s, static_cast<uint32_t>(rate * channels * bits / 8));
    le16(s, static_cast<uint32_t>(channels * bits / 8));
    le16(s, static_cast<uint32_t>(bits));
    s += "data";
    le32(s, static_cast<uint32_t>(data.size()));
    return s + data;
}

std::vector<int16_t> sine(double hz, int ms, int rate, int channels, double amplitude) {
    const size_t frames = static_cast<size_t>(rate) * static_cast<size_t>(ms) / 1000;
    std::vector<int16_t> out;
    out.reserve(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(std::lround(std::sin(2 * kPi * hz * static_cast<double>(i) / rate) * amplitude * 32767));
        for (int c = 0; c < channels; ++c) out.push_back(v);
    }
    return out;
}

std::string vlq(uint32_t v) {
    std::string out(1, static_cast<char>(v & 0x7F));
    while (v >>= 7) out.insert(out.begin(), static_cast<char>(0x80 | (v & 0x7F)));
    return out;
}

std::string midiTrack(const std::string& events) {
    const std::string body = events + std::string("\x00\xFF\x2F\x00", 4);
    std::string s = "MTrk";
    be32(s, static_cast<uint32_t>(body.size()));
    return s + body;
}

std::string midiFile(int format, int division, const std::vector<std::string>& tracks) {
    std::string s = "MThd";
    be32(s, 6);
    be16(s, static_cast<uint32_t>(format));
    be16(s, static_cast<uint32_t>(tracks.size()));
    be16(s, static_cast<uint32_t>(division));
    for (const std::string& t : tracks) s += t;
    return s;
}

std::string noteEvents(int channel, int key, uint32_t ticks, int program) {
    std::string e;
    e += vlq(0) + static_cast<char>(0xC0 | channel) + static_cast<char>(program);
    e += vlq(0) + static_cast<char>(0x90 | channel) + static_cast<char>(key) + static_cast<char>(100);
    e += vlq(ticks) + static_cast<char>(0x80 | channel) + static_cast<char>(key) + static_cast<char>(0);
    return e;
}

Wav parseWav(const std::string& s) {
    Wav w;
    if (s.size() < 12 || s.compare(0, 4, "RIFF") != 0 || s.compare(8, 4, "WAVE") != 0) return w;
    size_t at = 12;
    while (at + 8 <= s.size()) {
        const std::string id = s.substr(at, 4);
        const size_t len = std::min<size_t>(rd32(s, at + 4), s.size() - at - 8);
        if (id == "fmt " && len >= 16) {
            w.channels = rd16(s, at + 10);
            w.rate = static_cast<int>(rd32(s, at + 12));
            w.bits = rd16(s, at + 22);
        } else if (id == "data" && w.bits == 16) {
            w.samples.resize(len / 2);
            for (size_t i = 0; i < w.samples.size(); ++i) w.samples[i] = static_cast<int16_t>(rd16(s, at + 8 + 2 * i));
        }
        at += 8 + len + (len & 1);
    }
    return w;
}

Wav readWav(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return parseWav(ss.str());
}

double rms(const Wav& w, size_t from, size_t to) {
    to = std::min(to, w.frames());
    if (from >= to) return 0;
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += w.left(i) * w.left(i);
    return std::sqrt(sum / static_cast<double>(to - from));
}

double rms(const std::vector<float>& stereo, size_t from, size_t to) {
    to = std::min(to, stereo.size() / 2);
    if (from >= to) return 0;
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += double(stereo[2 * i]) * stereo[2 * i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

double tone(const Wav& w, double hz, size_t from, size_t to) {
    to = std::min(to, w.frames());
    if (from >= to || w.rate == 0) return 0;
    const double k = 2 * std::cos(2 * kPi * hz / w.rate);
    double s1 = 0, s2 = 0;
    for (size_t i = from; i < to; ++i) {
        const double s0 = w.left(i) + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - k * s1 * s2;
    return 2 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(to - from);
}

size_t firstLoud(const Wav& w, size_t from, double threshold) {
    for (size_t i = from; i < w.frames(); ++i)
        if (std::abs(w.left(i)) > threshold) return i;
    return w.frames();
}

double maxJump(const Wav& w, size_t from, size_t to) {
    double most = 0;
    const auto ch = static_cast<size_t>(w.channels);
    for (size_t i = from + 1; i < std::min(to, w.frames()); ++i)
        for (size_t c = 0; c < ch; ++c)
            most = std::max(most, std::abs(w.samples[i * ch + c] - w.samples[(i - 1) * ch + c]) / 32768.0);
    return most;
}

size_t firstQuiet(const Wav& w, size_t from, double threshold) {
    const size_t win = static_cast<size_t>(w.rate / 100);
    size_t run = 0;
    for (size_t i = from; i < w.frames(); ++i) {
        run = std::abs(w.left(i)) > threshold ? 0 : run + 1;
        if (run == win) return i + 1 - win;
    }
    return w.frames();
}

}  // namespace yv::testaudio
